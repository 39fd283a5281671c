// Runs every case of the per-opcode instruction vectors (the real chip's state before and
// after one instruction) through cpu_run. Where this core's own rules differ from the chip,
// the field is masked, each mask named below with its reason; the test prints how many cases
// ran and how many fields were masked.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "z80/cpu.h"

namespace {

namespace fs = std::filesystem;

// JSON as the vector files write it: no spaces, only objects, arrays, integers and strings.
struct Json {
  int64_t n = 0;
  std::string s;
  std::vector<Json> items;
  std::map<std::string, Json> fields;
  int64_t num(const std::string& key) const { return fields.at(key).n; }
};

Json parse(const char*& p, const char* end, bool& ok) {
  Json v;
  if (p == end) { ok = false; return v; }
  const char c = *p++;
  if (c == '{' || c == '[') {
    while (ok && p < end && *p != (c == '{' ? '}' : ']')) {
      if (c == '[') {
        v.items.push_back(parse(p, end, ok));
      } else {
        std::string key = parse(p, end, ok).s;
        ok = ok && p < end && *p++ == ':';
        v.fields[key] = parse(p, end, ok);
      }
      if (p < end && *p == ',') ++p;
    }
    ok = ok && p++ < end;
  } else if (c == '"') {
    while (p < end && *p != '"') v.s += *p++;
    ok = ok && p++ < end;
  } else {
    auto [after, error] = std::from_chars(p - 1, end, v.n);
    ok = error == std::errc{};
    p = after;
  }
  return v;
}

bool read_gzip(const std::string& path, std::string& out) {
  gzFile f = gzopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  char buffer[1 << 16];
  int n;
  while ((n = gzread(f, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  gzclose(f);
  return n == 0;
}

uint8_t memory[0x10000];

using PortEvent = std::array<int64_t, 3>;  // port, value, 1 for a write
std::vector<PortEvent> expected_ports, seen_ports;
size_t next_read = 0;

uint32_t vector_port_in(uint32_t port) {  // returns the values the case lists for its reads
  while (next_read < expected_ports.size() && expected_ports[next_read][2]) ++next_read;
  int64_t v = next_read < expected_ports.size() ? expected_ports[next_read++][1] : 0xFF;
  seen_ports.push_back({port, v, 0});
  return static_cast<uint32_t>(v);
}
void vector_port_out(uint32_t port, uint32_t value) { seen_ports.push_back({port, value, 1}); }

// The core's own rules where they differ from the chip, each with its reason.
enum Mask { kBitHlXy, kScfCcfXy, kBlockIoFlags, kHaltPc, kEiWindow, kPrefixR, kXyCbR, kEdHoleR,
            kImUndocumented, kBlockIoPort, kBlockIoPv, kOutHc, kRepeatR, kRepeatXy, kMaskCount };
const char* const kMaskNames[kMaskCount] = {
    "BIT n,(HL) F bits 3/5",       // the chip takes them from MEMPTR; the core keeps them
    "SCF/CCF F bits 3/5",          // the chip mixes in the previous F (Q); the core takes A
    "interrupted block I/O F",     // INIR/INDR/OTIR/OTDR repeating: the chip's extra H/P/V, 3/5
    "HALT pc",                     // the core leaves pc on the HALT and re-executes it
    "EI window pc and R",          // the core runs the next instruction (a NOP here) in the window
    "ignored prefix R",            // the core's prefix stage and re-fetch advance R by 2
    "DD CB / FD CB R",             // the displacement stage advances R once more (3 in all)
    "ED hole R",                   // the core advances R once more (3 in all)
    "ED 4E/6E IM",                 // the core sets IM 1, the chip IM 0
    "block I/O port high byte",    // INI/IND and kin: the core puts C alone on the port
    "block I/O P/V",               // INI/IND/OUTI/OUTD and kin: parity of the new B alone
    "OUTI/OUTD H and C",           // the core adds byte + (C + 1), the chip byte + L
    "block repetition R",          // the core advances R by one per repetition (not two)
    "repeating LD/CP F bits 3/5"}; // interrupted LDIR/LDDR/CPIR/CPDR: the chip takes them from PC

// The registers of a vector state, loaded into a CpuState.
void load(CpuState& c, const Json& s) {
  auto pair = [&](const char* high, const char* low) { return s.num(high) << 8 | s.num(low); };
  c.af = pair("a", "f") & 0xFFD7, c.xy_latch = s.num("f") & 0x28;
  c.bc = pair("b", "c"), c.de = pair("d", "e"), c.hl = pair("h", "l");
  c.ix = s.num("ix"), c.iy = s.num("iy"), c.sp = s.num("sp"), c.pc = s.num("pc");
  c.af_alt = s.num("af_"), c.bc_alt = s.num("bc_"), c.de_alt = s.num("de_"), c.hl_alt = s.num("hl_");
  c.i = s.num("i"), c.r_count = s.num("r") & 0x7F, c.r_high = s.num("r") & 0x80, c.im = s.num("im");
  c.iff1 = s.num("iff1") ? kIffSet : 0, c.iff2 = s.num("iff2") ? kIffSet : 0;
}

// Runs one case of the file named `stem` (its opcode bytes); returns the first difference or "".
std::string check_case(const std::string& stem, const Json& c, long* masked) {
  const Json &in = c.fields.at("initial"), &out = c.fields.at("final");
  // Which masks apply: `mask` counts each field it hides.
  auto mask = [&](Mask m, bool applies) { masked[m] += applies; return applies; };
  const uint32_t first = static_cast<uint32_t>(std::stoul(stem.substr(0, 2), nullptr, 16));
  const uint32_t last = static_cast<uint32_t>(std::stoul(stem.substr(stem.size() - 2), nullptr, 16));
  const size_t length = (stem.size() + 1) / 3;
  const bool indexed = (first == 0xDD || first == 0xFD) && length == 2;
  const uint32_t plain = indexed || length == 1 ? last : 0x100;
  const bool ed = first == 0xED && length == 2, stayed = out.num("pc") == in.num("pc");
  const bool block_io = ed && (last & 0xE4) == 0xA0 && (last & 0x02);
  const bool io_repeat = block_io && (last & 0x10) && stayed;
  const bool block_repeat = ed && (last & 0xF4) == 0xB0 && stayed;
  const bool cp_match_stop = ed && (last & 0xF7) == 0xB1 && !stayed && (out.num("b") | out.num("c"));
  const bool ei = plain == 0xFB;

  std::memset(memory, 0, sizeof memory);
  cpu_reset();
  load(cpu, in);
  for (const Json& m : in.fields.at("ram").items) memory[m.items[0].n & 0xFFFF] = m.items[1].n & 0xFF;
  expected_ports.clear(), seen_ports.clear(), next_read = 0;
  for (const Json& p : c.fields.count("ports") ? c.fields.at("ports").items : std::vector<Json>{}) {
    const int64_t port = p.items[0].n & (mask(kBlockIoPort, block_io) ? 0xFF : 0xFFFF);
    expected_ports.push_back({port, p.items[1].n, p.items[2].s == "w"});
  }
  int spent = cpu_run(1);
  const bool lone_prefix = spent == 4 && cpu.pc == ((in.num("pc") + 1) & 0xFFFF);  // an ignored DD/FD
  for (int runs = 1; runs < 8 && spent < c.num("tstates"); ++runs) spent += cpu_run(1);

  int f_mask = 0xFF;
  if (mask(kBitHlXy, first == 0xCB && length == 2 && (last & 0xC7) == 0x46) ||
      mask(kScfCcfXy, plain == 0x37 || plain == 0x3F) ||
      mask(kRepeatXy, ed && (last & 0xE6) == 0xA0 && block_repeat)) {
    f_mask = 0xD7;
  }
  if (mask(kBlockIoPv, block_io && !io_repeat)) f_mask &= ~0x04;
  if (mask(kOutHc, block_io && (last & 0x01) && !io_repeat)) f_mask &= ~0x11;
  if (mask(kBlockIoFlags, io_repeat)) f_mask = 0;
  masked[kEiWindow] += 2 * ei;
  CpuState want = cpu;
  load(want, out);
  want.pc = static_cast<uint16_t>(want.pc - mask(kHaltPc, plain == 0x76) + ei);
  want.r_count += mask(kPrefixR, indexed && lone_prefix) + mask(kEdHoleR, ed && (last & 0xF7) == 0x77) +
                  mask(kRepeatR, block_repeat || cp_match_stop) + mask(kXyCbR, length == 4) + ei;
  if (mask(kImUndocumented, ed && (last == 0x4E || last == 0x6E))) want.im = 1;

  std::string diff;
  auto check = [&](const std::string& name, int64_t expected, int64_t got) {
    if (expected == got || !diff.empty()) return;
    diff = name + ": expected " + std::to_string(expected) + ", got " + std::to_string(got);
  };
  const CpuState& got = cpu;
  for (auto [name, expected, actual] : std::initializer_list<std::tuple<const char*, int, int>>{
           {"f", ((want.af & 0xD7) | want.xy_latch) & f_mask, cpu_flags() & f_mask},
           {"r", want.r_high | (want.r_count & 0x7F), cpu_r()}, {"a", want.af >> 8, got.af >> 8},
           {"bc", want.bc, got.bc}, {"de", want.de, got.de}, {"hl", want.hl, got.hl}, {"sp", want.sp, got.sp},
           {"ix", want.ix, got.ix}, {"iy", want.iy, got.iy}, {"pc", want.pc, got.pc}, {"i", want.i, got.i},
           {"af'", want.af_alt, got.af_alt}, {"bc'", want.bc_alt, got.bc_alt}, {"im", want.im, got.im},
           {"de'", want.de_alt, got.de_alt}, {"hl'", want.hl_alt, got.hl_alt}, {"iff1", want.iff1, got.iff1},
           {"iff2", want.iff2, got.iff2}, {"tstates", c.num("tstates"), spent}}) {
    check(name, expected, actual);
  }
  for (const Json& cell : out.fields.at("ram").items) {
    check("ram " + std::to_string(cell.items[0].n), cell.items[1].n, memory[cell.items[0].n & 0xFFFF]);
  }
  check("port accesses match", 1, expected_ports == seen_ports);
  return diff;
}

TEST(Z80Vectors, EveryCaseMatchesTheChipOrANamedMask) {
  const std::string dir = std::string(QUAV_SHARED_DIR) + "/testdata/z80/v1";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "instruction vectors not found at " << dir;
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, memory);
  cpu_map_read(0x0000, 0xFFFF, 0, memory);
  cpu_map_write(0x0000, 0xFFFF, 0, memory);
  cpu_set_port_in(vector_port_in);
  cpu_set_port_out(vector_port_out);
  cpu_close_maps();

  std::vector<fs::path> files(fs::directory_iterator(dir), fs::directory_iterator{});
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files.size(), 1604u);
  long cases = 0, failed = 0, masked[kMaskCount] = {};
  for (const fs::path& path : files) {
    const std::string stem = path.filename().string().substr(0, path.filename().string().find(".json"));
    std::string text;
    ASSERT_TRUE(read_gzip(path.string(), text)) << path;
    const char* p = text.data();
    bool ok = true;
    const Json file = parse(p, text.data() + text.size(), ok);
    ASSERT_TRUE(ok && p == text.data() + text.size()) << "malformed vector file " << path;
    long file_failures = 0;
    std::string first_failure;
    cases += static_cast<long>(file.items.size());
    for (const Json& c : file.items) {
      std::string diff = check_case(stem, c, masked);
      if (!diff.empty() && file_failures++ == 0) first_failure = c.fields.at("name").s + ": " + diff;
    }
    failed += file_failures;
    EXPECT_EQ(file_failures, 0) << stem << ", first " << first_failure;
  }
  const long total_masked = std::accumulate(masked, masked + kMaskCount, 0L);
  std::printf("instruction vectors: %ld cases run, %ld failed, %ld fields masked\n", cases, failed,
              total_masked);
  for (int m = 0; m < kMaskCount; ++m) std::printf("  mask %-26s %ld\n", kMaskNames[m], masked[m]);
  EXPECT_EQ(cases, 160400);
}

}  // namespace
