// Fuzzes the Z80 core: the input is a schedule (budgets, interrupt and NMI
// timing, interrupt mode, a few registers, where partial-page regions sit)
// followed by a memory image. The schedule's runs come first, then three
// frames as the machine runs them (312 lines of 229 T-states, the frame
// interrupt raised at line 212 and withdrawn at 261 unless the program reads
// the status). Every cpu_run must return, spend its budget and overshoot by
// less than the longest instruction; and no frame may cost the host more
// than a small multiple of an ordinary one, interrupt storms included. The
// cost is counted in opcode fetches (r_count, which only LD R,A's bit 7
// escapes): an ordinary frame fetches at most once every 4 T-states.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "z80/cpu.h"

namespace {

constexpr size_t kScheduleBytes = 32;
constexpr int kRuns = 96;
// The longest single charge: a block repetition (21) or an instruction
// plus the 4 of an EI window.
constexpr int32_t kMaxOvershoot = 32;
constexpr int kFrames = 3;
constexpr int kLines = 312;
constexpr int32_t kLineBudget = 229;
constexpr int kIrqLine = 212;
constexpr int kIrqWithdrawLine = 261;
// A frame may fetch at most once a T-state: four times an ordinary frame.
constexpr uint32_t kMaxFetchesPerFrame = kLines * kLineBudget;

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

  // Each run spends its budget, less what earlier acceptances still owe.
  for (int run = 0; run < kRuns; ++run) {
    uint8_t c = schedule[10 + run % (kScheduleBytes - 10)] ^ static_cast<uint8_t>(run * 37);
    int32_t budget = 1 + (c * 5 + run) % 400;
    const bool all_owed = cpu.owed_cycles >= static_cast<uint32_t>(budget);
    int32_t ran = cpu_run(budget);
    if (all_owed ? ran != budget : (ran < budget || ran >= budget + kMaxOvershoot)) std::abort();
    if (c & 0x01) cpu_irq(c);
    if (c & 0x02) cpu_clear_irq();
    if ((c & 0x1C) == 0x1C) cpu_nmi();
  }
  // Whole frames: the frame interrupt as the VDP gives it, the NMI of the
  // reset key where the schedule asks for it.
  for (int frame = 0; frame < kFrames; ++frame) {
    const uint32_t fetches_before = cpu.r_count;
    for (int line = 0; line < kLines; ++line) {
      const bool all_owed = cpu.owed_cycles >= static_cast<uint32_t>(kLineBudget);
      const int32_t ran = cpu_run(kLineBudget);
      if (all_owed ? ran != kLineBudget : (ran < kLineBudget || ran >= kLineBudget + kMaxOvershoot)) {
        std::abort();
      }
      if (line == kIrqLine) cpu_irq(schedule[11 + frame]);
      if (line == kIrqWithdrawLine) cpu_clear_irq();
    }
    if (cpu.r_count - fetches_before > kMaxFetchesPerFrame) std::abort();
    if (schedule[14 + frame] & 0x80) cpu_nmi();
  }
  return 0;
}
