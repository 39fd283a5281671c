// Register access by field number, the 8- and 16-bit arithmetic with its
// flags, and the handler templates that the unprefixed and the DD/FD tables
// share. X selects the index register that stands in for HL: kUseHl,
// kUseIx or kUseIy.
#pragma once

#include <cstdint>

#include "z80/core.h"

namespace z80 {

// Register fields of the opcode (bits 0-2 and 3-5).
enum Reg8 : int { kB = 0, kC = 1, kD = 2, kE = 3, kH = 4, kL = 5, kM = 6, kA = 7 };
// The register that HL names under each prefix.
enum IndexSel : int { kUseHl = 0, kUseIx = 1, kUseIy = 2 };
// ALU operations in opcode order (bits 3-5 of 80-BF and C6-FE).
enum AluOp : int { kAdd = 0, kAdc, kSub, kSbc, kAnd, kXor, kOr, kCp };

template <int X>
inline uint16_t& index_reg() {
  static_assert(X == kUseIx || X == kUseIy);
  if constexpr (X == kUseIx) return cpu.ix; else return cpu.iy;
}

template <int X>
inline uint32_t get_hl(const Work& w) {
  if constexpr (X == kUseHl) return w.hl; else return index_reg<X>();
}

template <int X>
inline void set_hl(Work& w, uint32_t v) {
  if constexpr (X == kUseHl) w.hl = v & 0xFFFF;
  else index_reg<X>() = static_cast<uint16_t>(v);
}

// 8-bit register by field; H and L name IXH/IXL (IYH/IYL) under a prefix.
// Field 6 (memory) is handled by the callers.
template <int R, int X = kUseHl>
inline uint32_t get8(const Work& w) {
  static_assert(R != kM);
  if constexpr (R == kB) return w.bc >> 8;
  else if constexpr (R == kC) return w.bc & 0xFF;
  else if constexpr (R == kD) return cpu.de >> 8;
  else if constexpr (R == kE) return cpu.de & 0xFF;
  else if constexpr (R == kH) return get_hl<X>(w) >> 8;
  else if constexpr (R == kL) return get_hl<X>(w) & 0xFF;
  else return w.a;
}

template <int R, int X = kUseHl>
inline void set8(Work& w, uint32_t v) {
  static_assert(R != kM);
  if constexpr (R == kB) w.bc = (w.bc & 0x00FF) | (v << 8);
  else if constexpr (R == kC) w.bc = (w.bc & 0xFF00) | v;
  else if constexpr (R == kD) cpu.de = static_cast<uint16_t>((cpu.de & 0x00FF) | (v << 8));
  else if constexpr (R == kE) cpu.de = static_cast<uint16_t>((cpu.de & 0xFF00) | v);
  else if constexpr (R == kH) set_hl<X>(w, (get_hl<X>(w) & 0x00FF) | (v << 8));
  else if constexpr (R == kL) set_hl<X>(w, (get_hl<X>(w) & 0xFF00) | v);
  else w.a = v;
}

// The address (IX+d) / (IY+d): fetches the displacement.
template <int X>
inline uint32_t index_address(Work& w) {
  uint32_t d = fetch8(w);
  return (index_reg<X>() + static_cast<uint32_t>(static_cast<int8_t>(d))) & 0xFFFF;
}

// ---- 8-bit arithmetic ----

template <int Op>
inline void alu(Work& w, uint32_t v) {
  uint32_t a = w.a;
  if constexpr (Op == kAdd || Op == kAdc) {
    uint32_t r = a + v + (Op == kAdc ? (w.f & kFlagC) : 0);
    w.f = sz_flags[r & 0xFF] | carries_of(a, v, r);
    w.a = r & 0xFF;
    cpu.xy_latch = static_cast<uint8_t>(r);
  } else if constexpr (Op == kSub || Op == kSbc || Op == kCp) {
    uint32_t r = a - v - (Op == kSbc ? (w.f & kFlagC) : 0);
    w.f = sz_flags[r & 0xFF] | carries_of(a, v, r) | kFlagN;
    if constexpr (Op == kCp) {
      cpu.xy_latch = static_cast<uint8_t>(v);
    } else {
      w.a = r & 0xFF;
      cpu.xy_latch = static_cast<uint8_t>(r);
    }
  } else {
    uint32_t r = Op == kAnd ? (a & v) : Op == kXor ? (a ^ v) : (a | v);
    w.f = szp_flags[r] | (Op == kAnd ? kFlagH : 0);
    w.a = r;
    cpu.xy_latch = static_cast<uint8_t>(r);
  }
}

inline uint32_t inc8(Work& w, uint32_t v) {
  w.f = (w.f & kFlagC) | inc_flags[v];
  uint32_t r = (v + 1) & 0xFF;
  cpu.xy_latch = static_cast<uint8_t>(r);
  return r;
}

inline uint32_t dec8(Work& w, uint32_t v) {
  w.f = (w.f & kFlagC) | dec_flags[v];
  uint32_t r = (v - 1) & 0xFF;
  cpu.xy_latch = static_cast<uint8_t>(r);
  return r;
}

// ADD HL,rr (also IX, IY): S, Z and P/V kept.
inline uint32_t add16(Work& w, uint32_t a, uint32_t v) {
  uint32_t r = a + v;
  w.f = (w.f & (kFlagS | kFlagZ | kFlagP)) | (((a ^ v ^ r) >> 8) & kFlagH) | (r >> 16);
  cpu.xy_latch = static_cast<uint8_t>(r >> 8);
  return r & 0xFFFF;
}

// ---- shared handlers (X = kUseHl for the unprefixed table) ----

template <int D, int S, int X>
void ld_r_r(Work& w) { set8<D, X>(w, get8<S, X>(w)); }

template <int D, int X>
void ld_r_n(Work& w) { set8<D, X>(w, fetch8(w)); }

template <int Op, int S, int X>
void alu_r(Work& w) { alu<Op>(w, get8<S, X>(w)); }

template <int R, int X>
void inc_r(Work& w) { set8<R, X>(w, inc8(w, get8<R, X>(w))); }

template <int R, int X>
void dec_r(Work& w) { set8<R, X>(w, dec8(w, get8<R, X>(w))); }

// rr: 0 BC, 1 DE, 2 HL/IX/IY, 3 SP.
template <int RR, int X>
inline uint32_t get16(const Work& w) {
  if constexpr (RR == 0) return w.bc;
  else if constexpr (RR == 1) return cpu.de;
  else if constexpr (RR == 2) return get_hl<X>(w);
  else return cpu.sp;
}

template <int RR, int X>
inline void set16(Work& w, uint32_t v) {
  if constexpr (RR == 0) w.bc = v & 0xFFFF;
  else if constexpr (RR == 1) cpu.de = static_cast<uint16_t>(v);
  else if constexpr (RR == 2) set_hl<X>(w, v);
  else cpu.sp = static_cast<uint16_t>(v);
}

template <int RR, int X>
void ld_rr_nn(Work& w) { set16<RR, X>(w, fetch16(w)); }

template <int RR, int X>
void inc_rr(Work& w) { set16<RR, X>(w, (get16<RR, X>(w) + 1) & 0xFFFF); }

template <int RR, int X>
void dec_rr(Work& w) { set16<RR, X>(w, (get16<RR, X>(w) - 1) & 0xFFFF); }

template <int RR, int X>
void add_hl_rr(Work& w) { set_hl<X>(w, add16(w, get_hl<X>(w), get16<RR, X>(w))); }

template <int X>
void ld_mem_hl(Work& w) { write16(w, fetch16(w), get_hl<X>(w)); }

template <int X>
void ld_hl_mem(Work& w) { uint32_t a = fetch16(w); set_hl<X>(w, read16(w, a)); }

template <int X>
void push_hl(Work& w) { push16(w, get_hl<X>(w)); }

template <int X>
void pop_hl(Work& w) { set_hl<X>(w, pop16(w)); }

template <int X>
void ex_sp_hl(Work& w) {
  uint32_t v = get_hl<X>(w);
  uint32_t lo = read8(w, cpu.sp);
  write8(w, cpu.sp, v & 0xFF);
  uint32_t hi_address = (cpu.sp + 1) & 0xFFFF;
  uint32_t hi = read8(w, hi_address);
  write8(w, hi_address, v >> 8);
  set_hl<X>(w, lo | (hi << 8));
}

template <int X>
void jp_hl(Work& w) { w.pc = get_hl<X>(w); }

template <int X>
void ld_sp_hl(Work& w) { cpu.sp = static_cast<uint16_t>(get_hl<X>(w)); }

}  // namespace z80
