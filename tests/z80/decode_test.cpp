// Prefix stages, ignored prefixes, ED holes, the R register, bits 3 and 5
// of F, and the taken / not-taken T-states.
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

TEST_F(Decode, BitOnIndexTakesBits3And5FromTheAddressHighByte) {
  put(0x0000, {0xDD, 0xCB, 0x10, 0x7E, 0xF5});  // BIT 7,(IX+10h); PUSH AF
  cpu.ix = 0x27F0;
  EXPECT_EQ(cpu_run(1), 20);
  cpu_run(1);
  EXPECT_EQ(mem[0xEFFE] & 0x28, 0x28);
}

TEST_F(Decode, CompareTakesBits3And5FromTheOperand) {
  put(0x0000, {0xFE, 0x28, 0xF5});  // CP 28h; PUSH AF
  cpu.af = 0x0000;
  cpu_run(1);
  cpu_run(1);
  EXPECT_EQ(mem[0xEFFE] & 0x28, 0x28);
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

TEST_F(Decode, DaaAfterAddition) {
  put(0x0000, {0xC6, 0x15, 0x27});  // ADD A,15h; DAA
  cpu.af = 0x2700;
  cpu_run(1);
  cpu_run(1);
  EXPECT_EQ(cpu.af >> 8, 0x42);
  EXPECT_NE(cpu.af & 0x10, 0);
}

TEST_F(Decode, ConditionalTimingsTakenAndNot) {
  // JR NZ,+0; CALL NZ,0010h; RET NZ at 0010h.
  put(0x0000, {0x20, 0x00, 0xC4, 0x10, 0x00});
  put(0x0010, {0xC0});
  cpu.af = 0x0000;  // Z clear: every branch taken
  EXPECT_EQ(cpu_run(1), 12);
  EXPECT_EQ(cpu_run(1), 17);
  EXPECT_EQ(cpu_run(1), 11);
  EXPECT_EQ(cpu.pc, 5);
  cpu.pc = 0;
  cpu.af = 0x0040;  // Z set: none taken
  EXPECT_EQ(cpu_run(1), 7);
  EXPECT_EQ(cpu_run(1), 10);
  cpu.pc = 0x10;
  EXPECT_EQ(cpu_run(1), 5);
  EXPECT_EQ(cpu.pc, 0x11);
}

TEST_F(Decode, LdRAAndLdARKeepBit7Apart) {
  put(0x0000, {0x3E, 0x80, 0xED, 0x4F, 0xED, 0x5F});  // LD A,80h; LD R,A; LD A,R
  cpu.iff2 = kIffSet;
  cpu_run(1);
  cpu_run(1);
  cpu_run(1);
  EXPECT_EQ(cpu.af >> 8, 0x82);  // R counted the two fetches of LD A,R
  EXPECT_EQ(cpu.af & 0x04, 0x04);  // P/V = IFF2
}

}  // namespace
