// The run loop: fetch, dispatch through op_main, stop when the budget is
// spent; the EI window; interrupt and NMI acceptance.
// A run keeps A, F, BC, HL, PC, r_count and the cycle count in its own
// working storage and writes them back before callbacks and at its end.
#include "z80/core.h"

namespace z80 {
namespace {

constexpr uint32_t kOpHalt = 0x76;
constexpr uint32_t kNmiAddress = 0x0066;
constexpr uint32_t kIm1Address = 0x0038;
constexpr uint32_t kRstBase = 0xC7;  // the data byte is taken as RST p: p = data - 0xC7
constexpr int32_t kEiCycles = 4;
constexpr uint8_t kEiNested = 2;    // ei_window after EI EI
constexpr uint8_t kEiChainEnd = 3;  // ei_window after a third EI in a row
constexpr int32_t kMaxBudget = 1 << 30;
constexpr uint32_t kIm01Cycles = 13;
constexpr uint32_t kIm2Cycles = 19;
constexpr uint32_t kNmiCycles = 11;

// Common start of both acceptances: R, the HALT skip and the push of pc.
void enter_interrupt(Work& w) {
  w.r += 1;
  if (peek_fetch(w.pc) == kOpHalt) w.pc = (w.pc + 1) & 0xFFFF;
  push16(w, w.pc);
}

void accept_irq(Work& w) {
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
}

}  // namespace

uint32_t read8_handler(Work& w, uint32_t address) {
  save(w);
  uint32_t v = reinterpret_cast<ReadHandler>(cpu.read_pages[address >> 8].handler)(address) & 0xFF;
  load(w);
  return v;
}

void write8_handler(Work& w, uint32_t address, uint32_t value) {
  save(w);
  reinterpret_cast<WriteHandler>(cpu.write_pages[address >> 8].handler)(address, value);
  load(w);
}

// EI: the next instruction runs against a count of 1; EI's own 4 T-states
// are charged to the parked count when the window closes. EI EI parks the
// window's count of 1, so the run ends after the instruction that follows
// the second EI. When that instruction is a third EI it opens no window:
// the run ends right after it without taking a request, which keeps a
// chain of EIs from running forever.
void open_ei_window(Work& w) {
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

using namespace z80;

int32_t cpu_run(int32_t budget) {
  if (budget > kMaxBudget) budget = kMaxBudget;
  if (cpu.owed_cycles > static_cast<uint32_t>(kMaxBudget)) cpu.owed_cycles = kMaxBudget;
  int32_t total = budget + static_cast<int32_t>(cpu.owed_cycles);
  cpu.cycles_left = total;
  cpu.cycles_requested = static_cast<uint32_t>(total);
  cpu.owed_cycles = 0;
  cpu.ei_window = 0;
  Work w;
  load(w);
  for (;;) {
    while (w.cycles > 0) {
      w.r += 1;
      uint32_t op = fetch8(w);
      w.cycles -= cycles_main[op];
      op_main[op](w);
    }
    if (!cpu.ei_window) break;
    bool chain_end = cpu.ei_window == kEiChainEnd;
    w.cycles = cpu.ei_parked;
    cpu.ei_window = 0;
    if (!chain_end && cpu.irq_line && cpu.iff1) accept_irq(w);
    w.cycles -= kEiCycles;
  }
  save(w);
  return static_cast<int32_t>(cpu.cycles_requested) - w.cycles;
}

void cpu_irq(uint8_t data) {
  cpu.irq_line = 1;
  cpu.irq_vector = data;
  if (!cpu.iff1) return;
  Work w;
  load(w);
  accept_irq(w);
  save(w);
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
