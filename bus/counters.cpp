// The vertical and horizontal counter ports (0x7E and 0x7F when read).
//
// The vertical counter counts 0x00-0xDA over lines 0-218, jumps back to
// 0xD5 at line 219 and climbs to 0xFF at line 261; lines 262-311 (and the
// rest of the 512 entries) read 0x00. The horizontal counter is not
// modelled and always reads 0x00.
#include "bus/counters.h"

#include "vdp/vdp.h"

namespace {

constexpr int kFirstRepeatedLine = 219;  // reads 0xD5, as line 213 did
constexpr int kRepeatStep = 6;
constexpr int kLastCountedLine = 261;  // reads 0xFF
constexpr uint32_t kLineMask = 0x1FF;

constexpr std::array<uint8_t, kVCounterEntries> make_v_counter_table() {
  std::array<uint8_t, kVCounterEntries> t{};
  for (int line = 0; line < kVCounterEntries; ++line) {
    if (line < kFirstRepeatedLine) {
      t[line] = static_cast<uint8_t>(line);
    } else if (line <= kLastCountedLine) {
      t[line] = static_cast<uint8_t>(line - kRepeatStep);
    }
  }
  return t;
}

}  // namespace

constexpr std::array<uint8_t, kVCounterEntries> VCounterTable = make_v_counter_table();

uint8_t vdp_read_v_counter() {
  return VCounterTable[static_cast<uint32_t>(vdp.current_line) & kLineMask];
}

uint8_t vdp_read_h_counter() { return 0x00; }
