// The unprefixed opcodes: handlers, the op_main grid and its T-states.
// The fetch step charges the grid's T-states before the handler runs; a
// handler adds only what a taken branch costs beyond that.
// This header and the other opcode pages it includes are read by run.cpp
// alone, whose loop inlines every handler (see core.h).
#pragma once

#include "z80/alu.h"
#include "z80/ops_cb.h"
#include "z80/ops_ed.h"
#include "z80/ops_xy.h"

namespace z80 {
namespace ops_main {

// Conditions in opcode order (bits 3-5): NZ Z NC C PO PE P M.
template <int Cc>
inline bool holds(const Work& w) {
  constexpr uint32_t kMask[4] = {kFlagZ, kFlagC, kFlagP, kFlagS};
  bool set = (w.f & kMask[Cc >> 1]) != 0;
  return (Cc & 1) ? set : !set;
}

inline uint32_t rel_target(Work& w) {
  uint32_t d = fetch8(w);
  return (w.pc + static_cast<uint32_t>(static_cast<int8_t>(d))) & 0xFFFF;
}

inline void nop(Work&) {}

template <int RR>
inline void ld_rr_a(Work& w) { write8(w, RR == 0 ? w.bc : cpu.de, w.a); }

template <int RR>
inline void ld_a_rr(Work& w) { w.a = read8(w, RR == 0 ? w.bc : cpu.de); }

inline void ld_nn_a(Work& w) { write8(w, fetch16(w), w.a); }
inline void ld_a_nn(Work& w) { w.a = read8(w, fetch16(w)); }

// RLCA RRCA RLA RRA: S, Z and P/V kept, H = N = 0.
template <int K>
inline void rot_a(Work& w) {
  uint32_t a = w.a, r, c;
  if constexpr (K == 0) { c = a >> 7; r = ((a << 1) | c) & 0xFF; }
  else if constexpr (K == 1) { c = a & 1; r = (a >> 1) | (c << 7); }
  else if constexpr (K == 2) { c = a >> 7; r = ((a << 1) | (w.f & kFlagC)) & 0xFF; }
  else { c = a & 1; r = (a >> 1) | ((w.f & kFlagC) << 7); }
  w.a = r;
  w.f = (w.f & (kFlagS | kFlagZ | kFlagP)) | c;
  cpu.xy_latch = static_cast<uint8_t>(r);
}

inline void ex_af(Work& w) {
  uint32_t old = (w.a << 8) | whole_f(w);
  w.a = cpu.af_alt >> 8;
  w.f = cpu.af_alt & kFlagsKept;
  cpu.xy_latch = static_cast<uint8_t>(cpu.af_alt);
  cpu.af_alt = static_cast<uint16_t>(old);
}

// A branch not taken steps over its operand without reading it.
inline void skip(Work& w, uint32_t bytes) { w.pc = (w.pc + bytes) & 0xFFFF; }

inline void djnz(Work& w) {
  w.bc = (w.bc - 0x100) & 0xFFFF;
  if ((w.bc >> 8) == 0) return skip(w, 1);
  w.pc = rel_target(w);
  w.cycles -= 5;
}

// JR $ (a jump to itself) idles until the budget runs out or an interrupt
// comes between runs: the passes left in this run are taken at once, each
// 12 T-states and one R step, exactly as running them one by one would.
constexpr int32_t kJrCycles = 12;
constexpr uint32_t kJrLength = 2;

inline void jr(Work& w) {
  const uint32_t target = rel_target(w);
  if (target == ((w.pc - kJrLength) & 0xFFFF) && w.cycles > 0) {
    const int32_t passes = (w.cycles + kJrCycles - 1) / kJrCycles;
    w.cycles -= passes * kJrCycles;
    w.r += static_cast<uint32_t>(passes);
  }
  w.pc = target;
}

template <int Cc>
inline void jr_cc(Work& w) {
  if (!holds<Cc>(w)) return skip(w, 1);
  w.pc = rel_target(w);
  w.cycles -= 5;
}

inline void daa(Work& w) {
  uint32_t index = w.a | ((w.f & kFlagC) << 8) | ((w.f & kFlagN) << 8) | ((w.f & kFlagH) << 6);
  uint32_t e = daa_table[index];
  w.a = e & 0xFF;
  w.f = e >> 8;
  cpu.xy_latch = static_cast<uint8_t>(w.f);
}

inline void cpl(Work& w) {
  w.a ^= 0xFF;
  w.f = (w.f & (kFlagS | kFlagZ | kFlagP | kFlagC)) | kFlagH | kFlagN;
  cpu.xy_latch = static_cast<uint8_t>(w.a);
}

inline void scf(Work& w) {
  w.f = (w.f & (kFlagS | kFlagZ | kFlagP)) | kFlagC;
  cpu.xy_latch = static_cast<uint8_t>(w.a);
}

inline void ccf(Work& w) {
  w.f = ((w.f & (kFlagS | kFlagZ | kFlagP | kFlagC)) | ((w.f & kFlagC) << 4)) ^ kFlagC;
  cpu.xy_latch = static_cast<uint8_t>(w.a);
}

inline void inc_m(Work& w) { write8(w, w.hl, inc8(w, read8(w, w.hl))); }
inline void dec_m(Work& w) { write8(w, w.hl, dec8(w, read8(w, w.hl))); }
inline void ld_m_n(Work& w) { uint32_t v = fetch8(w); write8(w, w.hl, v); }

template <int D>
inline void ld_r_m(Work& w) { set8<D>(w, read8(w, w.hl)); }

template <int S>
inline void ld_m_r(Work& w) { write8(w, w.hl, get8<S>(w)); }

template <int Op>
inline void alu_m(Work& w) { alu<Op>(w, read8(w, w.hl)); }

template <int Op>
inline void alu_n(Work& w) { alu<Op>(w, fetch8(w)); }

// HALT stays on its own opcode and ends the run; the grid's 4 T-states are
// handed back first, so the count left is taken as it was before HALT.
inline void halt(Work& w) {
  int32_t left = w.cycles + 4;
  w.cycles = left % 4 - 4;
  w.pc = (w.pc - 1) & 0xFFFF;
}

template <int Cc>
inline void ret_cc(Work& w) {
  if (holds<Cc>(w)) { w.pc = pop16(w); w.cycles -= 6; }
}

inline void ret(Work& w) { w.pc = pop16(w); }

// POP/PUSH for BC and DE; HL and the index registers come from alu.h.
template <int RR>
inline void pop_rr(Work& w) { set16<RR, kUseHl>(w, pop16(w)); }

template <int RR>
inline void push_rr(Work& w) { push16(w, get16<RR, kUseHl>(w)); }

inline void pop_af(Work& w) {
  uint32_t v = pop16(w);
  w.a = v >> 8;
  w.f = v & kFlagsKept;
  cpu.xy_latch = static_cast<uint8_t>(v);
}

inline void push_af(Work& w) { push16(w, (w.a << 8) | whole_f(w)); }

template <int Cc>
inline void jp_cc(Work& w) {
  if (!holds<Cc>(w)) return skip(w, 2);
  w.pc = fetch16(w);
}

inline void jp(Work& w) { w.pc = fetch16(w); }

inline void call(Work& w) {
  uint32_t target = fetch16(w);
  push16(w, w.pc);
  w.pc = target;
}

template <int Cc>
inline void call_cc(Work& w) {
  if (!holds<Cc>(w)) return skip(w, 2);
  call(w);
  w.cycles -= 7;
}

template <int N>
inline void rst(Work& w) { push16(w, w.pc); w.pc = N; }

inline void out_n_a(Work& w) { uint32_t n = fetch8(w); port_write(w, (w.a << 8) | n, w.a); }
inline void in_a_n(Work& w) { uint32_t n = fetch8(w); w.a = port_read(w, (w.a << 8) | n); }

inline void exx(Work& w) {
  uint32_t bc = w.bc, hl = w.hl, de = cpu.de;
  w.bc = cpu.bc_alt; cpu.bc_alt = static_cast<uint16_t>(bc);
  w.hl = cpu.hl_alt; cpu.hl_alt = static_cast<uint16_t>(hl);
  cpu.de = cpu.de_alt; cpu.de_alt = static_cast<uint16_t>(de);
}

inline void ex_de_hl(Work& w) {
  uint32_t hl = w.hl;
  w.hl = cpu.de;
  cpu.de = static_cast<uint16_t>(hl);
}

inline void di(Work&) { cpu.iff1 = cpu.iff2 = 0; }
inline void ei(Work& w) { open_ei_window(w); }

using ops_cb::stage_cb;
using ops_ed::stage_ed;
using ops_xy::stage_dd;
using ops_xy::stage_fd;

// Short names for the grid.
constexpr int B = kB, C = kC, D = kD, E = kE, H = kH, L = kL, A = kA, HL = kUseHl;
template <int Dst, int Src> constexpr Op LD = ld_r_r<Dst, Src, HL>;
template <int Op, int Src> constexpr z80::Op AL = alu_r<Op, Src, HL>;

// Unprefixed opcodes, row = high nibble.
inline constexpr Op op_main[256] = {
/* 0x */ nop, ld_rr_nn<0,HL>, ld_rr_a<0>, inc_rr<0,HL>, inc_r<B,HL>, dec_r<B,HL>, ld_r_n<B,HL>, rot_a<0>,
         ex_af, add_hl_rr<0,HL>, ld_a_rr<0>, dec_rr<0,HL>, inc_r<C,HL>, dec_r<C,HL>, ld_r_n<C,HL>, rot_a<1>,
/* 1x */ djnz, ld_rr_nn<1,HL>, ld_rr_a<1>, inc_rr<1,HL>, inc_r<D,HL>, dec_r<D,HL>, ld_r_n<D,HL>, rot_a<2>,
         jr, add_hl_rr<1,HL>, ld_a_rr<1>, dec_rr<1,HL>, inc_r<E,HL>, dec_r<E,HL>, ld_r_n<E,HL>, rot_a<3>,
/* 2x */ jr_cc<0>, ld_rr_nn<2,HL>, ld_mem_hl<HL>, inc_rr<2,HL>, inc_r<H,HL>, dec_r<H,HL>, ld_r_n<H,HL>, daa,
         jr_cc<1>, add_hl_rr<2,HL>, ld_hl_mem<HL>, dec_rr<2,HL>, inc_r<L,HL>, dec_r<L,HL>, ld_r_n<L,HL>, cpl,
/* 3x */ jr_cc<2>, ld_rr_nn<3,HL>, ld_nn_a, inc_rr<3,HL>, inc_m, dec_m, ld_m_n, scf,
         jr_cc<3>, add_hl_rr<3,HL>, ld_a_nn, dec_rr<3,HL>, inc_r<A,HL>, dec_r<A,HL>, ld_r_n<A,HL>, ccf,
/* 4x */ LD<B,B>, LD<B,C>, LD<B,D>, LD<B,E>, LD<B,H>, LD<B,L>, ld_r_m<B>, LD<B,A>,
         LD<C,B>, LD<C,C>, LD<C,D>, LD<C,E>, LD<C,H>, LD<C,L>, ld_r_m<C>, LD<C,A>,
/* 5x */ LD<D,B>, LD<D,C>, LD<D,D>, LD<D,E>, LD<D,H>, LD<D,L>, ld_r_m<D>, LD<D,A>,
         LD<E,B>, LD<E,C>, LD<E,D>, LD<E,E>, LD<E,H>, LD<E,L>, ld_r_m<E>, LD<E,A>,
/* 6x */ LD<H,B>, LD<H,C>, LD<H,D>, LD<H,E>, LD<H,H>, LD<H,L>, ld_r_m<H>, LD<H,A>,
         LD<L,B>, LD<L,C>, LD<L,D>, LD<L,E>, LD<L,H>, LD<L,L>, ld_r_m<L>, LD<L,A>,
/* 7x */ ld_m_r<B>, ld_m_r<C>, ld_m_r<D>, ld_m_r<E>, ld_m_r<H>, ld_m_r<L>, halt, ld_m_r<A>,
         LD<A,B>, LD<A,C>, LD<A,D>, LD<A,E>, LD<A,H>, LD<A,L>, ld_r_m<A>, LD<A,A>,
/* 8x */ AL<kAdd,B>, AL<kAdd,C>, AL<kAdd,D>, AL<kAdd,E>, AL<kAdd,H>, AL<kAdd,L>, alu_m<kAdd>, AL<kAdd,A>,
         AL<kAdc,B>, AL<kAdc,C>, AL<kAdc,D>, AL<kAdc,E>, AL<kAdc,H>, AL<kAdc,L>, alu_m<kAdc>, AL<kAdc,A>,
/* 9x */ AL<kSub,B>, AL<kSub,C>, AL<kSub,D>, AL<kSub,E>, AL<kSub,H>, AL<kSub,L>, alu_m<kSub>, AL<kSub,A>,
         AL<kSbc,B>, AL<kSbc,C>, AL<kSbc,D>, AL<kSbc,E>, AL<kSbc,H>, AL<kSbc,L>, alu_m<kSbc>, AL<kSbc,A>,
/* Ax */ AL<kAnd,B>, AL<kAnd,C>, AL<kAnd,D>, AL<kAnd,E>, AL<kAnd,H>, AL<kAnd,L>, alu_m<kAnd>, AL<kAnd,A>,
         AL<kXor,B>, AL<kXor,C>, AL<kXor,D>, AL<kXor,E>, AL<kXor,H>, AL<kXor,L>, alu_m<kXor>, AL<kXor,A>,
/* Bx */ AL<kOr,B>, AL<kOr,C>, AL<kOr,D>, AL<kOr,E>, AL<kOr,H>, AL<kOr,L>, alu_m<kOr>, AL<kOr,A>,
         AL<kCp,B>, AL<kCp,C>, AL<kCp,D>, AL<kCp,E>, AL<kCp,H>, AL<kCp,L>, alu_m<kCp>, AL<kCp,A>,
/* Cx */ ret_cc<0>, pop_rr<0>, jp_cc<0>, jp, call_cc<0>, push_rr<0>, alu_n<kAdd>, rst<0x00>,
         ret_cc<1>, ret, jp_cc<1>, stage_cb, call_cc<1>, call, alu_n<kAdc>, rst<0x08>,
/* Dx */ ret_cc<2>, pop_rr<1>, jp_cc<2>, out_n_a, call_cc<2>, push_rr<1>, alu_n<kSub>, rst<0x10>,
         ret_cc<3>, exx, jp_cc<3>, in_a_n, call_cc<3>, stage_dd, alu_n<kSbc>, rst<0x18>,
/* Ex */ ret_cc<4>, pop_hl<HL>, jp_cc<4>, ex_sp_hl<HL>, call_cc<4>, push_hl<HL>, alu_n<kAnd>, rst<0x20>,
         ret_cc<5>, jp_hl<HL>, jp_cc<5>, ex_de_hl, call_cc<5>, stage_ed, alu_n<kXor>, rst<0x28>,
/* Fx */ ret_cc<6>, pop_af, jp_cc<6>, di, call_cc<6>, push_af, alu_n<kOr>, rst<0x30>,
         ret_cc<7>, ld_sp_hl<HL>, jp_cc<7>, ei, call_cc<7>, stage_fd, alu_n<kCp>, rst<0x38>,
};

// T-states charged at dispatch (not-taken counts; taken branches add theirs:
// DJNZ and JR cc +5, RET cc +6, CALL cc +7). Prefixes charge nothing.
inline constexpr uint8_t cycles_main[256] = {
  //  0   1   2   3   4   5   6   7   8   9   A   B   C   D   E   F
  4, 10,  7,  6,  4,  4,  7,  4,  4, 11,  7,  6,  4,  4,  7,  4,  // 0x
  8, 10,  7,  6,  4,  4,  7,  4, 12, 11,  7,  6,  4,  4,  7,  4,  // 1x
  7, 10, 16,  6,  4,  4,  7,  4,  7, 11, 16,  6,  4,  4,  7,  4,  // 2x
  7, 10, 13,  6, 11, 11, 10,  4,  7, 11, 13,  6,  4,  4,  7,  4,  // 3x
  4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4,  // 4x
  4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4,  // 5x
  4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4,  // 6x
  7,  7,  7,  7,  7,  7,  4,  7,  4,  4,  4,  4,  4,  4,  7,  4,  // 7x
  4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4,  // 8x
  4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4,  // 9x
  4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4,  // Ax
  4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4,  // Bx
  5, 10, 10, 10, 10, 11,  7, 11,  5, 10, 10,  0, 10, 17,  7, 11,  // Cx
  5, 10, 10, 11, 10, 11,  7, 11,  5,  4, 10, 11, 10,  0,  7, 11,  // Dx
  5, 10, 10, 19, 10, 11,  7, 11,  5,  4, 10,  4, 10,  0,  7, 11,  // Ex
  5, 10, 10,  4, 10, 11,  7, 11,  5,  6, 10,  4, 10,  0,  7, 11,  // Fx
};

}  // namespace ops_main
}  // namespace z80
