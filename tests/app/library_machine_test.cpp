// Loading on the real machine: a program from the ROM directory runs after
// the load, a failed load leaves the running program alone, the hard reset
// restarts at 0x0000 with RAM kept, and a 40 KB image's tail is RAM.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "bus/io.h"
#include "support/bus_machine.h"
#include "support/library_fixture.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

using library_test::RomSearchEnvironment;
using library_test::ScratchDir;
using library_test::write_file;

constexpr int kMonacoGp = 5;     // 40 KB
constexpr int kStarJacker = 12;  // 32 KB
constexpr uint32_t kSignature = 0xC000;
constexpr uint32_t kCounter = 0xC010;

class MachineLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_settings_ = app_settings;
    saved_cursor_ = menu_cursor;
    library_set_rom_dir(roms_.str().c_str());
    bus_machine::setup(io_read_port, io_write_port);
    app_boot_logo();
  }
  void TearDown() override {
    app_settings = saved_settings_;
    menu_cursor = saved_cursor_;
  }
  void frames(int n) {
    for (int i = 0; i < n; ++i) bus_machine::run_frame();
  }
  void put(const std::string& rom, const std::string& file_name) {
    write_file(roms_.path() / file_name, bus_machine::test_rom(rom));
  }
  uint16_t counter() const { return MachineMemory[kCounter] | MachineMemory[kCounter + 1] << 8; }

  RomSearchEnvironment env_;
  ScratchDir roms_;
  AppSettings saved_settings_;
  int32_t saved_cursor_ = 0;
};

TEST_F(MachineLoading, ProgramFromTheRomDirectoryRunsAfterTheLoad) {
  put("star_jacker", "Star_Jacker.Sc");
  frames(5);
  app_load_game(kStarJacker);
  EXPECT_EQ(cpu.pc, 0x0000);
  frames(2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(MachineMemory + kSignature), 16),
            "STAR JACKER TEST");
  EXPECT_GT(counter(), 100);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(MachineMemory + 0x7FF0), 16),
            "END OF 32 KB    ");
  EXPECT_EQ(vdp_peek_register(7), 0x0D) << "its backdrop, not the logo's";
}

TEST_F(MachineLoading, MissingImageLeavesTheRunningLogoAlone) {
  frames(6);
  const CpuState cpu_before = cpu;
  const uint8_t colour_before = MachineMemory[0x8000];
  const uint8_t vram_before = vdp_peek_vram(0x0800 + 8 * 10);  // a row of the logo's picture
  ASSERT_NE(vram_before, 0);
  testing::internal::CaptureStderr();
  app_load_game(kStarJacker);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(cpu.pc, cpu_before.pc);
  EXPECT_EQ(cpu.sp, cpu_before.sp);
  EXPECT_EQ(cpu.af, cpu_before.af);
  EXPECT_EQ(vdp_peek_vram(0x0800 + 8 * 10), vram_before) << "the VDP was not reset";
  frames(1);
  EXPECT_EQ(MachineMemory[0x8000 + 23], colour_before) << "the logo still rotates its table";
}

TEST_F(MachineLoading, HardResetRestartsAtZeroAndKeepsRam) {
  put("star_jacker", "star_jacker.sc");
  app_load_game(kStarJacker);
  frames(3);
  const uint16_t counted = counter();
  ASSERT_GT(counted, 100);
  ASSERT_EQ(vdp.display_enabled, 1);
  MachineMemory[0xE000] = 0x3C;  // anything the program left in RAM
  app_hard_reset();
  EXPECT_EQ(cpu.pc, 0x0000);
  EXPECT_EQ(counter(), counted);
  EXPECT_EQ(MachineMemory[0xE000], 0x3C);
  EXPECT_EQ(vdp.display_enabled, 0) << "the VDP is reset";
  frames(1);
  EXPECT_LT(counter(), counted) << "the program started again from the beginning";
  EXPECT_EQ(MachineMemory[0xE000], 0x3C);
}

TEST_F(MachineLoading, FortyKilobyteTailIsWritableRam) {
  put("bus_ram_tail", "monaco_gp.rom");
  app_load_game(kMonacoGp);
  EXPECT_EQ(std::memcmp(MachineMemory + 0x8000, "TAIL", 4), 0);
  EXPECT_EQ(MachineMemory[0x9FFF], 0xEE);
  frames(1);
  EXPECT_NE(MachineMemory[0xC000] | MachineMemory[0xC001], 0) << "the program runs";
  EXPECT_EQ(MachineMemory[0x8000], 0x5A) << "the tail is RAM";
  EXPECT_EQ(MachineMemory[0x0000], 0xF3) << "the cartridge area is not";
}

}  // namespace
