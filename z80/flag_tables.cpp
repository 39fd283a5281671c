// Flag lookup tables, computed at compile time from their rules.
//   inc_flags / dec_flags: by the operand before INC / DEC; S, Z, bits 5
//     and 3 of the result, H, P/V (overflow) and N; never C.
//   daa_table: index A + 256*C + 512*N + 1024*H; low byte new A, high new F.
//   sz_flags / szp_flags: S and Z (and even parity) of a byte.
//   carry_flags: H, P/V as overflow and C of an add or subtract, by bits
//     4-8 of operand ^ operand ^ result (see core.h).
#include "z80/core.h"

namespace z80 {
namespace {

constexpr uint8_t parity_flag(uint32_t v) {
  uint32_t ones = 0;
  for (int b = 0; b < 8; ++b) ones += (v >> b) & 1;
  return (ones & 1) ? 0 : kFlagP;
}

constexpr uint8_t sz_of(uint32_t v) {
  return static_cast<uint8_t>((v & kFlagS) | (v == 0 ? kFlagZ : 0));
}

constexpr uint8_t sz53_of(uint32_t v) {
  return static_cast<uint8_t>(sz_of(v) | (v & (kFlagY | kFlagX)));
}

constexpr auto make_inc() {
  std::array<uint8_t, 256> t{};
  for (uint32_t v = 0; v < 256; ++v) {
    uint32_t r = (v + 1) & 0xFF;
    t[v] = static_cast<uint8_t>(sz53_of(r) | ((v & 0x0F) == 0x0F ? kFlagH : 0) |
                                (v == 0x7F ? kFlagP : 0));
  }
  return t;
}

constexpr auto make_dec() {
  std::array<uint8_t, 256> t{};
  for (uint32_t v = 0; v < 256; ++v) {
    uint32_t r = (v - 1) & 0xFF;
    t[v] = static_cast<uint8_t>(sz53_of(r) | ((v & 0x0F) == 0x00 ? kFlagH : 0) |
                                (v == 0x80 ? kFlagP : 0) | kFlagN);
  }
  return t;
}

constexpr auto make_daa() {
  std::array<uint16_t, 2048> t{};
  for (uint32_t index = 0; index < 2048; ++index) {
    uint32_t a = index & 0xFF;
    bool c = (index >> 8) & 1, n = (index >> 9) & 1, h = (index >> 10) & 1;
    uint32_t low = a & 0x0F;
    uint32_t fix = (h || low > 9 ? 0x06 : 0) | (c || a > 0x99 ? 0x60 : 0);
    uint32_t r = (n ? a - fix : a + fix) & 0xFF;
    bool new_c = c || a > 0x99;
    bool new_h = n ? (h && low < 6) : (low > 9);
    uint32_t f = sz53_of(r) | parity_flag(r) | (n ? kFlagN : 0) | (new_c ? kFlagC : 0) |
                 (new_h ? kFlagH : 0);
    t[index] = static_cast<uint16_t>(r | (f << 8));
  }
  return t;
}

constexpr auto make_sz(bool with_parity) {
  std::array<uint8_t, 256> t{};
  for (uint32_t v = 0; v < 256; ++v) {
    t[v] = static_cast<uint8_t>(sz_of(v) | (with_parity ? parity_flag(v) : 0));
  }
  return t;
}

// Bit 0 of the index is the carry out of bit 3, bit 3 the carry into bit 7,
// bit 4 the carry out of bit 7; overflow is the last two differing.
constexpr auto make_carry() {
  std::array<uint8_t, 32> t{};
  for (uint32_t i = 0; i < 32; ++i) {
    bool half = i & 0x01, into_top = i & 0x08, out_of_top = i & 0x10;
    t[i] = static_cast<uint8_t>((half ? kFlagH : 0) | (into_top != out_of_top ? kFlagP : 0) |
                                (out_of_top ? kFlagC : 0));
  }
  return t;
}

}  // namespace

const std::array<uint8_t, 32> carry_flags = make_carry();
const std::array<uint8_t, 256> inc_flags = make_inc();
const std::array<uint8_t, 256> dec_flags = make_dec();
const std::array<uint16_t, 2048> daa_table = make_daa();
const std::array<uint8_t, 256> sz_flags = make_sz(false);
const std::array<uint8_t, 256> szp_flags = make_sz(true);

}  // namespace z80
