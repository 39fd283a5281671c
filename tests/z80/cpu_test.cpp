// The Z80 core where single-instruction vectors cannot reach: the run budget, the EI window,
// HALT across runs, interrupts, prefixes and R, block instructions that repeat, page maps and
// the registers callbacks see.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "z80/cpu.h"

namespace {

// The machine's layout: 64 KB fetched and read from one block, writes reaching only
// 8000h-FFFFh; port reads return 99h; port accesses are counted.
uint8_t mem[0x10000];
int port_accesses = 0;
uint32_t count_in(uint32_t) { ++port_accesses; return 0x99; }
void count_out(uint32_t, uint32_t) { ++port_accesses; }
void put(uint16_t at, std::initializer_list<uint8_t> b) { std::copy(b.begin(), b.end(), mem + at); }
uint16_t stacked() { return static_cast<uint16_t>(mem[cpu.sp] | mem[(cpu.sp + 1) & 0xFFFF] << 8); }
template <class... T> std::vector<long> all(T... v) { return {static_cast<long>(v)...}; }

// One program: its code at 0000h (setup may add more), the runs with what each returns and
// leaves in pc, R and BC (-1: not checked), then the final checks.
struct Step { int32_t budget, ran; int pc, r = -1, bc = -1; };
struct Program {
  const char* what; std::vector<uint8_t> code; void (*setup)(); std::vector<Step> steps; void (*check)();
};
CpuState before;  // the state after setup, for the final checks
constexpr uint8_t kS = 0x80, kZ = 0x40, kPv = 0x04;

class Z80 : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(mem, 0, sizeof mem);
    port_accesses = 0;
    cpu_init();
    cpu_map_fetch(0x0000, 0xFFFF, mem);
    cpu_map_read(0x0000, 0xFFFF, 0, mem);
    cpu_map_write(0x8000, 0xFFFF, 0, mem + 0x8000);
    cpu_set_port_in(count_in);
    cpu_set_port_out(count_out);
    cpu_close_maps();
    cpu_reset();
    cpu.sp = 0xF000;
  }
  void run_programs(const std::vector<Program>& programs) {
    for (const Program& program : programs) {
      SCOPED_TRACE(program.what);
      SetUp();
      std::copy(program.code.begin(), program.code.end(), mem);
      program.setup();
      before = cpu;
      for (const Step& s : program.steps) {
        const long ran = cpu_run(s.budget);  // fields not checked read -1 on both sides
        std::vector<long> got = all(ran, cpu.pc, cpu_r(), cpu.bc), want = all(s.ran, s.pc, s.r, s.bc);
        for (int k = 0; k < 4; ++k) got[k] = want[k] < 0 ? -1 : got[k];
        EXPECT_EQ(got, want) << "ran, pc, R, BC after a run of " << s.budget;
      }
      program.check();
    }
  }
};

void irq_in_mode_1() { cpu.im = 1; cpu_irq(0xFF); }

// The budget: cpu_run(1) runs exactly one instruction; a run ends on the first instruction
// that reaches its budget, so it overshoots by less than that instruction, and nothing carries.
TEST_F(Z80, BudgetRunsWholeInstructions) {
  put(0x0000, {0x01, 0x34, 0x12, 0x34, 0xDD, 0x7E, 0x01, 0xDD, 0xCB, 0x02, 0x06, 0xC3, 0x00, 0x00});
  cpu.hl = 0x9000;
  cpu.ix = 0x9100;
  // LD BC,nn; INC (HL); LD A,(IX+1); RLC (IX+2); JP 0 (their costs, which the vectors check)
  const int costs[] = {10, 11, 19, 23, 10};
  for (int budget = 1, position = 0, expected = 0; budget <= 229; budget += 7, expected = 0) {
    while (expected < budget) expected += costs[position++ % 5];
    EXPECT_EQ(cpu_run(budget), expected) << "budget " << budget;
  }
  // JR $ takes its idle passes at once: the same T-states, pc and R as one by one.
  run_programs({{"JR $", {0x00, 0x18, 0xFE}, [] {},
                 {{100, 4 + 96, 1, 9}, {1, 12, 1, 10}, {229, 240, 1, 30}}, [] {}}});
}

// The EI window: a pending request is taken after the instruction that follows EI, not after
// EI EI; a chain of EIs ends the run after the third. HALT ends every run on its own opcode at
// (budget mod 4) - 4 below zero, one R step per run, until a request returns past it.
TEST_F(Z80, EiWindowAndHalt) {
  run_programs({
      {"EI; LD A,1; NOP", {0xFB, 0x3E, 0x01, 0x00}, [] { put(0x38, {0x76}); irq_in_mode_1(); },
       {{100, -1, 0x38}}, [] { EXPECT_EQ(cpu.af >> 8, 1); EXPECT_EQ(stacked(), 3); }},
      {"EI; LD BC,0", {0xFB, 0x01, 0x00, 0x00}, [] {}, {{1, 4, 4}},
       [] { EXPECT_EQ(cpu.iff1 & cpu.iff2, kIffSet); }},
      {"EI; EI; NOP; NOP", {0xFB, 0xFB, 0x00, 0x00, 0x00}, [] {}, {{100, 103, 3}}, [] {}},
      {"EI x 6", {0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB}, irq_in_mode_1, {{229, 232, 3}, {229, -1, 6}},
       [] { EXPECT_EQ(cpu.sp, 0xF000); }},
      {"HALT", {}, [] { put(0x100, {0x76}); cpu.pc = 0x100; cpu.im = 1; cpu.iff1 = cpu.iff2 = kIffSet; },
       {{229, 232, 0x100, 1}, {228, 232, 0x100, 2}, {5, 8, 0x100, 3}, {1, 4, 0x100, 4}},
       [] { cpu_irq(0xFF); EXPECT_EQ(cpu.pc, 0x38); EXPECT_EQ(stacked(), 0x101); }},
  });
}

// Acceptance inside cpu_irq in modes 0, 1 and 2 (a data byte as RST; 0038h; the vector at
// I:data across a page): pc pushed high byte first, IFFs cleared, one R step, the cost owed.
TEST_F(Z80, IrqIsAcceptedInsideTheCallInEveryMode) {
  struct Row { uint8_t im, data; uint16_t pc; uint32_t owed; };
  for (Row row : {Row{0, 0xFF, 0x38, 13}, Row{0, 0xCF, 0x08, 13}, Row{1, 0x00, 0x38, 13},
                  Row{2, 0xFF, 0x1234, 19}}) {
    SCOPED_TRACE(testing::Message() << "IM " << int{row.im} << ", data " << int{row.data});
    SetUp();
    put(0x80FF, {0x34, 0x12});
    cpu.pc = 0x4321, cpu.i = 0x80, cpu.im = row.im;
    cpu.iff1 = cpu.iff2 = kIffSet;
    cpu_irq(row.data);  // the line stays asserted
    EXPECT_EQ(all(cpu.pc, cpu.owed_cycles, cpu.sp, stacked(), cpu.iff1 | cpu.iff2, cpu.r_count, cpu.irq_line),
              all(row.pc, row.owed, 0xEFFE, 0x4321, 0, 1, 1));
  }
  before = cpu;  // with interrupts disabled a request only latches its data byte
  cpu_irq(0xCF);
  before.irq_vector = 0xCF;
  EXPECT_EQ(std::memcmp(&cpu, &before, sizeof cpu), 0);
}

// NMI ignores IFF1 and keeps IFF2 for RETN; its cost comes out of the next run's budget, and
// a run whose budget it outlasts runs nothing and leaves the rest owed. RETI re-enables
// but does not take the pending request. A callback sees the working registers and may clear
// the interrupt line. Reset values.
uint16_t seen_pc = 0, seen_bc = 0;
void observing_out(uint32_t, uint32_t) { seen_pc = cpu.pc; seen_bc = cpu.bc; cpu_clear_irq(); }

TEST_F(Z80, NmiRetiCallbacksAndReset) {
  run_programs({
      {"NMI, RETN", {}, [] {
         put(0x66, {0xED, 0x45});
         cpu.pc = 0x3000, cpu.iff1 = cpu.iff2 = kIffSet;
         cpu_nmi();
         EXPECT_EQ(all(cpu.iff1, cpu.iff2, cpu.pc, cpu.owed_cycles), all(0, kIffSet, 0x66, 11));
       }, {{5, 5, 0x66}, {7, 20, 0x3000}, {1, 4, 0x3001}}, [] { EXPECT_EQ(cpu.iff1, kIffSet); }},
      {"IRQ, RETI", {}, [] {
         put(0x38, {0xED, 0x4D});
         cpu.pc = 0x5000, cpu.iff1 = kIffSet;
         irq_in_mode_1();
         cpu.iff2 = kIffSet;  // as an earlier EI would have left it
       }, {{14, 27, 0x5000}, {4, 4, 0x5001}},
       [] { EXPECT_EQ(cpu.iff1, kIffSet); EXPECT_EQ(cpu.irq_line, 1); }},
      {"LD BC,8899h; OUT (10h),A", {0x01, 0x99, 0x88, 0xD3, 0x10, 0x00},
       [] { cpu_set_port_out(observing_out); cpu.irq_line = 1; }, {{100, -1, -1}},
       [] { EXPECT_EQ(seen_pc, 5); EXPECT_EQ(seen_bc, 0x8899); EXPECT_EQ(cpu.irq_line, 0); }},
  });
  std::memset(&cpu, 0xA5, offsetof(CpuState, fetch_pages));  // every register
  cpu_reset();
  EXPECT_EQ(all(cpu.af, cpu.bc | cpu.de | cpu.hl | cpu.sp | cpu.pc, cpu.ix & cpu.iy,
                cpu.af_alt | cpu.bc_alt | cpu.de_alt | cpu.hl_alt,
                cpu.iff1 | cpu.iff2 | cpu.im | cpu.i | cpu_r() | cpu.irq_line | cpu.owed_cycles),
            all(0x0040, 0, 0xFFFF, 0, 0));
}

// Prefixes and R: an ignored DD/FD costs 4 and is a step and an R step of its own; an ED hole
// changes only pc and R. Writes below 8000h are dropped at their normal cost.
TEST_F(Z80, PrefixesHolesAndDroppedWrites) {
  run_programs({
      {"FD FD INC A", {0xFD, 0xFD, 0x3C}, [] {}, {{1, 4, 1}, {1, 4, 2}, {1, 4, 3}},
       [] { EXPECT_EQ(cpu.af >> 8, 1); }},
      {"ED 00", {0xED, 0x00}, [] { cpu.bc = 0x1111, cpu.hl = 0x2222; }, {{1, 8, 2, 3}}, [] {
         before.pc = cpu.pc, before.r_count = cpu.r_count;  // and the run's own counters
         before.cycles_left = cpu.cycles_left, before.cycles_requested = cpu.cycles_requested;
         EXPECT_EQ(std::memcmp(&cpu, &before, sizeof cpu), 0);
       }},
      {"LD (1234h),A; LD (9234h),A", {0x32, 0x34, 0x12, 0x32, 0x34, 0x92}, [] { cpu.af = 0x5A00; },
       {{1, 13, 3}, {1, 13, 6}}, [] { EXPECT_EQ(mem[0x1234], 0); EXPECT_EQ(mem[0x9234], 0x5A); }},
  });
}

// Repeating block instructions loop inside one dispatch with one R step per repetition, stop on
// the budget with pc on the instruction and resume next run.
// LDIR that copies over its own ED byte runs what is there now.
TEST_F(Z80, BlockInstructionsRepeat) {
  auto ldir = [] { put(0x8000, {0x42, 0x20, 0x30}); cpu.hl = 0x8000; cpu.de = 0x9000; cpu.bc = 3; };
  run_programs({
      {"LDIR, budget 30", {0xED, 0xB0}, ldir, {{30, 42, 0, 4, 1}, {16, 16, 2, 6, 0}},
       [] { EXPECT_EQ(mem[0x9002], 0x30); EXPECT_EQ(cpu.af & kPv, 0); }},
      {"LDIR over itself", {},
       [] { put(0x9000, {0xED, 0xB0}); cpu.pc = cpu.de = 0x9000, cpu.hl = 0x8000, cpu.bc = 4; },
       {{37, 37, 0x9000, -1, 3}, {1, 4, 0x9001, -1, 3}}, [] { EXPECT_EQ(cpu.af & kPv, 0); }},
      {"INIR, budget 1", {0xED, 0xB2}, [] { cpu.bc = 0x82BE; cpu.hl = 0x8800; }, {{1, 21, 0, 3, 0x81BE}},
       [] { EXPECT_EQ(port_accesses, 1); EXPECT_EQ(cpu.af & (kS | kZ | kPv), kS); }},
  });
}

// Page maps: a region spanning pages maps its whole pages directly; partial pages go through the
// region list, first match first; what no region covers reads FFh and drops writes.
uint32_t inverted_read(uint32_t address) { return ~address & 0xFF; }
uint32_t last_write = 0;
void remember_write(uint32_t address, uint32_t value) { last_write = address << 8 | value; }

TEST_F(Z80, PagesRegionsAndTheCatchAll) {
  static uint8_t block[0x300];
  for (int k = 0; k < 0x300; ++k) block[k] = static_cast<uint8_t>(k * 3 + 1);
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, mem);
  cpu_map_read(0x1080, 0x10FF, 1, reinterpret_cast<void*>(inverted_read));
  cpu_map_read(0x4080, 0x437F, 0, block);
  cpu_map_write(0x4080, 0x437F, 0, block);
  cpu_map_write(0x5010, 0x5010, 1, reinterpret_cast<void*>(remember_write));
  cpu_map_read(0x6010, 0x6020, 1, reinterpret_cast<void*>(inverted_read));
  cpu_map_read(0x6000, 0x60FF, 0, block);  // a whole page: direct, the list is not consulted
  cpu_map_read(0x7010, 0x7020, 1, reinterpret_cast<void*>(inverted_read));
  cpu_map_read(0x7000, 0x70F0, 0, block);  // a partial page: the first matching region wins
  cpu_close_maps();
  auto run_at = [](uint8_t opcode, uint16_t address) {  // LD A,(nn) or LD (nn),A
    put(0x0000, {opcode, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8)});
    cpu.pc = 0;
    cpu_run(1);
  };
  const std::pair<uint16_t, int> reads[] = {
      {0x1000, 0xFF}, {0x107F, 0xFF}, {0x1080, 0x7F}, {0x10FF, 0x00}, {0x2000, 0xFF},
      {0x4080, block[0]}, {0x4200, block[0x180]}, {0x437F, block[0x2FF]}, {0x4380, 0xFF},
      {0x6015, block[0x15]}, {0x7015, 0xEA}, {0x7030, block[0x30]}};
  for (auto [address, value] : reads) {
    run_at(0x3A, address);
    EXPECT_EQ(cpu.af >> 8, value) << "read at " << address;
  }
  cpu.af = 0x5A00;
  for (uint16_t address : {0x4081, 0x5010, 0x5011}) run_at(0x32, address);
  EXPECT_EQ(block[1], 0x5A);
  EXPECT_EQ(last_write, 0x50105Au);  // 5011h reached the catch-all, not the handler
}

}  // namespace
