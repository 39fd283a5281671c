// The run loop: fetch, dispatch through op_main, stop when the budget is
// spent; the EI window; interrupt and NMI acceptance.
// A run keeps A, F, BC, HL, PC, r_count and the cycle count in its own
// working storage and writes them back before callbacks and at its end.
// The run loop is flattened: every handler is inlined into it, so that the
// working storage lives in host registers (see core.h).
#include "z80/ops_main.h"

namespace z80 {
namespace {

constexpr uint32_t kOpHalt = 0x76;
constexpr uint32_t kNmiAddress = 0x0066;
constexpr uint32_t kIm1Address = 0x0038;
constexpr uint32_t kRstBase = 0xC7;  // the data byte is taken as RST p: p = data - 0xC7
constexpr int32_t kMaxBudget = 1 << 30;
constexpr uint32_t kIm01Cycles = 13;
constexpr uint32_t kIm2Cycles = 19;
constexpr uint32_t kNmiCycles = 11;

// Common start of both acceptances: R, the HALT skip and the push of pc.
// Both work on `cpu` through a Work of their own.
void enter_interrupt(Work& w) {
  w.r += 1;
  if (peek_fetch(w.pc) == kOpHalt) w.pc = (w.pc + 1) & 0xFFFF;
  push16(w, w.pc);
}

[[gnu::noinline]] void accept_irq() {
  Work w;
  load(w);
  cpu.iff1 = cpu.iff2 = 0;
  enter_interrupt(w);
  switch (cpu.im) {
    case 0:
      cpu.owed_cycles += kIm01Cycles;
      w.pc = (cpu.irq_vector - kRstBase) & 0xFF;
      break;
    case 1:
      cpu.owed_cycles += kIm01Cycles;
      w.pc = kIm1Address;
      break;
    default:
      cpu.owed_cycles += kIm2Cycles;
      w.pc = read16(w, (static_cast<uint32_t>(cpu.i) << 8) | cpu.irq_vector);
      break;
  }
  save(w);
}

}  // namespace

uint32_t read_through_handler(uint32_t address) {
  return reinterpret_cast<ReadHandler>(cpu.read_pages[address >> 8].handler)(address) & 0xFF;
}

void write_through_handler(uint32_t address, uint32_t value) {
  reinterpret_cast<WriteHandler>(cpu.write_pages[address >> 8].handler)(address, value);
}

}  // namespace z80

using namespace z80;

// The T-states of interrupts and NMIs accepted since the last run were
// spent already, so they come out of this run's budget: a line lasts its
// budget plus the last instruction's overshoot, whatever the program does.
// Acceptances that outlast the whole budget (a handler that re-enables
// interrupts while the line is still asserted takes one every few
// T-states) leave the rest owed to the next run, which starts that much
// later; the time is spent, not piled up.
[[gnu::flatten]] int32_t cpu_run(int32_t budget) {
  if (budget > kMaxBudget) budget = kMaxBudget;
  if (cpu.owed_cycles > static_cast<uint32_t>(kMaxBudget)) cpu.owed_cycles = kMaxBudget;
  const int32_t owed = static_cast<int32_t>(cpu.owed_cycles);
  cpu.cycles_requested = static_cast<uint32_t>(budget);
  cpu.ei_window = 0;
  if (owed >= budget) {
    cpu.owed_cycles = static_cast<uint32_t>(owed - budget);
    cpu.cycles_left = 0;
    return budget;
  }
  cpu.cycles_left = budget - owed;
  cpu.owed_cycles = 0;
  Work w;
  load(w);
  for (;;) {
    while (w.cycles > 0) {
      w.r += 1;
      dispatch<ops_main::op_main, ops_main::cycles_main>(fetch8(w), w);
    }
    if (!cpu.ei_window) break;
    bool chain_end = cpu.ei_window == kEiChainEnd;
    w.cycles = cpu.ei_parked;
    cpu.ei_window = 0;
    if (!chain_end && cpu.irq_line && cpu.iff1) {
      save(w);
      accept_irq();
      load(w);
    }
    w.cycles -= kEiCycles;
  }
  save(w);
  return static_cast<int32_t>(cpu.cycles_requested) - w.cycles;
}

void cpu_irq(uint8_t data) {
  cpu.irq_line = 1;
  cpu.irq_vector = data;
  if (!cpu.iff1) return;
  accept_irq();
}

void cpu_clear_irq() { cpu.irq_line = 0; }

void cpu_nmi() {
  Work w;
  load(w);
  cpu.iff1 = 0;
  cpu.owed_cycles += kNmiCycles;
  enter_interrupt(w);
  w.pc = kNmiAddress;
  save(w);
}
