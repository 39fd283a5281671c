// The ED opcodes: 16-bit arithmetic and loads, I/O through (C), NEG, RETN,
// RETI, IM, the I and R moves, RLD/RRD and the block instructions. The
// repeating block instructions loop inside one handler, charging 21 per
// repetition and 16 for the last step, and stop early when the budget runs
// out (pc back on the ED byte). Undefined second bytes are 8-T-state holes.
#pragma once

#include "z80/alu.h"

namespace z80 {
namespace ops_ed {

constexpr int32_t kBlockStep = 16;    // a single or last block step
constexpr int32_t kBlockRepeat = 21;  // a step that repeats
constexpr uint32_t kLdirSecond = 0xB0;
constexpr uint32_t kPrefixEd = 0xED;

template <int R>
inline void in_r_c(Work& w) {
  uint32_t v = port_read(w, w.bc);
  w.f = (w.f & kFlagC) | szp_flags[v];
  cpu.xy_latch = static_cast<uint8_t>(v);
  if constexpr (R != kM) set8<R>(w, v);
}

template <int R>
inline void out_c_r(Work& w) {
  uint32_t v = 0;
  if constexpr (R != kM) v = get8<R>(w);
  port_write(w, w.bc, v);
}

template <int RR>
inline void sbc_hl(Work& w) {
  uint32_t hl = w.hl, v = get16<RR, kUseHl>(w);
  uint32_t r = hl - v - (w.f & kFlagC);
  w.f = ((r >> 8) & kFlagS) | ((r & 0xFFFF) ? 0 : kFlagZ) | (((hl ^ v ^ r) >> 8) & kFlagH) |
        (((hl ^ v) & (hl ^ r) & 0x8000) >> 13) | kFlagN | ((r >> 16) & kFlagC);
  cpu.xy_latch = static_cast<uint8_t>(r >> 8);
  w.hl = r & 0xFFFF;
}

template <int RR>
inline void adc_hl(Work& w) {
  uint32_t hl = w.hl, v = get16<RR, kUseHl>(w);
  uint32_t r = hl + v + (w.f & kFlagC);
  w.f = ((r >> 8) & kFlagS) | ((r & 0xFFFF) ? 0 : kFlagZ) | (((hl ^ v ^ r) >> 8) & kFlagH) |
        (((hl ^ r) & (v ^ r) & 0x8000) >> 13) | (r >> 16);
  cpu.xy_latch = static_cast<uint8_t>(r >> 8);
  w.hl = r & 0xFFFF;
}

template <int RR>
inline void ld_nn_rr(Work& w) { write16(w, fetch16(w), get16<RR, kUseHl>(w)); }

template <int RR>
inline void ld_rr_ind(Work& w) { uint32_t a = fetch16(w); set16<RR, kUseHl>(w, read16(w, a)); }

inline void neg(Work& w) {
  uint32_t v = w.a;
  w.a = 0;
  alu<kSub>(w, v);
}

inline void retn(Work& w) {
  w.pc = pop16(w);
  cpu.iff1 = cpu.iff2;
}

inline void reti(Work& w) {
  w.pc = pop16(w);
  cpu.iff1 = cpu.iff2;
  save(w);
  cpu.reti_hook();
  load(w);
}

template <int N>
inline void im(Work&) { cpu.im = N; }

inline void ld_i_a(Work& w) { cpu.i = static_cast<uint8_t>(w.a); }

inline void ld_r_a(Work& w) {
  w.r = w.a;
  cpu.r_high = static_cast<uint8_t>(w.a);
}

inline void ld_a_special(Work& w, uint32_t v) {
  w.a = v;
  w.f = (w.f & kFlagC) | sz_flags[v] | cpu.iff2;
  cpu.xy_latch = static_cast<uint8_t>(v);
}

inline void ld_a_i(Work& w) { ld_a_special(w, cpu.i); }
inline void ld_a_r(Work& w) { ld_a_special(w, (cpu.r_high & 0x80) | (w.r & 0x7F)); }

inline void rrd(Work& w) {
  uint32_t v = read8(w, w.hl);
  write8(w, w.hl, ((w.a << 4) | (v >> 4)) & 0xFF);
  w.a = (w.a & 0xF0) | (v & 0x0F);
  w.f = (w.f & kFlagC) | szp_flags[w.a];
  cpu.xy_latch = static_cast<uint8_t>(w.a);
}

inline void rld(Work& w) {
  uint32_t v = read8(w, w.hl);
  write8(w, w.hl, ((v << 4) | (w.a & 0x0F)) & 0xFF);
  w.a = (w.a & 0xF0) | (v >> 4);
  w.f = (w.f & kFlagC) | szp_flags[w.a];
  cpu.xy_latch = static_cast<uint8_t>(w.a);
}

// An undefined ED opcode: one more R advance, 8 T-states from the grid.
inline void hole(Work& w) { w.r += 1; }

// ---- block instructions; Dir is +1 for the I forms, -1 for the D forms ----

template <int Dir>
inline uint32_t step_hl(uint32_t hl) { return (hl + static_cast<uint32_t>(Dir)) & 0xFFFF; }

template <int Dir>
inline uint32_t ld_step(Work& w) {
  uint32_t v = read8(w, w.hl);
  write8(w, cpu.de, v);
  w.hl = step_hl<Dir>(w.hl);
  cpu.de = static_cast<uint16_t>(step_hl<Dir>(cpu.de));
  w.bc = (w.bc - 1) & 0xFFFF;
  return v;
}

inline void ld_flags(Work& w, uint32_t v, bool pv) {
  w.f = (w.f & (kFlagS | kFlagZ | kFlagC)) | (pv ? kFlagP : 0);
  cpu.xy_latch = block_xy(v + w.a);
}

template <int Dir>
inline void ldi(Work& w) { uint32_t v = ld_step<Dir>(w); ld_flags(w, v, w.bc != 0); }

template <int Dir>
inline void ldir(Work& w) {
  uint32_t start = (w.pc - 2) & 0xFFFF;
  w.cycles += kBlockStep;  // charged step by step below
  for (;;) {
    uint32_t v = ld_step<Dir>(w);
    if (w.bc == 0) { ld_flags(w, v, false); w.cycles -= kBlockStep; return; }
    w.r += 1;
    w.cycles -= kBlockRepeat;
    if (w.cycles <= 0) { ld_flags(w, v, true); w.pc = start; return; }
    if constexpr (Dir > 0) {
      // The copy may have overwritten this very instruction.
      if (peek_fetch(start) != kPrefixEd || peek_fetch((start + 1) & 0xFFFF) != kLdirSecond) {
        ld_flags(w, v, false);
        w.cycles -= kBlockStep;
        w.pc = start;
        return;
      }
    }
  }
}

// One compare step; returns whether the byte matched A.
template <int Dir>
inline bool cp_step(Work& w) {
  uint32_t v = read8(w, w.hl);
  w.hl = step_hl<Dir>(w.hl);
  w.bc = (w.bc - 1) & 0xFFFF;
  uint32_t r = (w.a - v) & 0xFF;
  uint32_t h = (w.a ^ v ^ r) & kFlagH;
  w.f = (w.f & kFlagC) | kFlagN | sz_flags[r] | h | (w.bc ? kFlagP : 0);
  cpu.xy_latch = block_xy(r - (h >> 4));
  return r == 0;
}

template <int Dir>
inline void cpi(Work& w) { cp_step<Dir>(w); }

template <int Dir>
inline void cpir(Work& w) {
  uint32_t start = (w.pc - 2) & 0xFFFF;
  w.cycles += kBlockStep;
  for (;;) {
    bool match = cp_step<Dir>(w);
    if (w.bc == 0) { w.cycles -= kBlockStep; return; }
    w.r += 1;
    if (match) { w.cycles -= kBlockStep; return; }
    w.cycles -= kBlockRepeat;
    if (w.cycles <= 0) { w.pc = start; return; }
  }
}

// I/O steps return k, the sum that decides H and C. Port = C alone.
template <int Dir>
inline uint32_t in_step(Work& w, uint32_t& v) {
  uint32_t c = w.bc & 0xFF;
  v = port_read(w, c);
  write8(w, w.hl, v);
  w.hl = step_hl<Dir>(w.hl);
  w.bc = (w.bc - 0x100) & 0xFFFF;
  return v + ((c + static_cast<uint32_t>(Dir)) & 0xFF);
}

inline uint32_t out_step(Work& w, uint32_t& v, uint32_t hl_after) {
  v = read8(w, w.hl);
  w.bc = (w.bc - 0x100) & 0xFFFF;
  uint32_t c = w.bc & 0xFF;
  port_write(w, c, v);
  w.hl = hl_after;
  return v + ((c + 1) & 0xFF);
}

// Flags after an I/O step; `sign_only` for a repetition stopped by the budget.
inline void io_flags(Work& w, uint32_t v, uint32_t k, bool sign_only) {
  uint32_t b = w.bc >> 8;
  uint32_t carry = k > 0xFF ? (kFlagH | kFlagC) : 0;
  uint32_t n = (v >> 6) & kFlagN;
  w.f = (sign_only ? (b & kFlagS) : szp_flags[b]) | n | carry;
  cpu.xy_latch = static_cast<uint8_t>(b);
}

template <int Dir>
inline void ini(Work& w) { uint32_t v; uint32_t k = in_step<Dir>(w, v); io_flags(w, v, k, false); }

template <int Dir>
inline void outi(Work& w) {
  uint32_t v;
  uint32_t k = out_step(w, v, step_hl<Dir>(w.hl));
  io_flags(w, v, k, false);
}

template <int Dir, bool In>
inline void io_repeat(Work& w) {
  uint32_t start = (w.pc - 2) & 0xFFFF;
  w.cycles += kBlockStep;
  for (;;) {
    uint32_t v;
    uint32_t k = In ? in_step<Dir>(w, v) : out_step(w, v, step_hl<Dir>(w.hl));
    if ((w.bc >> 8) == 0) { io_flags(w, v, k, false); w.cycles -= kBlockStep; return; }
    w.r += 1;
    w.cycles -= kBlockRepeat;
    if (w.cycles <= 0) { io_flags(w, v, k, true); w.pc = start; return; }
  }
}

constexpr Op h = hole;
constexpr int B = kB, C = kC, D = kD, E = kE, H = kH, L = kL, M = kM, A = kA;

// ED xx, row = high nibble; `h` is a hole (no operation).
inline constexpr Op op_ed[256] = {
/* 0x */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* 1x */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* 2x */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* 3x */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* 4x */ in_r_c<B>, out_c_r<B>, sbc_hl<0>, ld_nn_rr<0>, neg, retn, im<0>, ld_i_a,
         in_r_c<C>, out_c_r<C>, adc_hl<0>, ld_rr_ind<0>, neg, reti, im<1>, ld_r_a,
/* 5x */ in_r_c<D>, out_c_r<D>, sbc_hl<1>, ld_nn_rr<1>, neg, retn, im<1>, ld_a_i,
         in_r_c<E>, out_c_r<E>, adc_hl<1>, ld_rr_ind<1>, neg, retn, im<2>, ld_a_r,
/* 6x */ in_r_c<H>, out_c_r<H>, sbc_hl<2>, ld_nn_rr<2>, neg, retn, im<0>, rrd,
         in_r_c<L>, out_c_r<L>, adc_hl<2>, ld_rr_ind<2>, neg, retn, im<1>, rld,
/* 7x */ in_r_c<M>, out_c_r<M>, sbc_hl<3>, ld_nn_rr<3>, neg, retn, im<1>, h,
         in_r_c<A>, out_c_r<A>, adc_hl<3>, ld_rr_ind<3>, neg, retn, im<2>, h,
/* 8x */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* 9x */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* Ax */ ldi<1>, cpi<1>, ini<1>, outi<1>, h, h, h, h,
         ldi<-1>, cpi<-1>, ini<-1>, outi<-1>, h, h, h, h,
/* Bx */ ldir<1>, cpir<1>, io_repeat<1, true>, io_repeat<1, false>, h, h, h, h,
         ldir<-1>, cpir<-1>, io_repeat<-1, true>, io_repeat<-1, false>, h, h, h, h,
/* Cx */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* Dx */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* Ex */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
/* Fx */ h, h, h, h, h, h, h, h, h, h, h, h, h, h, h, h,
};

// T-states of ED xx (block repeats: 21 per repetition, 16 for the last step).
inline constexpr uint8_t cycles_ed[256] = {
  //  0   1   2   3   4   5   6   7   8   9   A   B   C   D   E   F
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // 0x
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // 1x
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // 2x
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // 3x
 12, 12, 15, 20,  8, 14,  8,  9, 12, 12, 15, 20,  8, 14,  8,  9,  // 4x
 12, 12, 15, 20,  8, 14,  8,  9, 12, 12, 15, 20,  8, 14,  8,  9,  // 5x
 12, 12, 15, 20,  8, 14,  8, 18, 12, 12, 15, 20,  8, 14,  8, 18,  // 6x
 12, 12, 15, 20,  8, 14,  8,  8, 12, 12, 15, 20,  8, 14,  8,  8,  // 7x
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // 8x
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // 9x
 16, 16, 16, 16,  8,  8,  8,  8, 16, 16, 16, 16,  8,  8,  8,  8,  // Ax
 16, 16, 16, 16,  8,  8,  8,  8, 16, 16, 16, 16,  8,  8,  8,  8,  // Bx
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // Cx
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // Dx
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // Ex
  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  // Fx
};

// The ED prefix stage: one more R advance, then the second byte.
inline void stage_ed(Work& w) {
  w.r += 1;
  dispatch<op_ed, cycles_ed>(fetch8(w), w);
}

}  // namespace ops_ed
}  // namespace z80
