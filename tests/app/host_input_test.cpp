// The host keyboard and the key tables, driven through the headless
// backend's scripted keyboard, handed to the machine as its input and read
// back through the PPI's ports.
#include <gtest/gtest.h>

#include "app/host_input.h"
#include "bus/key_table.h"
#include "bus/ppi.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"

namespace {

int code(const char* name) { return input_key_code(name); }
// One pacing step's poll, handed over as the frame loop does.
void poll() { machine_set_input(input_poll_host()); }
uint8_t port_a(int row) {
  ppi_write_port_c(static_cast<uint8_t>(row));
  return ppi_read_port_a();
}

class HostInput : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    headless_keyboard_clear();
    ASSERT_EQ(input_init(), 1u);
    ppi = PpiState{};
    ppi.joystick_mode = 0;
    host_keyboard.input_enabled = 1;
  }
  void TearDown() override {
    input_release();
    headless_keyboard_clear();
    ppi = PpiState{};
    host_keyboard.input_enabled = 1;
  }
};

// Every matrix line has one key, every key one line and a host key reachable by SDL scancode;
// names and scancodes (by physical position) give the same codes.
TEST(KeyTable, RowsLinesNamesAndScancodes) {
  // Lines without a key: row 4-6 line 4, row 5-6 line 7, lines 9-11 in rows
  // 0-4, lines 9 and 10 in row 5, lines 12-15 everywhere.
  const uint32_t used[7] = {0x01FF, 0x01FF, 0x01FF, 0x01FF, 0x01EF, 0x096F, 0x0F6F};
  uint32_t seen[7] = {};
  int uses[256] = {};
  bool reachable[256] = {};
  for (int usage = 0; usage < 512; ++usage) reachable[sdl_scancode_to_dik(usage)] = true;
  for (const KeyMapEntry& e : KeyMap) {
    ASSERT_LT(e.row, 7u) << e.name;
    EXPECT_EQ(e.mask & (e.mask - 1), 0u) << e.name;
    EXPECT_EQ(++uses[e.dik_code], 1) << e.name;
    EXPECT_TRUE(reachable[e.dik_code]) << "no SDL key for " << e.name;
    seen[e.row] |= e.mask;
  }
  for (int r = 0; r < 7; ++r) EXPECT_EQ(seen[r], used[r]) << "row " << r;
  for (const JoystickKeyEntry& j : JoystickKeys) EXPECT_TRUE(reachable[j.dik_code]);
  const struct { const char* name; int dik, usb; } keys[] = {  // usb: the SDL scancode
      {"A", 0x1E, 0x04},      {"f2", 0x3C, 0x3B},      {"NUMPADENTER", 0x9C, 0x58},
      {"INSERT", 0xD2, 0x49}, {"NEXT", 0xD1, 0x4E},    {"OEM_102", 0x56, 0x64},
      {"APPS", 0xDD, 0x65},   {"RCONTROL", 0x9D, 0xE4}, {"RSHIFT", 0x36, 0xE5},
      {"BACKSLASH", 0x2B, 0x32}};  // the ISO key beside Return is backslash's
  for (const auto& k : keys) {
    EXPECT_EQ(code(k.name), k.dik) << k.name;
    EXPECT_EQ(static_cast<int>(sdl_scancode_to_dik(k.usb)), k.dik) << k.name;
  }
  EXPECT_EQ(code("DIK_A") & code("") & code("SHIFT") & code(nullptr), -1);
}

// Port A readings (row 7 the joysticks) after one poll; joystick mode reads
// six keys and no matrix line; with the menu open nothing is pressed, but
// INS is still the RESET key.
TEST_F(HostInput, PortReadings) {
  const struct {
    uint32_t joystick_mode;
    std::initializer_list<const char*> held;
    int row;
    uint8_t port_a;
  } cases[] = {
      {0, {"BACK"}, 3, 0xEF},    {0, {"RCONTROL"}, 3, 0xEF},     {0, {"UP"}, 6, 0xBF},
      {0, {"UP"}, 7, 0xFF},      {0, {"OEM_102"}, 3, 0xDF},      {0, {"APPS"}, 2, 0xEF},
      {0, {"A", "Q"}, 0, 0xF9},  {1, {"LEFT", "S", "Q"}, 7, 0xDB}, {1, {"Q"}, 7, 0xFF},
      {1, {"UP", "A"}, 7, 0xEE},
  };
  for (const auto& c : cases) {
    ppi.joystick_mode = c.joystick_mode;
    headless_keyboard_clear();
    for (const char* n : c.held) headless_keyboard_hold(code(n), 0, 1);
    headless_keyboard_set_frame(0);
    poll();
    EXPECT_EQ(port_a(c.row), c.port_a) << *c.held.begin() << ", row " << c.row;
    for (int r = 0; c.joystick_mode && r < 7; ++r) EXPECT_EQ(ppi.key_rows[r], 0xFFFF) << r;
  }
  host_keyboard.input_enabled = 0;
  headless_keyboard_set_frame(5);  // A no longer held, but the device is not read
  poll();
  for (int r = 0; r < 8; ++r) EXPECT_EQ(port_a(r), 0xFF) << r;
  EXPECT_EQ(host_keyboard.key_state[code("A")], 0x80);
  EXPECT_EQ(input_poll_host().reset, 0u);
  headless_keyboard_hold(code("INSERT"), 5, 6);
  EXPECT_EQ(input_poll_host().reset, 1u);
}

// Polls over time: both Shifts share one line, held until both are up; focus loss releases
// every key in the first poll after it, and the poll that regains focus reads nothing yet.
TEST_F(HostInput, ShiftsAndFocusLossAcrossPolls) {
  headless_keyboard_hold(code("A"), 0, 100);
  headless_keyboard_hold(code("LSHIFT"), 0, 10);
  headless_keyboard_hold(code("RSHIFT"), 5, 20);
  const struct { int frame, in_front; uint8_t row0; uint16_t row6; } polls[] = {
      {0, 1, 0xFB, 0xF7FF}, {7, 1, 0xFB, 0xF7FF}, {12, 1, 0xFB, 0xF7FF}, {13, 0, 0xFF, 0xFFFF},
      {14, 0, 0xFF, 0xFFFF}, {15, 1, 0xFF, 0xFFFF}, {16, 1, 0xFB, 0xF7FF}, {25, 1, 0xFB, 0xFFFF}};
  for (const auto& p : polls) {
    headless_keyboard_set_frame(p.frame);
    headless_keyboard_set_focus(p.in_front);
    poll();
    EXPECT_EQ(port_a(0), p.row0) << "frame " << p.frame;
    EXPECT_EQ(ppi.key_rows[6], p.row6) << "frame " << p.frame;
  }
}

}  // namespace
