// The state file: its layout and the all-or-nothing load.
// Each device's section is written and read by the serialiser next to its
// record; this file only orders, frames and checks them.
#include "machine/state_file.h"

#include <zlib.h>

#include <cstring>

#include "bus/cartridge.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "sound/psg.h"
#include "sound/stream.h"
#include "state/state_bytes.h"
#include "vdp/row_cache.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

struct MachineSnapshot {
  CartridgeState cart;
  std::vector<uint8_t> cart_image;
  CpuState cpu;
  uint8_t memory[kMemorySize];
  VdpState vdp;
  PsgState psg;
  SoundStream snd;
  PpiState ppi;
};

void MachineSnapshotDeleter::operator()(MachineSnapshot* s) const { delete s; }

namespace {

constexpr char kMagic[8] = {'Q', 'U', 'A', 'V', 'S', 'T', 'A', 'T'};
constexpr size_t kHeaderBytes = sizeof kMagic + 2 + 1;
constexpr size_t kCrcBytes = 4;

constexpr StateTag kTagCartridge = "CART";
constexpr StateTag kTagCpu = "Z80 ";
constexpr StateTag kTagMemory = "MEM ";
constexpr StateTag kTagVdp = "VDP ";
constexpr StateTag kTagPsg = "PSG ";
constexpr StateTag kTagStream = "SND ";
constexpr StateTag kTagPpi = "PPI ";

uint32_t crc_of(const uint8_t* data, size_t size) {
  return static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(size)));
}

// One section: `decode` must take exactly its bytes and accept its values.
template <typename Decode>
bool decode_section(StateReader& file, const StateTag& tag, std::string* why, Decode decode) {
  StateReader section = file.section(tag);
  if (!section.ok()) {
    *why = std::string("damaged (section ") + tag + " missing or cut short)";
    return false;
  }
  if (!decode(section)) {
    *why = std::string("damaged (section ") + tag + " holds impossible values)";
    return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> state_encode() {
  std::vector<uint8_t> bytes;
  StateWriter out(&bytes);
  out.bytes(kMagic, sizeof kMagic);
  out.u16(ppi.power_on_8255 == 1 ? kStateVersion : kOldestStateVersion);
  out.u8(static_cast<uint8_t>(machine_timing.kind));
  // The sections in their fixed order, each from its device's serialiser.
  const struct {
    const StateTag& tag;
    void (*save)(StateWriter&);
  } sections[] = {
      {kTagCartridge, cartridge_state_save}, {kTagCpu, cpu_state_save},
      {kTagMemory, memory_state_save},       {kTagVdp, vdp_state_save},
      {kTagPsg, psg_state_save},             {kTagStream, snd_state_save},
      {kTagPpi, ppi_state_save},
  };
  for (const auto& section : sections) {
    const size_t at = out.begin_section(section.tag);
    section.save(out);
    out.end_section(at);
  }
  out.u32(crc_of(bytes.data(), bytes.size()));
  return bytes;
}

bool state_machine_kind(const std::vector<uint8_t>& bytes, MachineKind* kind) {
  if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    return false;
  }
  StateReader header(bytes.data() + sizeof kMagic, kHeaderBytes - sizeof kMagic);
  const uint32_t version = header.u16();
  if (version < kOldestStateVersion || version > kStateVersion) return false;
  const uint32_t k = header.u8();
  if (k > static_cast<uint32_t>(MachineKind::Ntsc)) return false;
  *kind = static_cast<MachineKind>(k);
  return true;
}

SnapshotPtr state_decode(const std::vector<uint8_t>& bytes, std::string* why) {
  if (bytes.size() < kHeaderBytes + kCrcBytes ||
      std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    *why = "not a QUAV state file";
    return nullptr;
  }
  StateReader file(bytes.data(), bytes.size() - kCrcBytes);
  uint8_t magic[sizeof kMagic];
  file.bytes(magic, sizeof magic);
  const uint32_t version = file.u16();
  if (version < kOldestStateVersion || version > kStateVersion) {
    *why = "state version " + std::to_string(version) + ", this QUAV reads versions " +
           std::to_string(kOldestStateVersion) + " to " + std::to_string(kStateVersion);
    return nullptr;
  }
  StateReader crc_field(bytes.data() + bytes.size() - kCrcBytes, kCrcBytes);
  if (crc_field.u32() != crc_of(bytes.data(), bytes.size() - kCrcBytes)) {
    *why = "damaged or cut short (checksum mismatch)";
    return nullptr;
  }
  const uint32_t kind = file.u8();
  if (kind > static_cast<uint32_t>(MachineKind::Ntsc)) {
    *why = "saved from a machine kind (" + std::to_string(kind) + ") this QUAV does not run";
    return nullptr;
  }
  if (kind != static_cast<uint32_t>(machine_timing.kind)) {
    *why = kind == static_cast<uint32_t>(MachineKind::Ntsc)
               ? "saved from the NTSC machine (run with --ntsc)"
               : "saved from the 50 Hz machine (run without --ntsc)";
    return nullptr;
  }
  SnapshotPtr s(new MachineSnapshot);
  s->cpu = cpu;
  s->vdp = vdp;
  s->psg = psg;
  s->ppi = ppi;
  // Each section in its place, read into the snapshot by its device's serialiser.
  const auto map = [&](StateReader& in) {
    return cartridge_state_load(in, &s->cart, &s->cart_image);
  };
  const auto z80 = [&](StateReader& in) { return cpu_state_load(in, &s->cpu); };
  const auto memory = [&](StateReader& in) { return memory_state_load(in, s->memory); };
  const auto video = [&](StateReader& in) { return vdp_state_load(in, &s->vdp); };
  const auto sound = [&](StateReader& in) { return psg_state_load(in, &s->psg); };
  const auto stream = [&](StateReader& in) { return snd_state_load(in, &s->snd); };
  const auto ports = [&](StateReader& in) { return ppi_state_load(in, &s->ppi); };
  const bool decoded = decode_section(file, kTagCartridge, why, map) &&
                       decode_section(file, kTagCpu, why, z80) &&
                       decode_section(file, kTagMemory, why, memory) &&
                       decode_section(file, kTagVdp, why, video) &&
                       decode_section(file, kTagPsg, why, sound) &&
                       decode_section(file, kTagStream, why, stream) &&
                       decode_section(file, kTagPpi, why, ports);
  if (!decoded) return nullptr;
  if (!file.done()) {
    *why = "damaged (bytes after the last section)";
    return nullptr;
  }
  return s;
}

void state_commit(const MachineSnapshot& s) {
  cpu = s.cpu;
  // The page maps came with the registers; the cartridge's map re-points them.
  cart = s.cart;
  cart_image = s.cart_image;
  cart_apply_map();
  std::memcpy(MachineMemory, s.memory, kMemorySize);
  vdp = s.vdp;
  vdp_note_change();
  psg = s.psg;
  snd_state_commit(s.snd);
  ppi = s.ppi;
}
