// The PPI: port A and B in the keyboard rows and in the joystick row 7,
// the port C latch and row select, the mode toggle.
#include <gtest/gtest.h>

#include "bus/ppi.h"

namespace {

constexpr uint16_t kReleased = 0xFFFF;

class Ppi : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = ppi;
    ppi = PpiState{};
    for (uint16_t& row : ppi.key_rows) row = kReleased;
  }
  void TearDown() override { ppi = saved_; }
  PpiState saved_;
};

TEST_F(Ppi, EachJoystickLineHasItsOwnBit) {
  ppi_write_port_c(0x07);
  const struct {
    uint32_t joy1, joy2;
    uint8_t a, b;
  } cases[] = {
      {0x01, 0, 0xFE, 0x3F}, {0x02, 0, 0xFD, 0x3F}, {0x04, 0, 0xFB, 0x3F},
      {0x08, 0, 0xF7, 0x3F}, {0x20, 0, 0xEF, 0x3F}, {0x10, 0, 0xDF, 0x3F},
      {0, 0x01, 0xBF, 0x3F}, {0, 0x02, 0x7F, 0x3F}, {0, 0x04, 0xFF, 0x3E},
      {0, 0x08, 0xFF, 0x3D}, {0, 0x20, 0xFF, 0x3B}, {0, 0x10, 0xFF, 0x37},
      {0x3F, 0x3F, 0x00, 0x30}, {0, 0, 0xFF, 0x3F},
      {0x01 | 0x20, 0, 0xEE, 0x3F},  // up and button 1 held
  };
  for (const auto& c : cases) {
    ppi.joystick1 = c.joy1;
    ppi.joystick2 = c.joy2;
    EXPECT_EQ(ppi_read_port_a(), c.a) << std::hex << c.joy1 << " " << c.joy2;
    EXPECT_EQ(ppi_read_port_b(), c.b) << std::hex << c.joy1 << " " << c.joy2;
  }
}

TEST_F(Ppi, KeyboardRowsReadTheirLowAndHighBytes) {
  ppi.joystick_mode = 0;
  ppi.key_rows[0] = 0xFFFE;  // key 1: row 0, line 0
  ppi.key_rows[6] = 0xF7FF;  // shift: row 6, line 11
  ppi_write_port_c(0);
  EXPECT_EQ(ppi_read_port_a(), 0xFE);
  EXPECT_EQ(ppi_read_port_b(), 0xFF);
  ppi_write_port_c(6);
  EXPECT_EQ(ppi_read_port_a(), 0xFF);
  EXPECT_EQ(ppi_read_port_b(), 0xF7);
  // Row 7 is the joystick row whatever the matrix holds.
  ppi.key_rows[7] = 0x0000;
  ppi_write_port_c(7);
  EXPECT_EQ(ppi_read_port_a(), 0xFF);
  EXPECT_EQ(ppi_read_port_b(), 0x3F);
}

TEST_F(Ppi, AllReleasedReadsFFInKeyRowsAnd3FInRowSeven) {
  // What every row reads after a poll with input disabled or nothing held.
  ppi.input_enabled = 0;
  for (uint8_t row = 0; row < 8; ++row) {
    ppi_write_port_c(row);
    EXPECT_EQ(ppi_read_port_a(), 0xFF) << "row " << int{row};
    EXPECT_EQ(ppi_read_port_b(), row == 7 ? 0x3F : 0xFF) << "row " << int{row};
  }
}

TEST_F(Ppi, PortCKeepsAllBitsAndSelectsByTheLowThree) {
  ppi.key_rows[2] = 0x5A00 | 0x0012;
  ppi_write_port_c(0xFF);
  EXPECT_EQ(ppi.selected_row, 7u);
  EXPECT_EQ(ppi_read_port_c(), 0xFF);
  ppi_write_port_c(0x1A);
  EXPECT_EQ(ppi.selected_row, 2u);
  EXPECT_EQ(ppi_read_port_c(), 0x1A);
  EXPECT_EQ(ppi_read_port_a(), 0x12);
  EXPECT_EQ(ppi_read_port_b(), 0x5A);
}

TEST_F(Ppi, ToggleFlipsTheModeAndReturnsIt) {
  ppi.joystick_mode = 1;
  EXPECT_EQ(ppi_toggle_joystick(), 0u);
  EXPECT_EQ(ppi.joystick_mode, 0u);
  EXPECT_EQ(ppi_toggle_joystick(), 1u);
  EXPECT_EQ(ppi.joystick_mode, 1u);
}

}  // namespace
