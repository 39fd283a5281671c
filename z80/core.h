// Inside the Z80 core: the working registers of a run, memory and port
// access through the page maps, flag bits and the dispatch tables.
// Handlers receive the working registers (A, F, BC, HL, PC, r_count and
// the cycle count); everything else lives in `cpu`. The working copies are
// written back before every callback and reloaded after it.
#pragma once

#include <array>
#include <cstdint>

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

// Dispatch tables and their T-state grids.
extern const Op op_main[256];
extern const Op op_cb[256];
extern const Op op_ed[256];
extern const Op (&op_dd)[256];  // one template table per index register
extern const Op (&op_fd)[256];
extern const XyCbOp op_xycb[256];
extern const uint8_t cycles_main[256];
extern const uint8_t cycles_cb[256];
extern const uint8_t cycles_ed[256];
extern const uint8_t cycles_xy[256];
extern const uint8_t cycles_xycb[256];

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
[[gnu::cold, gnu::noinline]] uint32_t read8_handler(Work& w, uint32_t address);
[[gnu::cold, gnu::noinline]] void write8_handler(Work& w, uint32_t address, uint32_t value);

inline uint32_t read8(Work& w, uint32_t address) {
  const PageEntry& e = cpu.read_pages[address >> 8];
  if (e.handler == nullptr) [[likely]] return *host(e.base, address);
  return read8_handler(w, address);
}

inline void write8(Work& w, uint32_t address, uint32_t value) {
  const PageEntry& e = cpu.write_pages[address >> 8];
  if (e.handler == nullptr) [[likely]] {
    *host(e.base, address) = static_cast<uint8_t>(value);
    return;
  }
  write8_handler(w, address, value);
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

// The prefix stages, each beside its table.
void stage_cb(Work& w);
void stage_ed(Work& w);
void stage_dd(Work& w);
void stage_fd(Work& w);
// The EI window and HALT (run.cpp).
void open_ei_window(Work& w);

}  // namespace z80
