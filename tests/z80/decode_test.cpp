// Prefix stages, ignored prefixes, ED holes and the R register, and bits 3
// and 5 of F carried from one instruction to the next (the vectors check
// single instructions).
#include "z80/z80_fixture.h"

namespace {

using Decode = Z80Test;

TEST_F(Decode, IgnoredPrefixCostsFourAndTwoRAdvances) {
  put(0x0000, {0xDD, 0x00, 0xDD, 0x21, 0x34, 0x12});
  EXPECT_EQ(cpu_run(8), 8);  // DD, then NOP
  EXPECT_EQ(cpu_r(), 3);
  EXPECT_EQ(cpu.pc, 2);
  EXPECT_EQ(cpu_run(1), 14);  // LD IX,1234h
  EXPECT_EQ(cpu_r(), 5);
  EXPECT_EQ(cpu.ix, 0x1234);
}

TEST_F(Decode, BudgetEndingOnAnIgnoredPrefixStopsAfterIt) {
  put(0x0000, {0xFD, 0xFD, 0x3C});  // FD FD INC A: both prefixes ignored
  EXPECT_EQ(cpu_run(1), 4);
  EXPECT_EQ(cpu.pc, 1);
  EXPECT_EQ(cpu_run(1), 4);
  EXPECT_EQ(cpu.pc, 2);
  EXPECT_EQ(cpu_run(1), 4);
  EXPECT_EQ(cpu.af >> 8, 1);
}

TEST_F(Decode, EdHoleChangesOnlyPcAndR) {
  put(0x0000, {0xED, 0x00});
  cpu.bc = 0x1111;
  cpu.hl = 0x2222;
  CpuState before = cpu;
  EXPECT_EQ(cpu_run(1), 8);
  EXPECT_EQ(cpu.pc, 2);
  EXPECT_EQ(cpu.r_count, before.r_count + 3);
  cpu.pc = before.pc;
  cpu.r_count = before.r_count;
  cpu.cycles_left = before.cycles_left;
  cpu.cycles_requested = before.cycles_requested;
  EXPECT_EQ(std::memcmp(&cpu, &before, sizeof cpu), 0);
}

TEST_F(Decode, IndexedCbFormsCostTwentyThreeAndCopyToTheRegister) {
  put(0x0000, {0xDD, 0xCB, 0x02, 0x06, 0xDD, 0xCB, 0x02, 0x00});  // RLC (IX+2); RLC (IX+2),B
  cpu.ix = 0x9000;
  mem[0x9002] = 0x81;
  EXPECT_EQ(cpu_run(1), 23);
  EXPECT_EQ(cpu_r(), 3);
  EXPECT_EQ(mem[0x9002], 0x03);
  EXPECT_EQ(cpu_run(1), 23);
  EXPECT_EQ(mem[0x9002], 0x06);
  EXPECT_EQ(cpu.bc >> 8, 0x06);
}

TEST_F(Decode, PopAfThenPushAfKeepsEveryBitOfF) {
  put(0x0000, {0xF1, 0xF5});  // POP AF; PUSH AF
  put(0x9000, {0xFF, 0x12});
  cpu.sp = 0x9000;
  cpu_run(1);
  cpu_run(1);
  EXPECT_EQ(mem[0x9000], 0xFF);
  EXPECT_EQ(mem[0x9001], 0x12);
}

}  // namespace
