// Fuzzes the Z80 core: the input is a schedule (budgets, interrupt and NMI
// timing, interrupt mode, a few registers, where partial-page regions sit)
// followed by a memory image. Every cpu_run must return, spend at least
// its budget and overshoot by less than the longest instruction.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "z80/cpu.h"

namespace {

constexpr size_t kScheduleBytes = 32;
constexpr int kRuns = 96;
// The longest single charge: a block repetition (21) or an instruction
// plus the 4 of an EI window, plus owed interrupt cycles (at most 19 + 11
// per gap between runs).
constexpr int32_t kMaxOvershoot = 64;
constexpr uint32_t kRunawayOwed = 1u << 20;

uint8_t memory[0x10000];
uint8_t schedule[kScheduleBytes];

uint32_t fuzz_read(uint32_t address) { return memory[address & 0xFFFF] ^ 0x5A; }
void fuzz_write(uint32_t address, uint32_t value) { memory[(address ^ 0x4000) & 0xFFFF] = static_cast<uint8_t>(value); }
uint32_t fuzz_port_in(uint32_t port) { return schedule[port % kScheduleBytes] ^ (port >> 8); }
void fuzz_port_out(uint32_t port, uint32_t) {
  if ((port & 0xFF) == 0xBF) cpu_clear_irq();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kScheduleBytes) return 0;
  std::memcpy(schedule, data, kScheduleBytes);
  std::memset(memory, 0, sizeof memory);
  size_t image = size - kScheduleBytes;
  if (image > sizeof memory) image = sizeof memory;
  std::memcpy(memory, data + kScheduleBytes, image);

  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, memory);
  // A handler region and a memory region that cover pages only in part.
  uint16_t a = static_cast<uint16_t>(schedule[0] << 8 | schedule[1]);
  uint16_t b = static_cast<uint16_t>(a + schedule[2] * 3);
  cpu_map_read(0x0000, 0xBFFF, 0, memory);
  cpu_map_read(a, b, 1, reinterpret_cast<void*>(fuzz_read));
  cpu_map_write(0x8000, 0xFFFF, 0, memory + 0x8000);
  cpu_map_write(b, static_cast<uint16_t>(b + schedule[3]), 1, reinterpret_cast<void*>(fuzz_write));
  cpu_set_port_in(fuzz_port_in);
  cpu_set_port_out(fuzz_port_out);
  cpu_close_maps();
  cpu_reset();
  cpu.im = schedule[4] % 3;
  cpu.i = schedule[5];
  cpu.sp = static_cast<uint16_t>(schedule[6] << 8 | schedule[7]);
  cpu.pc = static_cast<uint16_t>(schedule[8] << 8);
  cpu.iff1 = cpu.iff2 = (schedule[9] & 1) ? kIffSet : 0;

  for (int run = 0; run < kRuns; ++run) {
    uint8_t c = schedule[10 + run % (kScheduleBytes - 10)] ^ static_cast<uint8_t>(run * 37);
    int32_t budget = 1 + (c * 5 + run) % 400;
    // A handler that enables interrupts while the line is still held takes
    // one every few T-states, each owed to the next run, so the owed count
    // can grow from run to run; past a limit running on only slows the fuzzer.
    if (cpu.owed_cycles > kRunawayOwed) break;
    int32_t owed = static_cast<int32_t>(cpu.owed_cycles);
    int32_t ran = cpu_run(budget);
    if (ran < budget + owed || ran >= budget + owed + kMaxOvershoot) std::abort();
    if (c & 0x01) cpu_irq(c);
    if (c & 0x02) cpu_clear_irq();
    if ((c & 0x1C) == 0x1C) cpu_nmi();
  }
  return 0;
}
