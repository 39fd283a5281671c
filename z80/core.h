// Inside the Z80 core: the working registers of a run, memory and port
// access through the page maps, flag bits and the table dispatch.
// Handlers receive the working registers (A, F, BC, HL, PC, r_count and
// the cycle count); everything else lives in `cpu`. The working copies are
// written back before every callback and reloaded after it.
//
// The handlers and their tables are headers (ops_*.h) so that the run loop
// sees every handler: it dispatches with one jump table per opcode page and
// calls each handler directly, so the compiler inlines them and keeps the
// working registers in host registers. Nothing takes the address of a run's
// Work: the rare paths that leave the core (handler pages, ports, the RETI
// hook, interrupt acceptance) write the copies back, call, and reload.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "z80/cpu.h"

namespace z80 {

// The hottest fields of CpuState, copied into the run's own storage.
struct Work {
  uint32_t pc;
  uint32_t a;
  uint32_t f;       // without bits 3 and 5
  uint32_t bc;
  uint32_t hl;
  uint32_t r;       // r_count
  int32_t cycles;   // cycles_left
};

using Op = void (*)(Work& w);
using XyCbOp = void (*)(Work& w, uint32_t address);

// Flag bits of F.
constexpr uint32_t kFlagS = 0x80;
constexpr uint32_t kFlagZ = 0x40;
constexpr uint32_t kFlagY = 0x20;  // bit 5
constexpr uint32_t kFlagH = 0x10;
constexpr uint32_t kFlagX = 0x08;  // bit 3
constexpr uint32_t kFlagP = 0x04;
constexpr uint32_t kFlagN = 0x02;
constexpr uint32_t kFlagC = 0x01;
constexpr uint32_t kFlagsKept = 0xD7;  // F without bits 3 and 5

// Flag tables (flag_tables.cpp).
extern const std::array<uint8_t, 256> inc_flags;
extern const std::array<uint8_t, 256> dec_flags;
extern const std::array<uint16_t, 2048> daa_table;
extern const std::array<uint8_t, 256> sz_flags;   // S and Z of a byte
extern const std::array<uint8_t, 256> szp_flags;  // S, Z and even parity of a byte
// H, P/V (overflow) and C of an 8-bit add or subtract: the bits of
// a ^ v ^ result are the carries (borrows) into each bit, so bits 4-8 give
// the half carry, the carries into and out of bit 7, and the carry.
extern const std::array<uint8_t, 32> carry_flags;
inline uint32_t carries_of(uint32_t a, uint32_t v, uint32_t result) {
  return carry_flags[((a ^ v ^ result) >> 4) & 0x1F];
}

// Calls entry `op` of a handler table after charging its T-states. The
// fold is one comparison per opcode, which the compiler turns into a single
// jump table; each entry is a constant, so each handler is called directly.
template <auto Handler, typename... Extra>
inline void call_handler(Work& w, Extra... extra) { Handler(w, extra...); }

template <const auto& Handlers, const uint8_t (&Cycles)[256], typename... Extra, size_t... I>
[[gnu::always_inline]] inline void dispatch_each(uint32_t op, Work& w, std::index_sequence<I...>,
                                                 Extra... extra) {
  (void)((op == I && (w.cycles -= Cycles[I], call_handler<Handlers[I]>(w, extra...), true)) ||
         ...);
}

template <const auto& Handlers, const uint8_t (&Cycles)[256], typename... Extra>
[[gnu::always_inline]] inline void dispatch(uint32_t op, Work& w, Extra... extra) {
  dispatch_each<Handlers, Cycles>(op, w, std::make_index_sequence<256>(), extra...);
}

inline void save(const Work& w) {
  cpu.pc = static_cast<uint16_t>(w.pc);
  cpu.af = static_cast<uint16_t>((w.a << 8) | (w.f & kFlagsKept));
  cpu.bc = static_cast<uint16_t>(w.bc);
  cpu.hl = static_cast<uint16_t>(w.hl);
  cpu.r_count = w.r;
  cpu.cycles_left = w.cycles;
}

inline void load(Work& w) {
  w.pc = cpu.pc;
  w.a = cpu.af >> 8;
  w.f = cpu.af & kFlagsKept;
  w.bc = cpu.bc;
  w.hl = cpu.hl;
  w.r = cpu.r_count;
  w.cycles = cpu.cycles_left;
}

inline uint8_t* host(HostAddr base, uint32_t address) {
  return reinterpret_cast<uint8_t*>(base + address);
}

// Opcode, operand and displacement bytes: straight from the fetch map.
inline uint32_t peek_fetch(uint32_t address) {
  return *host(cpu.fetch_pages[address >> 8], address);
}

inline uint32_t fetch8(Work& w) {
  uint32_t v = peek_fetch(w.pc);
  w.pc = (w.pc + 1) & 0xFFFF;
  return v;
}

inline uint32_t fetch16(Work& w) {
  uint32_t lo = fetch8(w);
  return lo | (fetch8(w) << 8);
}

// Data accesses on a handler page (run.cpp), kept out of the handlers.
[[gnu::cold, gnu::noinline]] uint32_t read_through_handler(uint32_t address);
[[gnu::cold, gnu::noinline]] void write_through_handler(uint32_t address, uint32_t value);

inline uint32_t read8(Work& w, uint32_t address) {
  const PageEntry& e = cpu.read_pages[address >> 8];
  if (e.handler == nullptr) [[likely]] return *host(e.base, address);
  save(w);
  uint32_t v = read_through_handler(address);
  load(w);
  return v;
}

inline void write8(Work& w, uint32_t address, uint32_t value) {
  const PageEntry& e = cpu.write_pages[address >> 8];
  if (e.handler == nullptr) [[likely]] {
    *host(e.base, address) = static_cast<uint8_t>(value);
    return;
  }
  save(w);
  write_through_handler(address, value);
  load(w);
}

inline uint32_t read16(Work& w, uint32_t address) {
  uint32_t lo = read8(w, address);
  return lo | (read8(w, (address + 1) & 0xFFFF) << 8);
}

inline void write16(Work& w, uint32_t address, uint32_t value) {
  write8(w, address, value & 0xFF);
  write8(w, (address + 1) & 0xFFFF, value >> 8);
}

inline void push16(Work& w, uint32_t value) {
  cpu.sp = static_cast<uint16_t>(cpu.sp - 1);
  write8(w, cpu.sp, value >> 8);
  cpu.sp = static_cast<uint16_t>(cpu.sp - 1);
  write8(w, cpu.sp, value & 0xFF);
}

inline uint32_t pop16(Work& w) {
  uint32_t lo = read8(w, cpu.sp);
  cpu.sp = static_cast<uint16_t>(cpu.sp + 1);
  uint32_t hi = read8(w, cpu.sp);
  cpu.sp = static_cast<uint16_t>(cpu.sp + 1);
  return lo | (hi << 8);
}

inline uint32_t port_read(Work& w, uint32_t port) {
  save(w);
  uint32_t v = cpu.port_in(port) & 0xFF;
  load(w);
  return v;
}

inline void port_write(Work& w, uint32_t port, uint32_t value) {
  save(w);
  cpu.port_out(port, value);
  load(w);
}

// F as read whole (PUSH AF, EX AF,AF').
inline uint32_t whole_f(const Work& w) {
  return (w.f & kFlagsKept) | (cpu.xy_latch & (kFlagX | kFlagY));
}

// Bits 3 and 5 for LDI/CPI and kin: bit 3 of n, and bit 1 of n at bit 5.
inline uint8_t block_xy(uint32_t n) {
  return static_cast<uint8_t>((n & kFlagX) | ((n & 0x02) << 4));
}

// EI: the next instruction runs against a count of 1; EI's own 4 T-states
// are charged to the parked count when the window closes. EI EI parks the
// window's count of 1, so the run ends after the instruction that follows
// the second EI. When that instruction is a third EI it opens no window:
// the run ends right after it without taking a request, which keeps a
// chain of EIs from running forever.
constexpr int32_t kEiCycles = 4;
constexpr uint8_t kEiNested = 2;    // ei_window after EI EI
constexpr uint8_t kEiChainEnd = 3;  // ei_window after a third EI in a row

inline void open_ei_window(Work& w) {
  cpu.iff1 = cpu.iff2 = kIffSet;
  if (cpu.ei_window >= kEiNested) {
    cpu.ei_window = kEiChainEnd;  // w.cycles is already spent (1 - 4)
    return;
  }
  cpu.ei_window += 1;
  cpu.ei_parked = w.cycles + kEiCycles;  // hand back what the fetch step charged
  w.cycles = 1;
}

}  // namespace z80
