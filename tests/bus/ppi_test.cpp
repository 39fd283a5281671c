// The PPI: ports A and B reading the selected key row or, in row 7, the two
// joysticks; the port C latch and its row select; the mode toggle.
#include <gtest/gtest.h>

#include <utility>

#include "bus/ppi.h"

namespace {

class Ppi : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::exchange(ppi, PpiState{});
    for (uint16_t& row : ppi.key_rows) row = 0xFFFF;  // nothing held
  }
  void TearDown() override { ppi = saved_; }
  PpiState saved_;
};

TEST_F(Ppi, EachJoystickLineHasItsOwnBit) {
  ppi_write_port_c(0x07);
  const struct { uint32_t joy1, joy2; uint8_t a, b; } cases[] = {
      {0x01, 0, 0xFE, 0x3F}, {0x02, 0, 0xFD, 0x3F}, {0x04, 0, 0xFB, 0x3F}, {0x08, 0, 0xF7, 0x3F},
      {0x20, 0, 0xEF, 0x3F}, {0x10, 0, 0xDF, 0x3F}, {0, 0x01, 0xBF, 0x3F}, {0, 0x02, 0x7F, 0x3F},
      {0, 0x04, 0xFF, 0x3E}, {0, 0x08, 0xFF, 0x3D}, {0, 0x20, 0xFF, 0x3B}, {0, 0x10, 0xFF, 0x37},
      {0x3F, 0x3F, 0x00, 0x30}, {0, 0, 0xFF, 0x3F}, {0x01 | 0x20, 0, 0xEE, 0x3F}};
  for (const auto& c : cases) {
    ppi.joystick1 = c.joy1, ppi.joystick2 = c.joy2;
    EXPECT_EQ(ppi_read_port_a() << 8 | ppi_read_port_b(), c.a << 8 | c.b) << std::hex << c.joy1 << " " << c.joy2;
  }
}

TEST_F(Ppi, KeyRowsAndPortCReadBack) {
  ppi.key_rows[0] = 0xFFFE;  // key 1: row 0, line 0
  ppi.key_rows[6] = 0xF7FF;  // shift: row 6, line 11
  ppi.key_rows[7] = 0x0000;  // row 7 is the joystick row whatever the matrix holds
  const uint16_t want[8] = {0xFFFE, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xF7FF, 0x3FFF};
  for (uint8_t row = 0; row < 8; ++row) {
    ppi_write_port_c(static_cast<uint8_t>(0xA8 | row));  // selected by the low three bits
    EXPECT_EQ(ppi.selected_row, row);
    EXPECT_EQ(ppi_read_port_c(), 0xA8 | row);
    EXPECT_EQ(ppi_read_port_a() | ppi_read_port_b() << 8, want[row]) << "row " << int{row};
  }
  ppi.joystick_mode = 1;
  EXPECT_EQ(ppi_toggle_joystick(), 0u);
  EXPECT_EQ(ppi_toggle_joystick() + ppi.joystick_mode, 2u);
}

// The 8255 powers on with port C pulled high (row 7: the joysticks); a bit
// set/reset word changes one bit of port C and so perhaps the row, a mode
// set clears port C. The machine's own PPI ignores the control port.
TEST_F(Ppi, The8255PowersOnReadingTheJoysticksAndTakesControlWords) {
  ppi_write_control(0x80);
  ppi_write_control(0x0F);
  EXPECT_EQ(ppi_read_port_c() | ppi.selected_row << 8, 0x000u) << "the machine's own PPI";

  ppi.joystick1 = 0x20;  // button 1
  ppi_power_on_8255();
  EXPECT_EQ(ppi_read_port_c() | ppi.selected_row << 8, 0x7FFu);
  EXPECT_EQ(ppi_read_port_a(), 0xEF);
  const struct { uint8_t control, port_c; } steps[] = {
      {0x92, 0x00},  // a mode set clears port C: row 0
      {0x05, 0x04},  // bit 2 set: row 4
      {0x01, 0x05},  // bit 0 set: row 5
      {0x09, 0x15},  // bit 4 set (the cassette output), row unchanged
      {0x04, 0x11},  // bit 2 cleared: row 1
      {0x0F, 0x91},  // bit 7 set
      {0x80, 0x00},
  };
  for (const auto& step : steps) {
    ppi_write_control(step.control);
    EXPECT_EQ(ppi_read_port_c(), step.port_c) << std::hex << int{step.control};
    EXPECT_EQ(ppi.selected_row, step.port_c & 7u);
  }
  ppi_write_port_c(0x03);
  ppi_use_own();
  ppi_write_control(0x0B);
  EXPECT_EQ(ppi_read_port_c() | ppi.selected_row << 8, 0x303u) << "the row stays, the control port goes";
}

}  // namespace
