// The CB opcodes (rotates, shifts, BIT, RES, SET) and the DD CB / FD CB
// forms, which op_xycb serves with the address IX+d or IY+d already formed.
// In op_xycb a register field other than 6 also receives the result of a
// rotate, shift, RES or SET; BIT with any register field tests (IX+d).
#pragma once

#include "z80/alu.h"

namespace z80 {
namespace ops_cb {

// Rotates and shifts in opcode order: RLC RRC RL RR SLA SRA SLL SRL.
template <int K>
inline uint32_t shift(Work& w, uint32_t v) {
  uint32_t r, c;
  if constexpr (K == 0) { c = v >> 7; r = (v << 1) | c; }
  else if constexpr (K == 1) { c = v & 1; r = (v >> 1) | (c << 7); }
  else if constexpr (K == 2) { c = v >> 7; r = (v << 1) | (w.f & kFlagC); }
  else if constexpr (K == 3) { c = v & 1; r = (v >> 1) | ((w.f & kFlagC) << 7); }
  else if constexpr (K == 4) { c = v >> 7; r = v << 1; }
  else if constexpr (K == 5) { c = v & 1; r = (v >> 1) | (v & 0x80); }
  else if constexpr (K == 6) { c = v >> 7; r = (v << 1) | 1; }
  else { c = v & 1; r = v >> 1; }
  r &= 0xFF;
  w.f = szp_flags[r] | c;
  cpu.xy_latch = static_cast<uint8_t>(r);
  return r;
}

inline void bit_flags(Work& w, int n, uint32_t v) {
  uint32_t tested = v & (1u << n);
  w.f = (w.f & kFlagC) | kFlagH | (tested ? (tested & kFlagS) : (kFlagZ | kFlagP));
}

template <int K, int R>
inline void rot(Work& w) {
  if constexpr (R == kM) {
    write8(w, w.hl, shift<K>(w, read8(w, w.hl)));
  } else {
    set8<R>(w, shift<K>(w, get8<R>(w)));
  }
}

template <int N, int R>
inline void bit(Work& w) {
  if constexpr (R == kM) {
    bit_flags(w, N, read8(w, w.hl));  // bits 3 and 5 unchanged
  } else {
    uint32_t v = get8<R>(w);
    bit_flags(w, N, v);
    cpu.xy_latch = static_cast<uint8_t>(v);
  }
}

template <int N, int R>
inline void res(Work& w) {
  if constexpr (R == kM) write8(w, w.hl, read8(w, w.hl) & ~(1u << N));
  else set8<R>(w, get8<R>(w) & ~(1u << N));
}

template <int N, int R>
inline void set(Work& w) {
  if constexpr (R == kM) write8(w, w.hl, read8(w, w.hl) | (1u << N));
  else set8<R>(w, get8<R>(w) | (1u << N));
}

// DD CB / FD CB: the byte at the address, result also into register R.
template <int R>
inline void store(Work& w, uint32_t address, uint32_t v) {
  write8(w, address, v);
  if constexpr (R != kM) set8<R>(w, v);
}

template <int K, int R>
inline void xrot(Work& w, uint32_t address) { store<R>(w, address, shift<K>(w, read8(w, address))); }

template <int N>
inline void xbit(Work& w, uint32_t address) {
  bit_flags(w, N, read8(w, address));
  cpu.xy_latch = static_cast<uint8_t>(address >> 8);
}

template <int N, int R>
inline void xres(Work& w, uint32_t address) { store<R>(w, address, read8(w, address) & ~(1u << N)); }

template <int N, int R>
inline void xset(Work& w, uint32_t address) { store<R>(w, address, read8(w, address) | (1u << N)); }

constexpr int B = kB, C = kC, D = kD, E = kE, H = kH, L = kL, M = kM, A = kA;

// CB xx, row = high nibble. Rotates/shifts 0x-3x, BIT 4x-7x, RES 8x-Bx, SET Cx-Fx.
inline constexpr Op op_cb[256] = {
/* 0x */ rot<0,B>, rot<0,C>, rot<0,D>, rot<0,E>, rot<0,H>, rot<0,L>, rot<0,M>, rot<0,A>,
         rot<1,B>, rot<1,C>, rot<1,D>, rot<1,E>, rot<1,H>, rot<1,L>, rot<1,M>, rot<1,A>,
/* 1x */ rot<2,B>, rot<2,C>, rot<2,D>, rot<2,E>, rot<2,H>, rot<2,L>, rot<2,M>, rot<2,A>,
         rot<3,B>, rot<3,C>, rot<3,D>, rot<3,E>, rot<3,H>, rot<3,L>, rot<3,M>, rot<3,A>,
/* 2x */ rot<4,B>, rot<4,C>, rot<4,D>, rot<4,E>, rot<4,H>, rot<4,L>, rot<4,M>, rot<4,A>,
         rot<5,B>, rot<5,C>, rot<5,D>, rot<5,E>, rot<5,H>, rot<5,L>, rot<5,M>, rot<5,A>,
/* 3x */ rot<6,B>, rot<6,C>, rot<6,D>, rot<6,E>, rot<6,H>, rot<6,L>, rot<6,M>, rot<6,A>,
         rot<7,B>, rot<7,C>, rot<7,D>, rot<7,E>, rot<7,H>, rot<7,L>, rot<7,M>, rot<7,A>,
/* 4x */ bit<0,B>, bit<0,C>, bit<0,D>, bit<0,E>, bit<0,H>, bit<0,L>, bit<0,M>, bit<0,A>,
         bit<1,B>, bit<1,C>, bit<1,D>, bit<1,E>, bit<1,H>, bit<1,L>, bit<1,M>, bit<1,A>,
/* 5x */ bit<2,B>, bit<2,C>, bit<2,D>, bit<2,E>, bit<2,H>, bit<2,L>, bit<2,M>, bit<2,A>,
         bit<3,B>, bit<3,C>, bit<3,D>, bit<3,E>, bit<3,H>, bit<3,L>, bit<3,M>, bit<3,A>,
/* 6x */ bit<4,B>, bit<4,C>, bit<4,D>, bit<4,E>, bit<4,H>, bit<4,L>, bit<4,M>, bit<4,A>,
         bit<5,B>, bit<5,C>, bit<5,D>, bit<5,E>, bit<5,H>, bit<5,L>, bit<5,M>, bit<5,A>,
/* 7x */ bit<6,B>, bit<6,C>, bit<6,D>, bit<6,E>, bit<6,H>, bit<6,L>, bit<6,M>, bit<6,A>,
         bit<7,B>, bit<7,C>, bit<7,D>, bit<7,E>, bit<7,H>, bit<7,L>, bit<7,M>, bit<7,A>,
/* 8x */ res<0,B>, res<0,C>, res<0,D>, res<0,E>, res<0,H>, res<0,L>, res<0,M>, res<0,A>,
         res<1,B>, res<1,C>, res<1,D>, res<1,E>, res<1,H>, res<1,L>, res<1,M>, res<1,A>,
/* 9x */ res<2,B>, res<2,C>, res<2,D>, res<2,E>, res<2,H>, res<2,L>, res<2,M>, res<2,A>,
         res<3,B>, res<3,C>, res<3,D>, res<3,E>, res<3,H>, res<3,L>, res<3,M>, res<3,A>,
/* Ax */ res<4,B>, res<4,C>, res<4,D>, res<4,E>, res<4,H>, res<4,L>, res<4,M>, res<4,A>,
         res<5,B>, res<5,C>, res<5,D>, res<5,E>, res<5,H>, res<5,L>, res<5,M>, res<5,A>,
/* Bx */ res<6,B>, res<6,C>, res<6,D>, res<6,E>, res<6,H>, res<6,L>, res<6,M>, res<6,A>,
         res<7,B>, res<7,C>, res<7,D>, res<7,E>, res<7,H>, res<7,L>, res<7,M>, res<7,A>,
/* Cx */ set<0,B>, set<0,C>, set<0,D>, set<0,E>, set<0,H>, set<0,L>, set<0,M>, set<0,A>,
         set<1,B>, set<1,C>, set<1,D>, set<1,E>, set<1,H>, set<1,L>, set<1,M>, set<1,A>,
/* Dx */ set<2,B>, set<2,C>, set<2,D>, set<2,E>, set<2,H>, set<2,L>, set<2,M>, set<2,A>,
         set<3,B>, set<3,C>, set<3,D>, set<3,E>, set<3,H>, set<3,L>, set<3,M>, set<3,A>,
/* Ex */ set<4,B>, set<4,C>, set<4,D>, set<4,E>, set<4,H>, set<4,L>, set<4,M>, set<4,A>,
         set<5,B>, set<5,C>, set<5,D>, set<5,E>, set<5,H>, set<5,L>, set<5,M>, set<5,A>,
/* Fx */ set<6,B>, set<6,C>, set<6,D>, set<6,E>, set<6,H>, set<6,L>, set<6,M>, set<6,A>,
         set<7,B>, set<7,C>, set<7,D>, set<7,E>, set<7,H>, set<7,L>, set<7,M>, set<7,A>,
};

// T-states of CB xx: 8 on a register, 15 on (HL), 12 for BIT n,(HL).
inline constexpr uint8_t cycles_cb[256] = {
  //  0   1   2   3   4   5   6   7   8   9   A   B   C   D   E   F
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // 0x
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // 1x
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // 2x
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // 3x
  8,  8,  8,  8,  8,  8, 12,  8,  8,  8,  8,  8,  8,  8, 12,  8,  // 4x
  8,  8,  8,  8,  8,  8, 12,  8,  8,  8,  8,  8,  8,  8, 12,  8,  // 5x
  8,  8,  8,  8,  8,  8, 12,  8,  8,  8,  8,  8,  8,  8, 12,  8,  // 6x
  8,  8,  8,  8,  8,  8, 12,  8,  8,  8,  8,  8,  8,  8, 12,  8,  // 7x
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // 8x
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // 9x
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // Ax
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // Bx
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // Cx
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // Dx
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // Ex
  8,  8,  8,  8,  8,  8, 15,  8,  8,  8,  8,  8,  8,  8, 15,  8,  // Fx
};

// The CB prefix stage: one more R advance, then the second byte.
inline void stage_cb(Work& w) {
  w.r += 1;
  dispatch<op_cb, cycles_cb>(fetch8(w), w);
}

// DD CB d xx / FD CB d xx, row = high nibble; field 6 touches memory only.
inline constexpr XyCbOp op_xycb[256] = {
/* 0x */ xrot<0,B>, xrot<0,C>, xrot<0,D>, xrot<0,E>, xrot<0,H>, xrot<0,L>, xrot<0,M>, xrot<0,A>,
         xrot<1,B>, xrot<1,C>, xrot<1,D>, xrot<1,E>, xrot<1,H>, xrot<1,L>, xrot<1,M>, xrot<1,A>,
/* 1x */ xrot<2,B>, xrot<2,C>, xrot<2,D>, xrot<2,E>, xrot<2,H>, xrot<2,L>, xrot<2,M>, xrot<2,A>,
         xrot<3,B>, xrot<3,C>, xrot<3,D>, xrot<3,E>, xrot<3,H>, xrot<3,L>, xrot<3,M>, xrot<3,A>,
/* 2x */ xrot<4,B>, xrot<4,C>, xrot<4,D>, xrot<4,E>, xrot<4,H>, xrot<4,L>, xrot<4,M>, xrot<4,A>,
         xrot<5,B>, xrot<5,C>, xrot<5,D>, xrot<5,E>, xrot<5,H>, xrot<5,L>, xrot<5,M>, xrot<5,A>,
/* 3x */ xrot<6,B>, xrot<6,C>, xrot<6,D>, xrot<6,E>, xrot<6,H>, xrot<6,L>, xrot<6,M>, xrot<6,A>,
         xrot<7,B>, xrot<7,C>, xrot<7,D>, xrot<7,E>, xrot<7,H>, xrot<7,L>, xrot<7,M>, xrot<7,A>,
/* 4x */ xbit<0>, xbit<0>, xbit<0>, xbit<0>, xbit<0>, xbit<0>, xbit<0>, xbit<0>,
         xbit<1>, xbit<1>, xbit<1>, xbit<1>, xbit<1>, xbit<1>, xbit<1>, xbit<1>,
/* 5x */ xbit<2>, xbit<2>, xbit<2>, xbit<2>, xbit<2>, xbit<2>, xbit<2>, xbit<2>,
         xbit<3>, xbit<3>, xbit<3>, xbit<3>, xbit<3>, xbit<3>, xbit<3>, xbit<3>,
/* 6x */ xbit<4>, xbit<4>, xbit<4>, xbit<4>, xbit<4>, xbit<4>, xbit<4>, xbit<4>,
         xbit<5>, xbit<5>, xbit<5>, xbit<5>, xbit<5>, xbit<5>, xbit<5>, xbit<5>,
/* 7x */ xbit<6>, xbit<6>, xbit<6>, xbit<6>, xbit<6>, xbit<6>, xbit<6>, xbit<6>,
         xbit<7>, xbit<7>, xbit<7>, xbit<7>, xbit<7>, xbit<7>, xbit<7>, xbit<7>,
/* 8x */ xres<0,B>, xres<0,C>, xres<0,D>, xres<0,E>, xres<0,H>, xres<0,L>, xres<0,M>, xres<0,A>,
         xres<1,B>, xres<1,C>, xres<1,D>, xres<1,E>, xres<1,H>, xres<1,L>, xres<1,M>, xres<1,A>,
/* 9x */ xres<2,B>, xres<2,C>, xres<2,D>, xres<2,E>, xres<2,H>, xres<2,L>, xres<2,M>, xres<2,A>,
         xres<3,B>, xres<3,C>, xres<3,D>, xres<3,E>, xres<3,H>, xres<3,L>, xres<3,M>, xres<3,A>,
/* Ax */ xres<4,B>, xres<4,C>, xres<4,D>, xres<4,E>, xres<4,H>, xres<4,L>, xres<4,M>, xres<4,A>,
         xres<5,B>, xres<5,C>, xres<5,D>, xres<5,E>, xres<5,H>, xres<5,L>, xres<5,M>, xres<5,A>,
/* Bx */ xres<6,B>, xres<6,C>, xres<6,D>, xres<6,E>, xres<6,H>, xres<6,L>, xres<6,M>, xres<6,A>,
         xres<7,B>, xres<7,C>, xres<7,D>, xres<7,E>, xres<7,H>, xres<7,L>, xres<7,M>, xres<7,A>,
/* Cx */ xset<0,B>, xset<0,C>, xset<0,D>, xset<0,E>, xset<0,H>, xset<0,L>, xset<0,M>, xset<0,A>,
         xset<1,B>, xset<1,C>, xset<1,D>, xset<1,E>, xset<1,H>, xset<1,L>, xset<1,M>, xset<1,A>,
/* Dx */ xset<2,B>, xset<2,C>, xset<2,D>, xset<2,E>, xset<2,H>, xset<2,L>, xset<2,M>, xset<2,A>,
         xset<3,B>, xset<3,C>, xset<3,D>, xset<3,E>, xset<3,H>, xset<3,L>, xset<3,M>, xset<3,A>,
/* Ex */ xset<4,B>, xset<4,C>, xset<4,D>, xset<4,E>, xset<4,H>, xset<4,L>, xset<4,M>, xset<4,A>,
         xset<5,B>, xset<5,C>, xset<5,D>, xset<5,E>, xset<5,H>, xset<5,L>, xset<5,M>, xset<5,A>,
/* Fx */ xset<6,B>, xset<6,C>, xset<6,D>, xset<6,E>, xset<6,H>, xset<6,L>, xset<6,M>, xset<6,A>,
         xset<7,B>, xset<7,C>, xset<7,D>, xset<7,E>, xset<7,H>, xset<7,L>, xset<7,M>, xset<7,A>,
};

// T-states of DD CB d xx / FD CB d xx: 23, BIT 20.
inline constexpr uint8_t cycles_xycb[256] = {
  //  0   1   2   3   4   5   6   7   8   9   A   B   C   D   E   F
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // 0x
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // 1x
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // 2x
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // 3x
  20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 4x
  20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 5x
  20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 6x
  20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 7x
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // 8x
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // 9x
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // Ax
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // Bx
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // Cx
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // Dx
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // Ex
  23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // Fx
};

}  // namespace ops_cb
}  // namespace z80
