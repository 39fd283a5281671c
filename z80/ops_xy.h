// The DD and FD opcodes: the IX and IY forms, built from one template
// table. Second bytes that do not use IX or IY (DD, ED and FD included)
// get the ignored-prefix handler: pc steps back to that byte, the prefix
// charges 4 T-states and the byte is fetched again as an unprefixed opcode.
#pragma once

#include "z80/alu.h"
#include "z80/ops_cb.h"

namespace z80 {
namespace ops_xy {

inline void ignored(Work& w) { w.pc = (w.pc - 1) & 0xFFFF; }

template <int D, int X>
inline void ld_r_xd(Work& w) { set8<D>(w, read8(w, index_address<X>(w))); }

template <int S, int X>
inline void ld_xd_r(Work& w) { write8(w, index_address<X>(w), get8<S>(w)); }

template <int X>
inline void ld_xd_n(Work& w) {
  uint32_t address = index_address<X>(w);
  write8(w, address, fetch8(w));
}

template <int X>
inline void inc_xd(Work& w) {
  uint32_t address = index_address<X>(w);
  write8(w, address, inc8(w, read8(w, address)));
}

template <int X>
inline void dec_xd(Work& w) {
  uint32_t address = index_address<X>(w);
  write8(w, address, dec8(w, read8(w, address)));
}

template <int Op, int X>
inline void alu_xd(Work& w) { alu<Op>(w, read8(w, index_address<X>(w))); }

// DD CB d xx: one more R advance, the address, then the fourth byte.
template <int X>
inline void stage_xycb(Work& w) {
  w.r += 1;
  uint32_t address = index_address<X>(w);
  dispatch<ops_cb::op_xycb, ops_cb::cycles_xycb>(fetch8(w), w, address);
}

constexpr int B = kB, C = kC, D = kD, E = kE, H = kH, L = kL, A = kA;
constexpr Op n_ = ignored;

template <int X>
struct XyTable {
  template <int Dst, int Src> static constexpr Op LD = ld_r_r<Dst, Src, X>;
  template <int Op, int Src> static constexpr z80::Op AL = alu_r<Op, Src, X>;

  // DD xx (X = IX) / FD xx (X = IY), row = high nibble; n_ = ignored prefix.
  static constexpr Op table[256] = {
/* 0x */ n_, n_, n_, n_, n_, n_, n_, n_, n_, add_hl_rr<0,X>, n_, n_, n_, n_, n_, n_,
/* 1x */ n_, n_, n_, n_, n_, n_, n_, n_, n_, add_hl_rr<1,X>, n_, n_, n_, n_, n_, n_,
/* 2x */ n_, ld_rr_nn<2,X>, ld_mem_hl<X>, inc_rr<2,X>, inc_r<H,X>, dec_r<H,X>, ld_r_n<H,X>, n_,
         n_, add_hl_rr<2,X>, ld_hl_mem<X>, dec_rr<2,X>, inc_r<L,X>, dec_r<L,X>, ld_r_n<L,X>, n_,
/* 3x */ n_, n_, n_, n_, inc_xd<X>, dec_xd<X>, ld_xd_n<X>, n_,
         n_, add_hl_rr<3,X>, n_, n_, n_, n_, n_, n_,
/* 4x */ n_, n_, n_, n_, LD<B,H>, LD<B,L>, ld_r_xd<B,X>, n_,
         n_, n_, n_, n_, LD<C,H>, LD<C,L>, ld_r_xd<C,X>, n_,
/* 5x */ n_, n_, n_, n_, LD<D,H>, LD<D,L>, ld_r_xd<D,X>, n_,
         n_, n_, n_, n_, LD<E,H>, LD<E,L>, ld_r_xd<E,X>, n_,
/* 6x */ LD<H,B>, LD<H,C>, LD<H,D>, LD<H,E>, n_, LD<H,L>, ld_r_xd<H,X>, LD<H,A>,
         LD<L,B>, LD<L,C>, LD<L,D>, LD<L,E>, LD<L,H>, n_, ld_r_xd<L,X>, LD<L,A>,
/* 7x */ ld_xd_r<B,X>, ld_xd_r<C,X>, ld_xd_r<D,X>, ld_xd_r<E,X>, ld_xd_r<H,X>, ld_xd_r<L,X>, n_, ld_xd_r<A,X>,
         n_, n_, n_, n_, LD<A,H>, LD<A,L>, ld_r_xd<A,X>, n_,
/* 8x */ n_, n_, n_, n_, AL<kAdd,H>, AL<kAdd,L>, alu_xd<kAdd,X>, n_,
         n_, n_, n_, n_, AL<kAdc,H>, AL<kAdc,L>, alu_xd<kAdc,X>, n_,
/* 9x */ n_, n_, n_, n_, AL<kSub,H>, AL<kSub,L>, alu_xd<kSub,X>, n_,
         n_, n_, n_, n_, AL<kSbc,H>, AL<kSbc,L>, alu_xd<kSbc,X>, n_,
/* Ax */ n_, n_, n_, n_, AL<kAnd,H>, AL<kAnd,L>, alu_xd<kAnd,X>, n_,
         n_, n_, n_, n_, AL<kXor,H>, AL<kXor,L>, alu_xd<kXor,X>, n_,
/* Bx */ n_, n_, n_, n_, AL<kOr,H>, AL<kOr,L>, alu_xd<kOr,X>, n_,
         n_, n_, n_, n_, AL<kCp,H>, AL<kCp,L>, alu_xd<kCp,X>, n_,
/* Cx */ n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, stage_xycb<X>, n_, n_, n_, n_,
/* Dx */ n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_,
/* Ex */ n_, pop_hl<X>, n_, ex_sp_hl<X>, n_, push_hl<X>, n_, n_, n_, jp_hl<X>, n_, n_, n_, n_, n_, n_,
/* Fx */ n_, n_, n_, n_, n_, n_, n_, n_, n_, ld_sp_hl<X>, n_, n_, n_, n_, n_, n_,
  };
};

// T-states of DD xx / FD xx; 4 for an ignored prefix (the opcode after it
// charges its own). IXH/IXL forms 8, LD IXH,n 11.
inline constexpr uint8_t cycles_xy[256] = {
  //  0   1   2   3   4   5   6   7   8   9   A   B   C   D   E   F
  4,  4,  4,  4,  4,  4,  4,  4,  4, 15,  4,  4,  4,  4,  4,  4,  // 0x
  4,  4,  4,  4,  4,  4,  4,  4,  4, 15,  4,  4,  4,  4,  4,  4,  // 1x
  4, 14, 20, 10,  8,  8, 11,  4,  4, 15, 20, 10,  8,  8, 11,  4,  // 2x
  4,  4,  4,  4, 23, 23, 19,  4,  4, 15,  4,  4,  4,  4,  4,  4,  // 3x
  4,  4,  4,  4,  8,  8, 19,  4,  4,  4,  4,  4,  8,  8, 19,  4,  // 4x
  4,  4,  4,  4,  8,  8, 19,  4,  4,  4,  4,  4,  8,  8, 19,  4,  // 5x
  8,  8,  8,  8,  4,  8, 19,  8,  8,  8,  8,  8,  8,  4, 19,  8,  // 6x
 19, 19, 19, 19, 19, 19,  4, 19,  4,  4,  4,  4,  8,  8, 19,  4,  // 7x
  4,  4,  4,  4,  8,  8, 19,  4,  4,  4,  4,  4,  8,  8, 19,  4,  // 8x
  4,  4,  4,  4,  8,  8, 19,  4,  4,  4,  4,  4,  8,  8, 19,  4,  // 9x
  4,  4,  4,  4,  8,  8, 19,  4,  4,  4,  4,  4,  8,  8, 19,  4,  // Ax
  4,  4,  4,  4,  8,  8, 19,  4,  4,  4,  4,  4,  8,  8, 19,  4,  // Bx
  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  0,  4,  4,  4,  4,  // Cx
  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  // Dx
  4, 14,  4, 23,  4, 15,  4,  4,  4,  8,  4,  4,  4,  4,  4,  4,  // Ex
  4,  4,  4,  4,  4,  4,  4,  4,  4, 10,  4,  4,  4,  4,  4,  4,  // Fx
};

// The DD and FD prefix stages: one more R advance, then the second byte.
inline void stage_dd(Work& w) {
  w.r += 1;
  dispatch<XyTable<kUseIx>::table, cycles_xy>(fetch8(w), w);
}

inline void stage_fd(Work& w) {
  w.r += 1;
  dispatch<XyTable<kUseIy>::table, cycles_xy>(fetch8(w), w);
}

}  // namespace ops_xy
}  // namespace z80
