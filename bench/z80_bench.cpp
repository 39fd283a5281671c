// Emulated MHz of the Z80 core: T-states executed per second of CPU time,
// run in scanline-sized budgets with the machine's memory map, on two
// workloads of our own:
// - a mixed one: loads through (HL) and (IX+d), arithmetic, CB and ED
//   forms, CALL/RET, DJNZ, LDIR, OUT to a port callback;
// - a busy game-like one: bytes streamed through (HL) to a data port in a
//   DJNZ loop, 16-bit ADD/INC/DEC, CALL/RET and JP, with a frame interrupt
//   at line 212 whose handler pushes, reads the status port (which
//   withdraws the request) and counts frames.
#include <benchmark/benchmark.h>

#include <cstring>

#include "z80/cpu.h"

namespace {

constexpr int32_t kCyclesPerLine = 229;
constexpr int kLinesPerFrame = 312;

constexpr int kIrqLine = 212;
constexpr uint8_t kIm1Data = 0xFF;

uint8_t bench_memory[0x10000];
uint32_t port_sum = 0;

void bench_port_out(uint32_t port, uint32_t value) { port_sum += port ^ value; }

uint32_t bench_port_in(uint32_t port) {
  cpu_clear_irq();
  return port & 0xFF;
}

// The workload, at 0x0000.
const uint8_t kProgram[] = {
    0x31, 0x00, 0xF0,        // 0000 LD SP,F000h
    0xDD, 0x21, 0x00, 0x90,  // 0003 LD IX,9000h
    0x21, 0x00, 0x80,        // 0007 loop: LD HL,8000h
    0x06, 0x10,              // 000A LD B,16
    0x7E,                    // 000C inner: LD A,(HL)
    0xDD, 0x86, 0x03,        // 000D ADD A,(IX+3)
    0xDD, 0x77, 0x05,        // 0010 LD (IX+5),A
    0x23,                    // 0013 INC HL
    0xA9,                    // 0014 XOR C
    0x4F,                    // 0015 LD C,A
    0xCB, 0x01,              // 0016 RLC C
    0xCB, 0x5E,              // 0018 BIT 3,(HL)
    0xCD, 0x33, 0x00,        // 001A CALL sub
    0x10, 0xED,              // 001D DJNZ inner
    0xD3, 0x7F,              // 001F OUT (7Fh),A
    0x21, 0x00, 0x80,        // 0021 LD HL,8000h
    0x11, 0x00, 0xA0,        // 0024 LD DE,A000h
    0x01, 0x10, 0x00,        // 0027 LD BC,16
    0xED, 0xB0,              // 002A LDIR
    0xED, 0x52,              // 002C SBC HL,DE
    0xED, 0x44,              // 002E NEG
    0xC3, 0x07, 0x00,        // 0030 JP loop
    0xC5,                    // 0033 sub: PUSH BC
    0x8B,                    // 0034 ADC A,E
    0xE6, 0x7F,              // 0035 AND 7Fh
    0x1D,                    // 0037 DEC E
    0xC1,                    // 0038 POP BC
    0xC9,                    // 0039 RET
};

// The busy workload, at 0x0000; the frame handler at 0x0038.
const uint8_t kBusyProgram[] = {
    0xF3,                    // 0000 DI
    0xED, 0x56,              // 0001 IM 1
    0x31, 0x00, 0xF0,        // 0003 LD SP,F000h
    0xC3, 0x50, 0x00,        // 0006 JP start
};
const uint8_t kBusyHandler[] = {
    0xF5,                    // 0038 PUSH AF
    0xE5,                    // 0039 PUSH HL
    0xDB, 0xBF,              // 003A IN A,(BFh)
    0x2A, 0x02, 0xC0,        // 003C LD HL,(C002h)
    0x23,                    // 003F INC HL
    0x22, 0x02, 0xC0,        // 0040 LD (C002h),HL
    0xE1,                    // 0043 POP HL
    0xF1,                    // 0044 POP AF
    0xFB,                    // 0045 EI
    0xED, 0x4D,              // 0046 RETI
};
const uint8_t kBusyMain[] = {
    0xFB,                    // 0050 start: EI
    0x21, 0x00, 0xC1,        // 0051 main: LD HL,C100h
    0x16, 0x02,              // 0054 LD D,2
    0x06, 0x00,              // 0056 outer: LD B,0
    0x7E,                    // 0058 inner: LD A,(HL)
    0x83,                    // 0059 ADD A,E
    0x77,                    // 005A LD (HL),A
    0xD3, 0xBE,              // 005B OUT (BEh),A
    0x23,                    // 005D INC HL
    0x10, 0xF8,              // 005E DJNZ inner
    0x15,                    // 0060 DEC D
    0x20, 0xF3,              // 0061 JR NZ,outer
    0x2A, 0x00, 0xC0,        // 0063 LD HL,(C000h)
    0x11, 0x23, 0x01,        // 0066 LD DE,0123h
    0x19,                    // 0069 ADD HL,DE
    0x22, 0x00, 0xC0,        // 006A LD (C000h),HL
    0xCD, 0x73, 0x00,        // 006D CALL work
    0xC3, 0x51, 0x00,        // 0070 JP main
    0x5D,                    // 0073 work: LD E,L
    0x1C,                    // 0074 INC E
    0x01, 0x10, 0x00,        // 0075 LD BC,0010h
    0x09,                    // 0078 ADD HL,BC
    0x0B,                    // 0079 DEC BC
    0xC9,                    // 007A RET
};
constexpr uint16_t kBusyHandlerAt = 0x0038;
constexpr uint16_t kBusyMainAt = 0x0050;

void set_up_machine() {
  std::memset(bench_memory, 0, sizeof bench_memory);
  std::memcpy(bench_memory, kProgram, sizeof kProgram);
  for (int i = 0; i < 0x100; ++i) bench_memory[0x8000 + i] = static_cast<uint8_t>(i * 7);
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, bench_memory);
  cpu_map_read(0x0000, 0xFFFF, 0, bench_memory);
  cpu_map_write(0x8000, 0xFFFF, 0, bench_memory + 0x8000);
  cpu_set_port_out(bench_port_out);
  cpu_set_port_in(bench_port_in);
  cpu_close_maps();
  cpu_reset();
}

void BM_Z80MixedWorkload(benchmark::State& state) {
  set_up_machine();
  int64_t tstates = 0;
  for (auto _ : state) {
    for (int line = 0; line < kLinesPerFrame; ++line) tstates += cpu_run(kCyclesPerLine);
  }
  benchmark::DoNotOptimize(port_sum);
  if (cpu.pc >= sizeof kProgram) state.SkipWithError("the workload left its program");
  state.counters["emulated_MHz"] =
      benchmark::Counter(static_cast<double>(tstates) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Z80MixedWorkload);

void BM_Z80BusyFrames(benchmark::State& state) {
  set_up_machine();
  std::memcpy(bench_memory, kBusyProgram, sizeof kBusyProgram);
  std::memcpy(bench_memory + kBusyHandlerAt, kBusyHandler, sizeof kBusyHandler);
  std::memcpy(bench_memory + kBusyMainAt, kBusyMain, sizeof kBusyMain);
  int64_t tstates = 0;
  for (auto _ : state) {
    for (int line = 0; line < kLinesPerFrame; ++line) {
      tstates += cpu_run(kCyclesPerLine);
      if (line == kIrqLine) cpu_irq(kIm1Data);
    }
  }
  benchmark::DoNotOptimize(port_sum);
  if ((bench_memory[0xC002] | bench_memory[0xC003]) == 0 || cpu.pc > kBusyMainAt + sizeof kBusyMain) {
    state.SkipWithError("the busy workload took no interrupt or left its program");
  }
  state.counters["emulated_MHz"] =
      benchmark::Counter(static_cast<double>(tstates) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Z80BusyFrames);

}  // namespace
