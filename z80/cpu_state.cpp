// The Z80's part of a save state. Everything a later cpu_run depends on is
// here: the registers, the interrupt flip-flops, mode and line, and the
// T-states owed to the next run. The maps and callbacks belong to the
// machine's wiring, and the current run's counters are set anew by cpu_run.
#include "state/state_bytes.h"
#include "z80/cpu.h"

// The size of the record this serialiser was written for; a test compares it
// with the record, so a field added to the record is not forgotten here.
extern const uint32_t kCpuStateRecordSize = 13400;

namespace {

constexpr uint32_t kMaxInterruptMode = 2;
constexpr uint32_t kMaxOwedCycles = 1u << 16;  // far above any interrupt's charge

bool iff_valid(uint32_t v) { return v == 0 || v == kIffSet; }

}  // namespace

void cpu_state_save(StateWriter& out) {
  const uint16_t words[] = {cpu.af,     cpu.bc,     cpu.de,     cpu.hl,    cpu.ix, cpu.iy,
                            cpu.pc,     cpu.sp,     cpu.af_alt, cpu.bc_alt, cpu.de_alt,
                            cpu.hl_alt};
  for (uint16_t w : words) out.u16(w);
  out.u8(cpu.iff1);
  out.u8(cpu.iff2);
  out.u32(cpu.r_count);
  out.u8(cpu.r_high);
  out.u8(cpu.i);
  out.u8(cpu.xy_latch);
  out.u8(cpu.im);
  out.u8(cpu.irq_vector);
  out.u8(cpu.irq_line);
  out.u32(cpu.owed_cycles);
}

bool cpu_state_load(StateReader& in, CpuState* into) {
  CpuState& c = *into;
  uint16_t* words[] = {&c.af, &c.bc, &c.de, &c.hl, &c.ix, &c.iy, &c.pc, &c.sp,
                       &c.af_alt, &c.bc_alt, &c.de_alt, &c.hl_alt};
  for (uint16_t* w : words) *w = static_cast<uint16_t>(in.u16());
  c.iff1 = static_cast<uint8_t>(in.u8());
  c.iff2 = static_cast<uint8_t>(in.u8());
  c.r_count = in.u32();
  c.r_high = static_cast<uint8_t>(in.u8());
  c.i = static_cast<uint8_t>(in.u8());
  c.xy_latch = static_cast<uint8_t>(in.u8());
  c.im = static_cast<uint8_t>(in.u8());
  c.irq_vector = static_cast<uint8_t>(in.u8());
  c.irq_line = static_cast<uint8_t>(in.u8());
  c.owed_cycles = in.u32();
  return in.done() && iff_valid(c.iff1) && iff_valid(c.iff2) && c.im <= kMaxInterruptMode &&
         c.irq_line <= 1 && c.owed_cycles <= kMaxOwedCycles;
}
