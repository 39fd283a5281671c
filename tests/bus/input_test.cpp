// The host keyboard and the key table, driven through the headless backend's
// scripted keyboard.
#include <gtest/gtest.h>

#include "bus/input.h"
#include "bus/ppi.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

constexpr int kBack = 0x0E, kRControl = 0x9D, kLShift = 0x2A, kRShift = 0x36, kUp = 0xC8,
              kLeft = 0xCB, kS = 0x1F, kA = 0x1E, kQ = 0x10, kOem102 = 0x56, kApps = 0xDD;

class HostInput : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    headless_keyboard_clear();
    ASSERT_EQ(input_init(), 1u);
    ppi = PpiState{};
    ppi.joystick_mode = 0;
  }
  void TearDown() override {
    input_release();
    headless_keyboard_clear();
    ppi = PpiState{};
  }
  // Holds `code` for frame 0 only and polls at frame 0.
  static void poll_holding(std::initializer_list<int> codes) {
    for (int c : codes) headless_keyboard_hold(c, 0, 1);
    headless_keyboard_set_frame(0);
    ppi_poll_host();
  }
  // Port A as the machine reads it with `row` selected through port C.
  static uint8_t port_a(int row) {
    ppi_write_port_c(static_cast<uint8_t>(row));
    return ppi_read_port_a();
  }
  static void expect_all_released() {
    for (int r = 0; r < 8; ++r) EXPECT_EQ(ppi.key_rows[r], 0xFFFF) << "row " << r;
    EXPECT_EQ(ppi.joystick1, 0u);
    EXPECT_EQ(ppi.joystick2, 0u);
  }
};

TEST(KeyTable, LinesUsedPerRowMatchTheMatrix) {
  // Lines without a key: row 4-6 line 4, row 5-6 line 7, lines 9-11 in rows
  // 0-4, lines 9 and 10 in row 5, lines 12-15 everywhere.
  const uint32_t used[7] = {0x01FF, 0x01FF, 0x01FF, 0x01FF, 0x01EF, 0x096F, 0x0F6F};
  uint32_t seen[7] = {};
  for (const KeyMapEntry& e : KeyMap) {
    ASSERT_NE(e.dik_code, 0u);
    ASSERT_LT(e.row, 7u) << e.name;
    EXPECT_EQ(e.mask & (e.mask - 1), 0u) << "one line per entry: " << e.name;
    seen[e.row] |= e.mask;
  }
  for (int r = 0; r < 7; ++r) EXPECT_EQ(seen[r], used[r]) << "row " << r;
}

TEST(KeyTable, EveryHostKeyAppearsOnceAndHasAName) {
  int uses[256] = {};
  for (const KeyMapEntry& e : KeyMap) uses[e.dik_code] += 1;
  for (int c = 0; c < 256; ++c) EXPECT_LE(uses[c], 1) << "code " << c;
  // The scripted keyboard and --hold reach every key by its name.
  const char* names[] = {"1",      "Q",         "A",         "Z",        "LMENU",   "COMMA",
                         "K",      "I",         "8",         "2",        "W",       "S",
                         "X",      "SPACE",     "PERIOD",    "L",        "O",       "9",
                         "3",      "E",         "D",         "C",        "RMENU",   "APPS",
                         "SLASH",  "SEMICOLON", "P",         "0",        "4",       "R",
                         "F",      "V",         "RCONTROL",  "BACK",     "OEM_102", "APOSTROPHE",
                         "LBRACKET", "MINUS",   "5",         "T",        "G",       "B",
                         "DOWN",   "BACKSLASH", "RBRACKET",  "EQUALS",   "6",       "Y",
                         "H",      "N",         "LEFT",      "RETURN",   "GRAVE",   "TAB",
                         "7",      "U",         "J",         "M",        "RIGHT",   "UP",
                         "END",    "LCONTROL",  "CAPITAL",   "LSHIFT",   "RSHIFT"};
  static_assert(sizeof names / sizeof names[0] == kKeyMapSize);
  for (int i = 0; i < kKeyMapSize; ++i) {
    EXPECT_EQ(input_key_code(names[i]), static_cast<int>(KeyMap[i].dik_code)) << names[i];
  }
}

TEST(KeyTable, KeyNames) {
  EXPECT_EQ(input_key_code("F2"), 0x3C);
  EXPECT_EQ(input_key_code("f10"), 0x44);
  EXPECT_EQ(input_key_code("F11"), 0x57);
  EXPECT_EQ(input_key_code("INSERT"), 0xD2);
  EXPECT_EQ(input_key_code("ESCAPE"), 0x01);
  EXPECT_EQ(input_key_code("NEXT"), 0xD1);
  EXPECT_EQ(input_key_code("PRIOR"), 0xC9);
  EXPECT_EQ(input_key_code("DIK_A"), -1);
  EXPECT_EQ(input_key_code(""), -1);
  EXPECT_EQ(input_key_code("SHIFT"), -1);
  EXPECT_EQ(input_key_code(nullptr), -1);
}

TEST_F(HostInput, InsertDeleteFromBackspaceOrRightCtrl) {
  poll_holding({kBack});
  EXPECT_EQ(port_a(3), 0xEF);
  headless_keyboard_clear();
  poll_holding({kRControl});
  EXPECT_EQ(port_a(3), 0xEF);
  for (int r : {0, 1, 2, 4, 5, 6}) EXPECT_EQ(ppi.key_rows[r], 0xFFFF) << "row " << r;
}

TEST_F(HostInput, BothShiftsHoldTheLineUntilBothAreUp) {
  headless_keyboard_hold(kLShift, 0, 10);
  headless_keyboard_hold(kRShift, 5, 20);
  const int frames[] = {0, 7, 12, 25};
  const uint16_t expected[] = {0xF7FF, 0xF7FF, 0xF7FF, 0xFFFF};
  for (int i = 0; i < 4; ++i) {
    headless_keyboard_set_frame(frames[i]);
    ppi_poll_host();
    EXPECT_EQ(ppi.key_rows[6], expected[i]) << "frame " << frames[i];
  }
}

TEST_F(HostInput, ArrowsAreMatrixKeysInKeyboardMode) {
  poll_holding({kUp});
  EXPECT_EQ(port_a(6), 0xBF);
  EXPECT_EQ(port_a(7), 0xFF);
}

TEST_F(HostInput, ExtraKeysOfTheHostKeyboard) {
  poll_holding({kOem102, kApps});
  EXPECT_EQ(port_a(3), 0xDF);  // "Pi" on the 102nd key
  EXPECT_EQ(port_a(2), 0xEF);  // "Home/Clear" on the Application key
}

TEST_F(HostInput, JoystickModeReadsSixKeysOnly) {
  ppi.joystick_mode = 1;
  poll_holding({kLeft, kS, kQ});
  EXPECT_EQ(port_a(7), 0xDB);  // left and button 2
  for (int r = 0; r < 8; ++r) EXPECT_EQ(ppi.key_rows[r], 0xFFFF) << "row " << r;
  headless_keyboard_clear();
  poll_holding({kQ});
  expect_all_released();
  headless_keyboard_clear();
  poll_holding({kUp, kA});
  EXPECT_EQ(ppi.joystick1, 0x21u);
}

TEST_F(HostInput, MenuOpenMeansNothingPressedAndNoRead) {
  poll_holding({kA});
  EXPECT_EQ(host_keyboard.key_state[kA], 0x80);
  ppi.input_enabled = 0;
  headless_keyboard_set_frame(5);  // A no longer held, but the device is not read
  ppi_poll_host();
  expect_all_released();
  EXPECT_EQ(host_keyboard.key_state[kA], 0x80);
}

TEST_F(HostInput, FocusLossReleasesEveryKey) {
  headless_keyboard_hold(kA, 0, 100);
  headless_keyboard_set_frame(0);
  ppi_poll_host();
  EXPECT_EQ(port_a(0), 0xFB);
  headless_keyboard_set_focus(0);
  ppi_poll_host();  // the lost device is re-acquired, which clears the keys
  EXPECT_EQ(port_a(0), 0xFF);
  EXPECT_EQ(host_keyboard.acquired, 0u);
  ppi_poll_host();  // still behind: acquiring fails, keys stay released
  EXPECT_EQ(port_a(0), 0xFF);
  headless_keyboard_set_focus(1);
  ppi_poll_host();  // re-acquired in this poll: released once more
  EXPECT_EQ(port_a(0), 0xFF);
  EXPECT_EQ(host_keyboard.acquired, 1u);
  ppi_poll_host();
  EXPECT_EQ(port_a(0), 0xFB);
}

TEST_F(HostInput, ReleasedDeviceReadsNothing) {
  input_release();
  EXPECT_EQ(host_keyboard.device, 0u);
  input_acquire();  // without a device: nothing
  EXPECT_EQ(host_keyboard.acquired, 0u);
  poll_holding({kA});
  EXPECT_EQ(port_a(0), 0xFF);
}

TEST_F(HostInput, NamedHostKeysFollowTheScript) {
  headless_keyboard_hold(input_key_code("F2"), 3, 5);
  headless_keyboard_hold(input_key_code("RCONTROL"), 0, 1);
  headless_keyboard_hold(input_key_code("NUMPADENTER"), 4, 5);
  headless_keyboard_set_frame(0);
  EXPECT_EQ(platform_key_held(HostKey::F2), 0);
  EXPECT_EQ(platform_key_held(HostKey::Control), 1);
  headless_keyboard_set_frame(4);
  EXPECT_EQ(platform_key_held(HostKey::F2), 1);
  EXPECT_EQ(platform_key_held(HostKey::Return), 1);
  EXPECT_EQ(platform_key_held(HostKey::Control), 0);
  headless_keyboard_set_frame(5);
  EXPECT_EQ(platform_key_held(HostKey::F2), 0);
}

}  // namespace
