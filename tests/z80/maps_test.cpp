// Page maps, partial-page regions and the catch-all, port numbers, and the
// working registers that callbacks see.
#include "z80/z80_fixture.h"

namespace {

uint32_t handler_reads = 0;
uint32_t last_write_address = 0, last_write_value = 0;

uint32_t counting_read(uint32_t address) {
  ++handler_reads;
  return address & 0xFF;
}

void remembering_write(uint32_t address, uint32_t value) {
  last_write_address = address;
  last_write_value = value;
}

class Maps : public Z80Test {
 public:
  static uint32_t read_at(uint16_t address) {
    put(0x0000, {0x3A, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8)});
    cpu.pc = 0;
    cpu_run(1);
    return cpu.af >> 8;
  }
};

TEST_F(Maps, PartialPageRegionConsultsTheListAndTheCatchAll) {
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, mem);
  cpu_map_read(0x1080, 0x10FF, 1, reinterpret_cast<void*>(counting_read));
  cpu_close_maps();
  handler_reads = 0;
  EXPECT_EQ(read_at(0x1000), 0xFFu);
  EXPECT_EQ(read_at(0x107F), 0xFFu);
  EXPECT_EQ(handler_reads, 0u);
  EXPECT_EQ(read_at(0x1080), 0x80u);
  EXPECT_EQ(read_at(0x10FF), 0xFFu);
  EXPECT_EQ(handler_reads, 2u);
  EXPECT_EQ(read_at(0x2000), 0xFFu);
}

TEST_F(Maps, RegionsSpanningPagesMapWholePagesDirectly) {
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, mem);
  static uint8_t block[0x300];
  for (int i = 0; i < 0x300; ++i) block[i] = static_cast<uint8_t>(i * 3);
  cpu_map_read(0x4080, 0x437F, 0, block);
  cpu_map_write(0x4080, 0x437F, 0, block);
  cpu_map_write(0x5010, 0x5010, 1, reinterpret_cast<void*>(remembering_write));
  cpu_close_maps();
  EXPECT_EQ(cpu.read_pages[0x41].handler, nullptr);
  EXPECT_NE(cpu.read_pages[0x40].handler, nullptr);
  EXPECT_EQ(read_at(0x4080), block[0]);
  EXPECT_EQ(read_at(0x4200), block[0x180]);
  EXPECT_EQ(read_at(0x437F), block[0x2FF]);
  EXPECT_EQ(read_at(0x4380), 0xFFu);
  // Writes: through the block on a partial page, the handler, the catch-all.
  put(0x0000, {0x32, 0x81, 0x40, 0x32, 0x10, 0x50, 0x32, 0x11, 0x50});
  cpu.pc = 0;
  cpu.af = 0x5A00;
  cpu_run(1);
  EXPECT_EQ(block[1], 0x5A);
  cpu_run(1);
  EXPECT_EQ(last_write_address, 0x5010u);
  EXPECT_EQ(last_write_value, 0x5Au);
  last_write_address = 0;
  cpu_run(1);
  EXPECT_EQ(last_write_address, 0u);
}

TEST_F(Maps, FirstMatchingRegionWins) {
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, mem);
  cpu_map_read(0x6010, 0x6020, 1, reinterpret_cast<void*>(counting_read));
  static uint8_t block[0x100] = {};
  cpu_map_read(0x6000, 0x60FF, 0, block);  // whole page: direct, list not consulted
  cpu_map_read(0x7010, 0x7020, 1, reinterpret_cast<void*>(counting_read));
  cpu_map_read(0x7000, 0x70F0, 0, block);  // partial: the list decides
  cpu_close_maps();
  EXPECT_EQ(read_at(0x6015), 0u);
  EXPECT_EQ(read_at(0x7015), 0x15u);
  EXPECT_EQ(read_at(0x7030), 0u);
}

TEST_F(Maps, PortNumbersPerInstructionForm) {
  // IN A,(FEh) with A = 12h; OUT (C),A; OUTI.
  put(0x0000, {0xDB, 0xFE, 0xED, 0x79, 0xED, 0xA3});
  put(0x9000, {0x77});
  cpu.af = 0x1200;
  cpu.bc = 0x34BF;
  cpu.hl = 0x9000;
  in_value = 0x56;
  cpu_run(1);
  ASSERT_EQ(ins.size(), 1u);
  EXPECT_EQ(ins[0], 0x12FEu);
  EXPECT_EQ(cpu.af >> 8, 0x56);
  cpu_run(1);
  cpu_run(1);
  ASSERT_EQ(outs.size(), 2u);
  EXPECT_EQ(outs[0].port, 0x34BFu);
  EXPECT_EQ(outs[0].value, 0x56u);
  EXPECT_EQ(outs[1].port, 0xBFu);
  EXPECT_EQ(outs[1].value, 0x77u);
}

uint16_t seen_pc = 0, seen_bc = 0;

void observing_out(uint32_t, uint32_t) {
  seen_pc = cpu.pc;
  seen_bc = cpu.bc;
  cpu_clear_irq();
}

TEST_F(Maps, CallbacksSeeTheWorkingRegisters) {
  put(0x0000, {0x01, 0x99, 0x88, 0xD3, 0x10, 0x00});  // LD BC,8899h; OUT (10h),A; NOP
  cpu_set_port_out(observing_out);
  cpu.irq_line = 1;
  cpu_run(100);
  EXPECT_EQ(seen_pc, 5);
  EXPECT_EQ(seen_bc, 0x8899);
  EXPECT_EQ(cpu.irq_line, 0);
}

}  // namespace
