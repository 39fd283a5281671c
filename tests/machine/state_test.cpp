// Save states: every device's record against its serialiser, the round trip
// of a running machine (the loaded machine goes on exactly as the saved one
// did), and refusals that leave the machine as it was.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "bus/cartridge.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "sound/psg.h"
#include "sound/stream.h"
#include "machine/state_file.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The machine's sound side as the frame loop drives it, without a device.
void run_frames(int n) {
  for (int f = 0; f < n; ++f) {
    snd_frame_begin();
    for (int line = 0; line < kLinesPerFrame; ++line) snd_line_done();
    snd_frame_end();
    bus_machine::run_frame();
  }
}

// Where the payload of a section starts (after its tag and size).
size_t section_at(const Bytes& state, const char* tag) {
  const auto it = std::search(state.begin(), state.end(), tag, tag + 4);
  return static_cast<size_t>(it - state.begin()) + 8;
}

void fix_crc(Bytes* state) {
  const size_t n = state->size() - 4;
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), state->data(), static_cast<uInt>(n));
  for (int i = 0; i < 4; ++i) (*state)[n + i] = static_cast<uint8_t>(crc >> (8 * i));
}

bool load(const Bytes& bytes, std::string* why) {
  SnapshotPtr s = state_decode(bytes, why);
  if (s) state_commit(*s);
  return s != nullptr;
}

class SaveState : public ::testing::Test {
 protected:
  void SetUp() override {
    bus_machine::setup(io_read_port, io_write_port);
    const Bytes rom = bus_machine::test_rom("star_jacker");
    ASSERT_FALSE(rom.empty());
    std::memcpy(MachineMemory, rom.data(), std::min<size_t>(rom.size(), 0x8000));
    snd.line_phase = snd.frame_pos = snd.segment = snd.delivered = 0;
    ppi = PpiState{};
    run_frames(40);
    // Values no frame above makes, so that every field shows in the round trip.
    ppi.key_rows[3] = 0xFBFF;
    ppi.joystick1 = 0x21;
    ppi_write_port_c(5);
    for (int i = 0; i < kStagingSamples; ++i) snd.staging[i] = static_cast<int16_t>(i * 7);
    snd.delivered = snd.segment * kSamplesPerFrame;
  }
  void TearDown() override { snd.delivered = 0; }
};

TEST_F(SaveState, EachSerialiserWasWrittenForItsRecordAsItIs) {
  // A failure here means a field was added to (or dropped from) the record:
  // save and load it in the serialiser next to the record, then update the size there.
  EXPECT_EQ(sizeof(CpuState), kCpuStateRecordSize) << "z80/cpu_state.cpp";
  EXPECT_EQ(sizeof(VdpState), kVdpStateRecordSize) << "vdp/vdp_state.cpp";
  EXPECT_EQ(sizeof(PsgState), kPsgStateRecordSize) << "sound/psg_state.cpp";
  EXPECT_EQ(sizeof(SoundStream), kSoundStreamRecordSize) << "sound/stream_state.cpp";
  EXPECT_EQ(sizeof(PpiState), kPpiStateRecordSize) << "bus/ppi_state.cpp";
  EXPECT_EQ(sizeof(CartridgeState), kCartridgeStateRecordSize) << "bus/cartridge_state.cpp";
}

TEST_F(SaveState, ALoadedMachineGoesOnAsTheSavedOneDid) {
  const Bytes saved = state_encode();
  const VdpState vdp_saved = vdp;
  run_frames(25);
  const Bytes later = state_encode();

  // Every device put elsewhere: reset, cleared, moved on.
  cpu_reset();
  vdp_reset();
  vdp_write_register(7, 0x4E);
  psg_reset();
  ppi = PpiState{};
  std::memset(MachineMemory, 0xAA, kMemorySize);
  snd.line_phase = 3;
  snd.segment = 1;
  std::fill(std::begin(snd.staging), std::end(snd.staging), int16_t{-1});

  std::string why;
  ASSERT_TRUE(load(saved, &why)) << why;
  EXPECT_EQ(state_encode(), saved);
  // What the VDP derives from its registers is worked out again.
  const auto derived = [](const VdpState& v) {
    return std::tuple(v.screen_mode, v.name_base, v.pattern_base, v.colour_base, v.sprite_attr_base,
                      v.sprite_pattern_base, v.display_enabled, v.backdrop_pixel, v.vdp_palette[0],
                      v.bg_term[0], v.text_colour_index);
  };
  EXPECT_EQ(derived(vdp), derived(vdp_saved));
  EXPECT_NE(vdp.backdrop_pixel, 0) << "the program sets a magenta backdrop";
  run_frames(25);
  EXPECT_EQ(state_encode(), later);
}

TEST_F(SaveState, ABankedCartridgeComesBackWithItsMapAndBanks) {
  const Bytes rom = bus_machine::test_rom("cart_sega_128k");
  ASSERT_EQ(rom.size(), 8 * kBankSize);
  cart_insert(CartMap::Sega, rom.data(), rom.size());
  cpu_reset();
  run_frames(20);
  cart_sega_write(0xFFFE, 6);
  cart_sega_write(0xFFFF, 13);  // bank 5 of 8; the program left slot 0 on bank 5
  const Bytes saved = state_encode();
  run_frames(10);
  const Bytes later = state_encode();

  cart_use_flat();
  std::memset(MachineMemory, 0, kMemorySize);
  std::string why;
  ASSERT_TRUE(load(saved, &why)) << why;
  EXPECT_EQ(cart.map, CartMap::Sega);
  EXPECT_EQ(std::tuple(cart.bank_count, cart.banks[0], cart.banks[1], cart.banks[2]), std::tuple(8u, 5u, 6u, 5u));
  const auto read = [](uint32_t a) { return *reinterpret_cast<uint8_t*>(cpu.read_pages[a >> 8].base + a); };
  EXPECT_EQ(read(0x4123), rom[6 * kBankSize + 0x123]);
  EXPECT_EQ(read(0xBFFF), rom[5 * kBankSize + 0x3FFF]);
  run_frames(10);
  EXPECT_EQ(state_encode(), later);
  cart_use_flat();
}

// The PPI travels with the state: the 8255 of a bare image in a version 2 state; the
// machine's own PPI in a version 1 state, byte for byte as before the 8255 was modelled.
TEST_F(SaveState, ThePpiKindTravelsAndOlderStatesLoad) {
  ppi_power_on_8255();
  ppi_write_control(0x08);  // bit 4 of port C cleared
  const Bytes with_8255 = state_encode();
  ppi_use_own();
  std::string why;
  ASSERT_TRUE(load(with_8255, &why)) << why;
  EXPECT_EQ(std::tuple(ppi.power_on_8255, ppi.port_c_latch, ppi.selected_row), std::tuple(1u, 0xEFu, 7u));

  Bytes version_1 = with_8255;
  const size_t ppi_at = section_at(version_1, "PPI ");
  version_1[8] = 1;
  version_1[ppi_at - 4] -= 1;  // the section's size, one byte less
  version_1.erase(version_1.end() - 5);  // the PPI kind: the last section's last byte
  fix_crc(&version_1);
  ASSERT_TRUE(load(version_1, &why)) << why;
  EXPECT_EQ(std::tuple(ppi.power_on_8255, ppi.port_c_latch, ppi.selected_row), std::tuple(0u, 0xEFu, 7u));
  EXPECT_EQ(state_encode(), version_1) << "the machine's own PPI saves as version 1";
  ppi_write_control(0x80);
  EXPECT_EQ(ppi.port_c_latch, 0xEFu) << "the machine's own PPI ignores the control port";
}

TEST_F(SaveState, ARefusedStateChangesNothing) {
  const Bytes good = state_encode();
  struct Case {
    const char* what;
    Bytes bytes;
    const char* reason;
  };
  // A copy of the good state with the bytes at `at` changed, under a correct checksum.
  const auto changed = [&good](size_t at, Bytes values) {
    Bytes b = good;
    std::copy(values.begin(), values.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    fix_crc(&b);
    return b;
  };
  const std::string text = "QUAV is an emulator of the Sega SC-3000.\n";
  Bytes flipped = good, longer = good;
  flipped[good.size() / 2] ^= 0x10;
  longer.insert(longer.end() - 4, 0);
  fix_crc(&longer);
  const Case cases[] = {
      {"empty", {}, "not a QUAV state file"},
      {"text", Bytes(text.begin(), text.end()), "not a QUAV state file"},
      {"cut short", Bytes(good.begin(), good.end() - 100), "damaged"},
      {"cut to the header", Bytes(good.begin(), good.begin() + 16), "damaged"},
      {"one byte changed", flipped, "damaged"},
      {"a byte after the last section", longer, "damaged"},
      {"another version", changed(8, {3}), "version 3"},
      {"the other machine", changed(10, {1}), "saved from the NTSC machine"},
      {"an unknown machine", changed(10, {2}), "machine kind"},
      // Values the devices never make.
      {"interrupt mode 3", changed(section_at(good, "Z80 ") + 33, {3}), "impossible values"},
      {"VRAM address past 16 KB", changed(section_at(good, "VDP ") + 4, {0x40}), "impossible values"},
      {"a tone period of 0", changed(section_at(good, "PSG ") + 29, {0, 0, 0, 0}), "impossible values"},
      {"PSG latch of register 8", changed(section_at(good, "PSG ") + 16, {8}), "impossible values"},
      {"staging segment 3", changed(section_at(good, "SND ") + 3, {3}), "impossible values"},
      {"PPI row 8", changed(section_at(good, "PPI ") + 0, {8}), "impossible values"},
      {"a map QUAV does not know", changed(section_at(good, "CART") + 0, {7}), "impossible values"},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(load(c.bytes, &why)) << c.what;
    EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
    EXPECT_EQ(state_encode(), good) << c.what << " changed the machine";
  }
}

}  // namespace
