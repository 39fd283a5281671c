// Repeating block instructions: looping inside one dispatch, stopping on
// the budget and resuming, LDIR overwriting itself, the I/O forms.
#include "z80/z80_fixture.h"

namespace {

using Block = Z80Test;

constexpr uint8_t kPv = 0x04, kZ = 0x40, kS = 0x80;

void put_ldir(uint16_t at, uint16_t from, uint16_t to, uint16_t count) {
  Z80Test::put(at, {0xED, 0xB0});
  cpu.pc = at;
  cpu.hl = from;
  cpu.de = to;
  cpu.bc = count;
}

TEST_F(Block, LdirChargesEachRepetitionAndTheLastStep) {
  put(0x8000, {1, 2, 3});
  put_ldir(0x0000, 0x8000, 0x9000, 3);
  uint32_t r = cpu.r_count;
  EXPECT_EQ(cpu_run(58), 21 + 21 + 16);
  EXPECT_EQ(cpu.pc, 2);
  EXPECT_EQ(cpu.bc, 0);
  EXPECT_EQ(mem[0x9002], 3);
  EXPECT_EQ(cpu.af & kPv, 0);
  EXPECT_EQ(cpu.r_count, r + 2 + 2);  // the two fetches and one per repetition
}

TEST_F(Block, LdirStopsOnTheBudgetAndResumesNextRun) {
  put(0x8000, {1, 2, 3});
  put_ldir(0x0000, 0x8000, 0x9000, 3);
  EXPECT_EQ(cpu_run(30), 42);
  EXPECT_EQ(cpu.pc, 0);
  EXPECT_EQ(cpu.bc, 1);
  EXPECT_NE(cpu.af & kPv, 0);
  EXPECT_EQ(mem[0x9002], 0);
  EXPECT_EQ(cpu_run(16), 16);
  EXPECT_EQ(cpu.pc, 2);
  EXPECT_EQ(mem[0x9002], 3);
  EXPECT_EQ(cpu.af & kPv, 0);
}

TEST_F(Block, LdirThatOverwritesItselfRunsWhatIsThereNow) {
  // Copies zeros over its own ED byte at 0x9000; the NOP then runs.
  put(0x9000, {0xED, 0xB0});
  put_ldir(0x9000, 0x8000, 0x9000, 4);
  EXPECT_EQ(cpu_run(37), 21 + 16);
  EXPECT_EQ(cpu.pc, 0x9000);
  EXPECT_EQ(cpu.bc, 3);
  EXPECT_EQ(cpu.af & kPv, 0);
  EXPECT_EQ(cpu_run(1), 4);  // the NOP now at 0x9000
  EXPECT_EQ(cpu.pc, 0x9001);
}

TEST_F(Block, CpirStopsOnAMatchWithCountLeft) {
  put(0x8000, {0x42, 0x00});
  put(0x0000, {0xED, 0xB1});
  cpu.af = 0x4200;
  cpu.hl = 0x8000;
  cpu.bc = 5;
  EXPECT_EQ(cpu_run(1), 16);
  EXPECT_EQ(cpu.pc, 2);
  EXPECT_EQ(cpu.bc, 4);
  EXPECT_NE(cpu.af & kZ, 0);
  EXPECT_NE(cpu.af & kPv, 0);
}

TEST_F(Block, InirWithOneByteReadsOncePortCAlone) {
  put(0x0000, {0xED, 0xB2});
  in_value = 0x99;
  cpu.bc = 0x01BE;
  cpu.hl = 0x8800;
  EXPECT_EQ(cpu_run(1), 16);
  ASSERT_EQ(ins.size(), 1u);
  EXPECT_EQ(ins[0], 0xBEu);
  EXPECT_EQ(mem[0x8800], 0x99);
  EXPECT_EQ(cpu.bc, 0x00BE);
  EXPECT_EQ(cpu.pc, 2);
  EXPECT_EQ(cpu.af & (kZ | kPv), kZ | kPv);
}

TEST_F(Block, OtirSendsEveryByteAndSetsZero) {
  put(0x8000, {0x10, 0x20, 0x30});
  put(0x0000, {0xED, 0xB3, 0x76});
  cpu.bc = 0x037F;
  cpu.hl = 0x8000;
  cpu_run(58);
  ASSERT_EQ(outs.size(), 3u);
  EXPECT_EQ(outs[0].port, 0x7Fu);
  EXPECT_EQ(outs[2].value, 0x30u);
  EXPECT_EQ(cpu.bc, 0x007F);
  EXPECT_EQ(cpu.af & (kZ | kPv | kS), kZ | kPv);
}

TEST_F(Block, InirStoppedByTheBudgetTakesSignFromB) {
  put(0x0000, {0xED, 0xB2});
  cpu.bc = 0x82BE;  // B goes to 0x81: bit 7 set
  cpu.hl = 0x8800;
  EXPECT_EQ(cpu_run(1), 21);
  EXPECT_EQ(cpu.pc, 0);
  EXPECT_EQ(cpu.af & (kZ | kPv | kS), kS);
  EXPECT_EQ(ins.size(), 1u);
}

}  // namespace
