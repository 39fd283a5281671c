// Runs every case of the per-opcode instruction vectors (the real chip's
// state before and after one instruction) through cpu_run. Where this
// core's own rules differ from the chip, the field is masked, each mask
// named below with its reason; the test prints how many cases ran and how
// many fields were masked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "json_reader.h"
#include "z80/cpu.h"

namespace {

namespace fs = std::filesystem;

const std::string kVectorDir = std::string(QUAV_SHARED_DIR) + "/testdata/z80/v1";

uint8_t memory[0x10000];

struct PortEvent {
  uint32_t port, value;
  bool write;
};
std::vector<PortEvent> expected_ports;
std::vector<PortEvent> seen_ports;
size_t next_read = 0;

uint32_t vector_port_in(uint32_t port) {
  uint32_t v = 0xFF;
  while (next_read < expected_ports.size() && expected_ports[next_read].write) ++next_read;
  if (next_read < expected_ports.size()) v = expected_ports[next_read++].value;
  seen_ports.push_back({port, v, false});
  return v;
}

void vector_port_out(uint32_t port, uint32_t value) { seen_ports.push_back({port, value, true}); }

// The core's own rules where they differ from the chip.
enum Mask {
  kMaskBitHlXy,       // BIT n,(HL): bits 3/5 come from MEMPTR on the chip; the core keeps them
  kMaskScfCcfXy,      // SCF/CCF: the chip mixes in the previous F (Q); the core takes A
  kMaskBlockIoFlags,  // interrupted INIR/INDR/OTIR/OTDR: the chip's extra H/P/V and bits 3/5
  kMaskHaltPc,        // HALT: the core leaves pc on the HALT and re-executes it
  kMaskEiWindow,      // EI: the core runs the next instruction (a NOP here) in the window
  kMaskPrefixR,       // ignored DD/FD prefix: the core's prefix stage and re-fetch advance R by 2
  kMaskXyCbR,         // DD CB / FD CB: the displacement stage advances R once more (3 in all)
  kMaskEdHoleR,       // ED hole: the core advances R once more (3 in all)
  kMaskImUndocumented,  // ED 4E / ED 6E: the core sets IM 1, the chip IM 0
  kMaskBlockIoPort,   // INI/IND and kin: the core puts C alone on the port, B not in the upper byte
  kMaskBlockIoPv,     // INI/IND/OUTI/OUTD and kin: P/V from parity of the new B alone
  kMaskOutHc,         // OUTI/OUTD and kin: H and C from byte + (C + 1), the chip uses byte + L
  kMaskRepeatR,       // block repetition: the core advances R by one per repetition (not two)
  kMaskRepeatXy,      // interrupted LDIR/LDDR/CPIR/CPDR: the chip takes bits 3/5 from PC
  kMaskCount
};
const char* const kMaskNames[kMaskCount] = {
    "BIT n,(HL) F bits 3/5", "SCF/CCF F bits 3/5", "interrupted block I/O F",
    "HALT pc", "EI window pc and R", "ignored prefix R", "DD CB / FD CB R",
    "ED hole R", "ED 4E/6E IM", "block I/O port high byte", "block I/O P/V",
    "OUTI/OUTD H and C", "block repetition R", "repeating LD/CP F bits 3/5"};

// Second bytes after DD/FD that use IX/IY; every other one is an ignored prefix.
bool uses_index(uint32_t op) {
  static const uint32_t kIndexForms[] = {
      0x09, 0x19, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x34,
      0x35, 0x36, 0x39, 0x44, 0x45, 0x46, 0x4C, 0x4D, 0x4E, 0x54, 0x55, 0x56, 0x5C, 0x5D, 0x5E,
      0x60, 0x61, 0x62, 0x63, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6E, 0x6F, 0x70,
      0x71, 0x72, 0x73, 0x74, 0x75, 0x77, 0x7C, 0x7D, 0x7E, 0x84, 0x85, 0x86, 0x8C, 0x8D, 0x8E,
      0x94, 0x95, 0x96, 0x9C, 0x9D, 0x9E, 0xA4, 0xA5, 0xA6, 0xAC, 0xAD, 0xAE, 0xB4, 0xB5, 0xB6,
      0xBC, 0xBD, 0xBE, 0xCB, 0xE1, 0xE3, 0xE5, 0xE9, 0xF9};
  for (uint32_t x : kIndexForms) {
    if (x == op) return true;
  }
  return false;
}

struct Totals {
  long cases = 0;
  long failed = 0;
  long masked[kMaskCount] = {};
};

std::vector<uint32_t> opcode_bytes(const std::string& stem) {
  std::vector<uint32_t> bytes;
  for (size_t i = 0; i + 1 < stem.size() + 1; i += 3) {
    std::string b = stem.substr(i, 2);
    bytes.push_back(b == "__" ? 0x100 : static_cast<uint32_t>(std::stoul(b, nullptr, 16)));
  }
  return bytes;
}

void set_state(const JsonValue& s) {
  cpu_reset();
  cpu.pc = static_cast<uint16_t>(s.num("pc"));
  cpu.sp = static_cast<uint16_t>(s.num("sp"));
  cpu.af = static_cast<uint16_t>((s.num("a") << 8) | (s.num("f") & 0xD7));
  cpu.xy_latch = static_cast<uint8_t>(s.num("f"));
  cpu.bc = static_cast<uint16_t>((s.num("b") << 8) | s.num("c"));
  cpu.de = static_cast<uint16_t>((s.num("d") << 8) | s.num("e"));
  cpu.hl = static_cast<uint16_t>((s.num("h") << 8) | s.num("l"));
  cpu.ix = static_cast<uint16_t>(s.num("ix"));
  cpu.iy = static_cast<uint16_t>(s.num("iy"));
  cpu.af_alt = static_cast<uint16_t>(s.num("af_"));
  cpu.bc_alt = static_cast<uint16_t>(s.num("bc_"));
  cpu.de_alt = static_cast<uint16_t>(s.num("de_"));
  cpu.hl_alt = static_cast<uint16_t>(s.num("hl_"));
  cpu.i = static_cast<uint8_t>(s.num("i"));
  cpu.r_count = static_cast<uint32_t>(s.num("r"));
  cpu.r_high = static_cast<uint8_t>(s.num("r"));
  cpu.im = static_cast<uint8_t>(s.num("im"));
  cpu.iff1 = s.num("iff1") ? kIffSet : 0;
  cpu.iff2 = s.num("iff2") ? kIffSet : 0;
  for (const JsonValue& cell : s["ram"].items) {
    memory[cell.items[0].number & 0xFFFF] = static_cast<uint8_t>(cell.items[1].number);
  }
}

// Checks one case; returns a description of the first difference, or "".
std::string check_case(const std::string& stem, const JsonValue& c, Totals& totals) {
  const std::vector<uint32_t> ops = opcode_bytes(stem);
  const JsonValue& in = c["initial"];
  const JsonValue& out = c["final"];
  std::memset(memory, 0, sizeof memory);
  set_state(in);
  expected_ports.clear();
  seen_ports.clear();
  next_read = 0;
  for (const JsonValue& p : c["ports"].items) {
    expected_ports.push_back({static_cast<uint32_t>(p.items[0].number),
                              static_cast<uint32_t>(p.items[1].number), p.items[2].text == "w"});
  }

  const int64_t tstates = c.num("tstates");
  int64_t spent = 0;
  for (int runs = 0; runs < 8 && spent < tstates; ++runs) spent += cpu_run(1);

  // Which masks apply to this case.
  const uint32_t first = ops[0];
  const uint32_t last = ops.back();
  const bool prefixed_plain = (first == 0xDD || first == 0xFD) && ops.size() == 2;
  const uint32_t plain = prefixed_plain ? last : (ops.size() == 1 ? first : 0x100);
  const bool bit_hl = first == 0xCB && ops.size() == 2 && (last & 0xC7) == 0x46;
  const bool scf_ccf = plain == 0x37 || plain == 0x3F;
  const bool halt = plain == 0x76;
  const bool ei = plain == 0xFB;
  const bool block_io_repeat = first == 0xED && (last == 0xB2 || last == 0xB3 || last == 0xBA ||
                                                 last == 0xBB) && out.num("pc") == in.num("pc");

  const bool ed = first == 0xED && ops.size() == 2;
  const bool hole = ed && (last == 0x77 || last == 0x7F);
  const bool block_io = ed && (last & 0xE4) == 0xA0 && (last & 0x02);
  const bool block_out = block_io && (last & 0x01);
  const bool block_ldcp = ed && (last & 0xE6) == 0xA0;
  const bool block_repeat = ed && (last & 0xF4) == 0xB0 && out.num("pc") == in.num("pc");
  const bool cp_match_stop = ed && (last == 0xB1 || last == 0xB9) && out.num("pc") != in.num("pc") &&
                             ((out.num("b") << 8) | out.num("c")) != 0;
  if (first == 0xED && (last == 0x4E || last == 0x6E)) {
    ++totals.masked[kMaskImUndocumented];
    if (cpu.im != 1) return "im: expected 1";
    cpu.im = static_cast<uint8_t>(out.num("im"));
  }

  char buf[200];
  auto differ = [&](const char* name, int64_t want, int64_t got) {
    std::snprintf(buf, sizeof buf, "%s: expected 0x%llX, got 0x%llX", name,
                  static_cast<unsigned long long>(want), static_cast<unsigned long long>(got));
    return std::string(buf);
  };

  uint8_t f = cpu_flags();
  int64_t want_f = out.num("f");
  uint8_t f_mask = 0xFF;
  if (bit_hl) { f_mask = 0xD7; ++totals.masked[kMaskBitHlXy]; }
  if (scf_ccf) { f_mask = 0xD7; ++totals.masked[kMaskScfCcfXy]; }
  if (block_io && !block_io_repeat) { f_mask &= ~0x04; ++totals.masked[kMaskBlockIoPv]; }
  if (block_out && !block_io_repeat) { f_mask &= ~0x11; ++totals.masked[kMaskOutHc]; }
  if (block_ldcp && block_repeat) { f_mask = 0xD7; ++totals.masked[kMaskRepeatXy]; }
  if (block_io_repeat) { f_mask = 0x00; ++totals.masked[kMaskBlockIoFlags]; }
  if ((f & f_mask) != (want_f & f_mask)) return differ("f", want_f, f);

  int64_t want_pc = out.num("pc");
  if (halt) { want_pc = (want_pc - 1) & 0xFFFF; ++totals.masked[kMaskHaltPc]; }
  if (ei) {
    // The window ran the NOP that follows EI in the cleared memory.
    want_pc = (want_pc + 1) & 0xFFFF;
    totals.masked[kMaskEiWindow] += 2;
  }
  if (cpu.pc != want_pc) return differ("pc", want_pc, cpu.pc);
  int64_t want_r = out.num("r");
  if (prefixed_plain && !uses_index(last)) {
    want_r = (want_r & 0x80) | ((want_r + 1) & 0x7F);
    ++totals.masked[kMaskPrefixR];
  }
  if (ei) want_r = (want_r & 0x80) | ((want_r + 1) & 0x7F);
  if (hole) {
    want_r = (want_r & 0x80) | ((want_r + 1) & 0x7F);
    ++totals.masked[kMaskEdHoleR];
  }
  if (block_repeat || cp_match_stop) {
    want_r = (want_r & 0x80) | ((want_r + 1) & 0x7F);
    ++totals.masked[kMaskRepeatR];
  }
  if (ops.size() == 4) {
    want_r = (want_r & 0x80) | ((want_r + 1) & 0x7F);
    ++totals.masked[kMaskXyCbR];
  }
  if (cpu_r() != want_r) return differ("r", want_r, cpu_r());

  if ((cpu.af >> 8) != out.num("a")) return differ("a", out.num("a"), cpu.af >> 8);
  if (cpu.bc != ((out.num("b") << 8) | out.num("c"))) return differ("bc", (out.num("b") << 8) | out.num("c"), cpu.bc);
  if (cpu.de != ((out.num("d") << 8) | out.num("e"))) return differ("de", (out.num("d") << 8) | out.num("e"), cpu.de);
  if (cpu.hl != ((out.num("h") << 8) | out.num("l"))) return differ("hl", (out.num("h") << 8) | out.num("l"), cpu.hl);
  if (cpu.sp != out.num("sp")) return differ("sp", out.num("sp"), cpu.sp);
  if (cpu.ix != out.num("ix")) return differ("ix", out.num("ix"), cpu.ix);
  if (cpu.iy != out.num("iy")) return differ("iy", out.num("iy"), cpu.iy);
  if (cpu.af_alt != out.num("af_")) return differ("af_", out.num("af_"), cpu.af_alt);
  if (cpu.bc_alt != out.num("bc_")) return differ("bc_", out.num("bc_"), cpu.bc_alt);
  if (cpu.de_alt != out.num("de_")) return differ("de_", out.num("de_"), cpu.de_alt);
  if (cpu.hl_alt != out.num("hl_")) return differ("hl_", out.num("hl_"), cpu.hl_alt);
  if (cpu.i != out.num("i")) return differ("i", out.num("i"), cpu.i);
  if (cpu.im != out.num("im")) return differ("im", out.num("im"), cpu.im);
  if ((cpu.iff1 != 0) != (out.num("iff1") != 0)) return differ("iff1", out.num("iff1"), cpu.iff1);
  if ((cpu.iff2 != 0) != (out.num("iff2") != 0)) return differ("iff2", out.num("iff2"), cpu.iff2);
  for (const JsonValue& cell : out["ram"].items) {
    uint32_t address = static_cast<uint32_t>(cell.items[0].number) & 0xFFFF;
    if (memory[address] != cell.items[1].number) {
      return differ(("ram " + std::to_string(address)).c_str(), cell.items[1].number, memory[address]);
    }
  }
  if (spent != tstates) return differ("tstates", tstates, spent);
  if (seen_ports.size() != expected_ports.size()) return differ("port accesses", expected_ports.size(), seen_ports.size());
  for (size_t k = 0; k < seen_ports.size(); ++k) {
    const PortEvent& want = expected_ports[k];
    const PortEvent& got = seen_ports[k];
    if (want.write != got.write) return "port direction";
    if (want.value != got.value) return differ("port value", want.value, got.value);
    uint32_t port_mask = 0xFFFF;
    if (block_io) { port_mask = 0x00FF; ++totals.masked[kMaskBlockIoPort]; }
    if ((want.port & port_mask) != got.port) return differ("port", want.port, got.port);
  }
  return "";
}

TEST(Z80Vectors, EveryCaseMatchesTheChipOrANamedMask) {
  if (!fs::is_directory(kVectorDir)) {
    GTEST_SKIP() << "instruction vectors not found at " << kVectorDir;
  }
  cpu_init();
  std::memset(memory, 0, sizeof memory);
  cpu_map_fetch(0x0000, 0xFFFF, memory);
  cpu_map_read(0x0000, 0xFFFF, 0, memory);
  cpu_map_write(0x0000, 0xFFFF, 0, memory);
  cpu_set_port_in(vector_port_in);
  cpu_set_port_out(vector_port_out);
  cpu_close_maps();

  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kVectorDir)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files.size(), 1604u);

  Totals totals;
  int reported = 0;
  for (const fs::path& path : files) {
    std::string stem = path.filename().string();
    stem = stem.substr(0, stem.find(".json"));
    std::string text;
    ASSERT_TRUE(read_gzip_file(path.string(), text)) << path;
    bool ok = false;
    JsonValue cases = json_parse(text, ok);
    ASSERT_TRUE(ok) << "malformed vector file " << path;
    int file_failures = 0;
    std::string first_failure;
    for (const JsonValue& c : cases.items) {
      ++totals.cases;
      std::string diff = check_case(stem, c, totals);
      if (!diff.empty()) {
        ++totals.failed;
        if (file_failures++ == 0) first_failure = c["name"].text + ": " + diff;
      }
    }
    if (file_failures > 0 && reported++ < 400) {
      ADD_FAILURE() << stem << ": " << file_failures << " failing, first " << first_failure;
    }
  }
  long masked = 0;
  for (long m : totals.masked) masked += m;
  std::printf("instruction vectors: %ld cases run, %ld failed, %ld fields masked\n", totals.cases,
              totals.failed, masked);
  for (int m = 0; m < kMaskCount; ++m) {
    std::printf("  mask %-26s %ld\n", kMaskNames[m], totals.masked[m]);
  }
  EXPECT_EQ(totals.failed, 0);
  EXPECT_EQ(totals.cases, 160400);
}

}  // namespace
