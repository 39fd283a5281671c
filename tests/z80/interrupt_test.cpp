// Interrupt acceptance in modes 0, 1 and 2, the HALT skip, NMI, RETN/RETI
// and reset.
#include "z80/z80_fixture.h"

namespace {

using Interrupts = Z80Test;

TEST_F(Interrupts, RequestWithInterruptsDisabledOnlyLatches) {
  cpu.pc = 0x1234;
  CpuState before = cpu;
  cpu_irq(0xFF);
  EXPECT_EQ(cpu.irq_line, 1);
  EXPECT_EQ(cpu.irq_vector, 0xFF);
  cpu.irq_line = before.irq_line;
  cpu.irq_vector = before.irq_vector;
  EXPECT_EQ(std::memcmp(&cpu, &before, sizeof cpu), 0);
}

TEST_F(Interrupts, ModeOneIsAcceptedInsideTheCall) {
  cpu.pc = 0x4321;
  cpu.iff1 = cpu.iff2 = kIffSet;
  cpu.im = 1;
  uint32_t r = cpu.r_count;
  cpu_irq(0x00);
  EXPECT_EQ(cpu.pc, 0x0038);
  EXPECT_EQ(cpu.sp, 0xEFFE);
  EXPECT_EQ(stacked(), 0x4321);
  EXPECT_EQ(mem[0xEFFF], 0x43);  // high byte pushed first, at the higher address
  EXPECT_EQ(cpu.iff1, 0);
  EXPECT_EQ(cpu.iff2, 0);
  EXPECT_EQ(cpu.r_count, r + 1);
  EXPECT_EQ(cpu.owed_cycles, 13u);
  EXPECT_EQ(cpu.irq_line, 1);  // the line stays asserted
}

TEST_F(Interrupts, ModeZeroTakesTheDataByteAsRst) {
  cpu.im = 0;
  cpu.iff1 = cpu.iff2 = kIffSet;
  cpu_irq(0xFF);
  EXPECT_EQ(cpu.pc, 0x0038);
  cpu.iff1 = cpu.iff2 = kIffSet;
  cpu_irq(0xCF);
  EXPECT_EQ(cpu.pc, 0x0008);
  EXPECT_EQ(cpu.owed_cycles, 26u);
}

TEST_F(Interrupts, ModeTwoReadsTheVectorAcrossAPageBoundary) {
  cpu.im = 2;
  cpu.i = 0x80;
  cpu.iff1 = cpu.iff2 = kIffSet;
  mem[0x80FF] = 0x34;
  mem[0x8100] = 0x12;
  cpu_irq(0xFF);
  EXPECT_EQ(cpu.pc, 0x1234);
  EXPECT_EQ(cpu.owed_cycles, 19u);
}

TEST_F(Interrupts, AcceptanceOnAHaltReturnsPastIt) {
  put(0x2000, {0x76});
  cpu.pc = 0x2000;
  cpu.im = 1;
  cpu.iff1 = cpu.iff2 = kIffSet;
  cpu_irq(0xFF);
  EXPECT_EQ(stacked(), 0x2001);
}

TEST_F(Interrupts, NmiIgnoresIff1AndRetnRestoresIt) {
  put(0x0066, {0xED, 0x45});  // RETN
  put(0x3000, {0x00});
  cpu.pc = 0x3000;
  cpu.iff1 = cpu.iff2 = kIffSet;
  cpu_nmi();
  EXPECT_EQ(cpu.iff1, 0);
  EXPECT_EQ(cpu.iff2, kIffSet);
  EXPECT_EQ(cpu.pc, 0x0066);
  EXPECT_EQ(cpu.owed_cycles, 11u);
  EXPECT_EQ(cpu_run(1), 14);  // budget 1 + 11 owed: RETN alone crosses it
  EXPECT_EQ(cpu.pc, 0x3000);
  EXPECT_EQ(cpu.iff1, kIffSet);
}

TEST_F(Interrupts, RetiReenablesButDoesNotTakeThePendingRequest) {
  put(0x0038, {0xED, 0x4D});  // RETI
  put(0x5000, {0x00, 0x00});
  cpu.pc = 0x5000;
  cpu.im = 1;
  cpu.iff1 = cpu.iff2 = kIffSet;
  cpu_irq(0xFF);
  cpu.iff2 = kIffSet;  // as if an earlier EI had left it set
  cpu_run(1);
  EXPECT_EQ(cpu.iff1, kIffSet);
  EXPECT_EQ(cpu.irq_line, 1);
  cpu_run(4);
  EXPECT_EQ(cpu.pc, 0x5001);  // ran the NOP, not the handler
}

TEST_F(Interrupts, ResetValues) {
  cpu.af = 0x1234;
  cpu.sp = 0x4444;
  cpu.iff1 = kIffSet;
  cpu.im = 2;
  cpu.r_count = 77;
  cpu_reset();
  EXPECT_EQ(cpu.af, 0x0040);
  EXPECT_EQ(cpu.ix, 0xFFFF);
  EXPECT_EQ(cpu.iy, 0xFFFF);
  EXPECT_EQ(cpu.sp, 0);
  EXPECT_EQ(cpu.pc, 0);
  EXPECT_EQ(cpu.iff1, 0);
  EXPECT_EQ(cpu.im, 0);
  EXPECT_EQ(cpu_r(), 0);
}

}  // namespace
