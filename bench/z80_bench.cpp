// Emulated MHz of the Z80 core: T-states executed per second of CPU time on
// a mixed workload of our own (loads through (HL) and (IX+d), arithmetic,
// CB and ED forms, CALL/RET, DJNZ, LDIR, OUT to a port callback), run in
// scanline-sized budgets with the machine's memory map.
#include <benchmark/benchmark.h>

#include <cstring>

#include "z80/cpu.h"

namespace {

constexpr int32_t kCyclesPerLine = 229;
constexpr int kLinesPerFrame = 312;

uint8_t bench_memory[0x10000];
uint32_t port_sum = 0;

void bench_port_out(uint32_t port, uint32_t value) { port_sum += port ^ value; }

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

void set_up_machine() {
  std::memset(bench_memory, 0, sizeof bench_memory);
  std::memcpy(bench_memory, kProgram, sizeof kProgram);
  for (int i = 0; i < 0x100; ++i) bench_memory[0x8000 + i] = static_cast<uint8_t>(i * 7);
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, bench_memory);
  cpu_map_read(0x0000, 0xFFFF, 0, bench_memory);
  cpu_map_write(0x8000, 0xFFFF, 0, bench_memory + 0x8000);
  cpu_set_port_out(bench_port_out);
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

}  // namespace
