// The run budget, HALT across runs and the EI window.
#include "z80/z80_fixture.h"

namespace {

using Budget = Z80Test;

// A mix of instruction lengths: LD BC,nn (10), INC (HL) (11), LD A,(IX+1)
// (19), DD CB 02 06 (23), JP 0000 (10).
void put_mix() {
  Z80Test::put(0x0000, {0x01, 0x34, 0x12, 0x34, 0xDD, 0x7E, 0x01, 0xDD, 0xCB, 0x02, 0x06,
                        0xC3, 0x00, 0x00});
}

TEST_F(Budget, RunOfOneExecutesExactlyOneInstruction) {
  put_mix();
  cpu.hl = 0x9000;
  EXPECT_EQ(cpu_run(1), 10);
  EXPECT_EQ(cpu.pc, 3);
  EXPECT_EQ(cpu.bc, 0x1234);
  EXPECT_EQ(cpu_run(1), 11);
  EXPECT_EQ(mem[0x9000], 1);
  EXPECT_EQ(cpu_run(1), 19);
  EXPECT_EQ(cpu_run(1), 23);
  EXPECT_EQ(cpu.pc, 11);
}

TEST_F(Budget, OvershootIsBelowTheLastInstructionAndNotCarried) {
  put_mix();
  cpu.hl = 0x9000;
  cpu.ix = 0x9100;
  const int costs[] = {10, 11, 19, 23, 10};
  int position = 0;
  for (int budget = 1; budget <= 229; budget += 7) {
    // The expected count: whole instructions until the budget is reached.
    int expected = 0, last = 0;
    while (expected < budget) {
      last = costs[position];
      expected += last;
      position = (position + 1) % 5;
    }
    int32_t ran = cpu_run(budget);
    EXPECT_EQ(ran, expected) << "budget " << budget;
    EXPECT_GE(ran, budget);
    EXPECT_LT(ran, budget + last);
  }
}

TEST_F(Budget, WriteBelowCartridgeBoundaryIsDroppedAtNormalCost) {
  put(0x0000, {0x3E, 0x5A, 0x32, 0x34, 0x12, 0x32, 0x34, 0x92});  // LD A,5A; LD (1234),A; LD (9234),A
  mem[0x1234] = 0x11;
  EXPECT_EQ(cpu_run(1), 7);
  EXPECT_EQ(cpu_run(1), 13);
  EXPECT_EQ(mem[0x1234], 0x11);
  EXPECT_EQ(cpu_run(1), 13);
  EXPECT_EQ(mem[0x9234], 0x5A);
}

TEST_F(Budget, OwedInterruptCyclesLengthenTheNextRun) {
  put(0x0038, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});  // NOPs
  cpu.pc = 0x0038;
  cpu.iff1 = cpu.iff2 = kIffSet;
  cpu.im = 1;
  cpu_irq(0xFF);
  EXPECT_EQ(cpu.owed_cycles, 13u);
  EXPECT_EQ(cpu_run(8), 8 + 13 + 3);  // 21 owed-inclusive T-states rounds up to 6 NOPs
  EXPECT_EQ(cpu.owed_cycles, 0u);
  EXPECT_EQ(cpu_run(8), 8);
}

using Halt = Z80Test;

TEST_F(Halt, EndsEveryRunOnItsOwnOpcodeUntilAnInterrupt) {
  put(0x0100, {0x76});
  put(0x0038, {0x76});
  cpu.pc = 0x0100;
  cpu.im = 1;
  cpu.iff1 = cpu.iff2 = kIffSet;
  for (int32_t budget : {229, 228, 5, 1}) {
    int32_t left_after = budget % 4 - 4;
    EXPECT_EQ(cpu_run(budget), budget - left_after);
    EXPECT_EQ(cpu.pc, 0x0100);
  }
  uint32_t r_before = cpu.r_count;
  cpu_run(229);
  EXPECT_EQ(cpu.r_count, r_before + 1);  // one HALT per run
  cpu_irq(0xFF);
  EXPECT_EQ(cpu.pc, 0x0038);
  EXPECT_EQ(stacked(), 0x0101);
}

using EiWindow = Z80Test;

TEST_F(EiWindow, RequestIsTakenAfterTheInstructionFollowingEi) {
  put(0x0000, {0xFB, 0x3E, 0x01, 0x00});  // EI; LD A,1; NOP
  put(0x0038, {0x76});
  cpu.im = 1;
  cpu_irq(0xFF);
  EXPECT_EQ(cpu.irq_line, 1);
  EXPECT_EQ(cpu.irq_vector, 0xFF);
  EXPECT_EQ(cpu.pc, 0);
  EXPECT_EQ(cpu.sp, 0xF000);
  cpu_run(100);
  EXPECT_EQ(cpu.af >> 8, 1);
  EXPECT_EQ(cpu.pc, 0x0038);
  EXPECT_EQ(stacked(), 0x0003);  // after LD A,1, before the NOP
  EXPECT_EQ(cpu.iff1, 0);
}

TEST_F(EiWindow, EiAndItsFollowerCostFourWithoutARequest) {
  put(0x0000, {0xFB, 0x01, 0x00, 0x00});  // EI; LD BC,0
  EXPECT_EQ(cpu_run(1), 4);
  EXPECT_EQ(cpu.pc, 4);
  EXPECT_EQ(cpu.iff1, kIffSet);
  EXPECT_EQ(cpu.iff2, kIffSet);
}

TEST_F(EiWindow, EiEiDropsTheRestOfTheBudget) {
  put(0x0000, {0xFB, 0xFB, 0x00, 0x00, 0x00});  // EI; EI; NOP; NOP
  EXPECT_EQ(cpu_run(100), 103);  // the count of 1 parked over the budget, minus EI's 4
  EXPECT_EQ(cpu.pc, 3);
}

TEST_F(EiWindow, AChainOfEisEndsTheRunAfterTheThird) {
  std::memset(mem, 0xFB, sizeof mem);
  cpu.im = 1;
  cpu_irq(0xFF);
  EXPECT_EQ(cpu_run(229), 229 + 3);
  EXPECT_EQ(cpu.pc, 3);
  EXPECT_EQ(cpu.sp, 0xF000);  // no request taken inside the chain
  cpu_run(229);
  EXPECT_EQ(cpu.pc, 6);
}

TEST_F(EiWindow, EiHaltWakesOnTheInterruptPastTheHalt) {
  put(0x0000, {0xFB, 0x76, 0x00});
  put(0x0038, {0x76});
  cpu.im = 1;
  cpu_irq(0xFF);  // waits: interrupts are disabled
  cpu_run(229);
  EXPECT_EQ(cpu.pc, 0x0038);
  EXPECT_EQ(stacked(), 0x0002);
}

}  // namespace
