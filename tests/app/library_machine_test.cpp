// Loading on the real machine: the program from the ROM directory runs, F3
// restarts it at 0x0000 keeping image and RAM, a missing image leaves the
// running logo alone, and a 40 KB image's tail is writable RAM.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "app/osd.h"
#include "bus/io.h"
#include "support/bus_machine.h"
#include "support/library_fixture.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

using library_test::write_file;

constexpr int kMonacoGp = 5;
constexpr int kStarJacker = 12;

class MachineLoading : public library_test::Fixture {
 protected:
  void SetUp() override {
    bus_machine::setup(io_read_port, io_write_port);
    app_boot_logo();
  }
  static void frames(int n) {
    for (int i = 0; i < n; ++i) bus_machine::run_frame();
  }
  static std::string text(uint32_t at) {
    return std::string(reinterpret_cast<const char*>(MachineMemory + at), 16);
  }
  static uint16_t counter() { return MachineMemory[0xC010] | MachineMemory[0xC011] << 8; }
};

TEST_F(MachineLoading, ProgramRunsAfterTheLoadAndF3RestartsItKeepingRam) {
  write_file(roms_ / "Star_Jacker.Sc", bus_machine::test_rom("star_jacker"));
  frames(5);
  app_load_game(kStarJacker);
  EXPECT_EQ(cpu.pc, 0x0000);
  frames(2);
  EXPECT_EQ(text(0xC000), "STAR JACKER TEST");
  EXPECT_EQ(text(0x7FF0), "END OF 32 KB    ");
  EXPECT_EQ(vdp_peek_register(7), 0x0D) << "its backdrop, not the logo's";
  const uint16_t counted = counter();
  ASSERT_GT(counted, 100);
  ASSERT_EQ(vdp.display_enabled, 1);

  MachineMemory[0xE000] = 0x3C;  // anything the program left in RAM
  const std::vector<uint8_t> before(MachineMemory, MachineMemory + kMemorySize);
  app_hard_reset();
  EXPECT_EQ(cpu.pc, 0x0000);
  EXPECT_EQ(std::vector<uint8_t>(MachineMemory, MachineMemory + kMemorySize), before);
  EXPECT_EQ(menu_cursor, kStarJacker);
  EXPECT_EQ(vdp.display_enabled, 0) << "the VDP is reset";
  EXPECT_STREQ(osd_lines[0], "Hard Reset");
  EXPECT_EQ(osd_line_count, 1);
  EXPECT_EQ(osd_timer, 40);
  frames(1);
  EXPECT_LT(counter(), counted) << "the program started again from the beginning";
  EXPECT_EQ(MachineMemory[0xE000], 0x3C);
}

TEST_F(MachineLoading, MissingImageLeavesTheRunningLogoAlone) {
  frames(6);
  const CpuState before = cpu;
  const uint8_t colour = MachineMemory[0x8000];
  const uint8_t picture = vdp_peek_vram(0x0800 + 8 * 10);
  ASSERT_NE(picture, 0);
  testing::internal::CaptureStderr();
  app_load_game(kStarJacker);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(cpu.pc, before.pc);
  EXPECT_EQ(cpu.sp, before.sp);
  EXPECT_EQ(cpu.af, before.af);
  EXPECT_EQ(vdp_peek_vram(0x0800 + 8 * 10), picture) << "the VDP was not reset";
  frames(1);
  EXPECT_EQ(MachineMemory[0x8000 + 23], colour) << "the logo still rotates its table";
}

TEST_F(MachineLoading, FortyKilobyteTailIsWritableRam) {
  write_file(roms_ / "monaco_gp.rom", bus_machine::test_rom("bus_ram_tail"));
  app_load_game(kMonacoGp);
  EXPECT_EQ(std::memcmp(MachineMemory + 0x8000, "TAIL", 4), 0);
  EXPECT_EQ(MachineMemory[0x9FFF], 0xEE);
  frames(1);
  EXPECT_NE(MachineMemory[0xC000] | MachineMemory[0xC001], 0) << "the program runs";
  EXPECT_EQ(MachineMemory[0x8000], 0x5A) << "the tail is RAM";
  EXPECT_EQ(MachineMemory[0x0000], 0xF3) << "the cartridge area is not";
}

}  // namespace
