// The bus as a program sees it: our test program runs on the real core
// through the real port map and leaves what it read in RAM.
#include <gtest/gtest.h>

#include <cstring>

#include "bus/io.h"
#include "bus/ppi.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"

namespace {

constexpr uint32_t kResults = 0x8000;
constexpr uint32_t kDoneMark = 0x80FF;

class BusProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = ppi;
    ppi = PpiState{};
    bus_machine::setup(io_read_port, io_write_port);
    rom_ = bus_machine::test_rom("bus_ports");
    ASSERT_EQ(rom_.size(), 0x4000u);
    std::memcpy(MachineMemory, rom_.data(), rom_.size());
  }
  void TearDown() override {
    ppi = saved_;
    vdp.current_line = 0;
  }
  PpiState saved_;
  std::vector<uint8_t> rom_;
};

TEST_F(BusProgram, PortsAndMemoryAnswerAsTheMapSays) {
  ppi.joystick_mode = 0;
  ppi.key_rows[2] = 0x5AC3;
  ppi.joystick1 = 0x01 | 0x20;  // up and button 1
  ppi.joystick2 = 0x08;         // right
  vdp.current_line = 230;
  cpu_run(2000);
  ASSERT_EQ(MachineMemory[kDoneMark], 0xAA) << "the program did not finish";

  const uint8_t* r = MachineMemory + kResults;
  EXPECT_EQ(r[0x0], 0x1A) << "port C latch after OUT to 0x1ADE";
  EXPECT_EQ(r[0x1], 0xC3) << "row 2 through port A";
  EXPECT_EQ(r[0x2], 0x5A) << "row 2 through the port B mirror";
  EXPECT_EQ(r[0x3], 0xEE) << "joystick byte A through 0xC0";
  EXPECT_EQ(r[0x4], 0xEE) << "joystick byte A through 0xDC";
  EXPECT_EQ(r[0x5], 0x3D) << "joystick byte B";
  EXPECT_EQ(r[0x6], 0xFF) << "control port";
  EXPECT_EQ(r[0x7], 0x00) << "port 0xE0";
  EXPECT_EQ(r[0x8], 0x00) << "port 0x7D";
  EXPECT_EQ(r[0x9], 0xE0) << "V counter on line 230";
  EXPECT_EQ(r[0xA], 0x00) << "H counter";
  EXPECT_EQ(r[0xB], 0x07) << "a mode word leaves the latch alone";
  EXPECT_EQ(ppi.selected_row, 7u);

  EXPECT_EQ(MachineMemory[0x1000], rom_[0x1000]) << "a write below 0x8000 must not land";
  EXPECT_EQ(MachineMemory[0x8100], 0x55);
}

}  // namespace
