// The hotkey scan: held keys read once per idle pass, the shared key delay,
// and the actions' messages. Keys come from the headless scripted keyboard;
// the headless clock moves on by one frame before each idle pass, so every
// pass runs exactly one frame, as in a headless run.
#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "app/hotkeys.h"
#include "app/menu.h"
#include "app/osd.h"
#include "bus/input.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

class Hotkeys : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    saved_ = frame_calls;
    // The machine itself is not needed: its CPU and VDP stand still.
    frame_calls.cpu_run = [](int32_t budget) { return budget; };
    frame_calls.vdp_render_line = [](int) {};
    headless_set_millis(0);
    now_ms_ = 0;
    app_pace_reset();
    headless_keyboard_clear();
    headless_keyboard_set_frame(0);
    app_settings = AppSettings{};
    app_settings.logo_phase = 0;
    key_delay = 0;
    quit_requested = 0;
    menu_visible = 0;
    menu_cursor = 0;
    ppi = PpiState{};
    for (int i = 0; i < kOsdLines; ++i) osd_set_line(i, "");
    osd_show(1, 0);
  }
  void TearDown() override {
    frame_calls = saved_;
    headless_keyboard_clear();
    key_delay = 0;
    menu_visible = 0;
    ppi = PpiState{};
  }
  FrameCalls saved_{};
  uint32_t now_ms_ = 0;
  void pass() {
    now_ms_ += 20;
    headless_set_millis(now_ms_);
    app_idle_step();
  }
  // Holds the named keys from now on (until cleared).
  static void hold(std::initializer_list<const char*> names) {
    for (const char* n : names) headless_keyboard_hold(input_key_code(n), 0, 1 << 30);
  }
  static std::string line(int i) { return osd_lines[i]; }
};

TEST_F(Hotkeys, HelpWinsOverTheMenuWhenPressedTogether) {
  hold({"F1", "F2"});
  pass();
  EXPECT_EQ(menu_visible, 0);
  EXPECT_EQ(osd_line_count, 5);
  EXPECT_EQ(line(0), "F1  HELP        F2 MENU      F3 HARD RESET");
  EXPECT_GE(key_delay, 9);
}

TEST_F(Hotkeys, HeldBlitKeyStepsEveryTenFrames) {
  const char* line0[7] = {"MMX Horizontal Scanline 50%", "MMX Horizontal Scanline 100%",
                          "MMX Horizontal Scanline 25%", "    MMX Doubled    ",
                          "   BLT Doubled    ",          "BLT Fullscreen Stretch",
                          "BLT No Border Fullscreen Stretch"};
  const char* line1[7] = {"    Using System Memory    ", "    Using System Memory     ",
                          "    Using System Memory    ", "Using System Memory",
                          "Using Video Memory",          "  Using Video Memory  ",
                          "       Using Video Memory       "};
  hold({"F5"});
  int steps = 0;
  int mode = app_settings.blit_mode;
  for (int n = 0; n < 200 && steps < 9; ++n) {
    const int timer_before = osd_timer;
    pass();
    if (app_settings.blit_mode == mode) continue;
    // The frames between two steps are exactly the key delay of 10.
    if (steps > 0) {
      EXPECT_EQ(timer_before, 80 - 10) << "step " << steps;
    }
    mode = app_settings.blit_mode;
    EXPECT_EQ(mode, (steps + 1) % 7);
    EXPECT_EQ(line(0), line0[mode]);
    EXPECT_EQ(line(1), line1[mode]);
    EXPECT_EQ(osd_line_count, 2);
    steps += 1;
  }
  EXPECT_EQ(steps, 9);
}

TEST_F(Hotkeys, HeldResetActsAtEveryPass) {
  hold({"F3"});
  for (int n = 0; n < 5; ++n) {
    key_delay = 7;  // the reset is not held back by the delay
    osd_set_line(0, "");
    pass();
    EXPECT_EQ(line(0), "Hard Reset") << "pass " << n;
    EXPECT_EQ(osd_timer, 40 - 1) << "pass " << n;  // shown anew, one frame counted
    EXPECT_EQ(osd_line_count, 1);
  }
}

TEST_F(Hotkeys, TogglesShowTheStateTheyLeave) {
  hold({"F4", "F6"});
  ASSERT_EQ(ppi.joystick_mode, 1u);
  pass();  // F4 wins: F6 finds the delay set
  EXPECT_EQ(ppi.joystick_mode, 0u);
  EXPECT_EQ(line(0), "Keyboard Mode");
  EXPECT_EQ(osd_timer, 40 - 1);
  for (int n = 0; n < 9; ++n) pass();
  EXPECT_EQ(line(0), "Keyboard Mode");
  pass();
  EXPECT_EQ(line(0), "Joystick Mode");
  headless_keyboard_clear();
  key_delay = 0;
  hold({"F6"});
  pass();
  EXPECT_EQ(line(0), "Sprite Limit ON!");
  key_delay = 0;
  pass();
  EXPECT_EQ(line(0), "Sprite Limit OFF!");
}

TEST_F(Hotkeys, GuardedKeysWaitButEscapeAndQuitDoNot) {
  menu_toggle();
  osd_show(1, 40);
  ASSERT_EQ(menu_visible, 1);
  hold({"ESCAPE", "F2", "F10"});
  pass();
  EXPECT_EQ(menu_visible, 0);  // ESC closed it, F2 found the delay set
  EXPECT_EQ(osd_timer, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
  EXPECT_EQ(quit_requested, 1);
}

TEST_F(Hotkeys, MenuKeysOnlyWhileTheMenuIsOpen) {
  menu_cursor = 5;
  hold({"DOWN"});
  pass();
  EXPECT_EQ(menu_cursor, 5);
  EXPECT_EQ(key_delay, 0);
  headless_keyboard_clear();
  menu_visible = 1;
  hold({"UP", "DOWN"});
  pass();
  EXPECT_EQ(menu_cursor, 4);  // up is read first and sets the delay
  headless_keyboard_clear();
  key_delay = 0;
  hold({"NEXT"});
  pass();
  EXPECT_EQ(menu_cursor, 14);
}

TEST_F(Hotkeys, EnterWithinTheDelayKeepsTheMenuOpenUntilTheToggle) {
  menu_toggle();
  key_delay = 0;
  menu_cursor = 1;
  menu_up();  // a move just before ENTER
  hold({"RETURN"});
  int open_passes = 0, loads = 0;
  constexpr int kMarker = 0xC000;  // RAM that every load clears
  while (menu_visible && open_passes < 1000) {
    MachineMemory[kMarker] = 0xA5;
    pass();
    open_passes += 1;
    loads += MachineMemory[kMarker] == 0 ? 1 : 0;
  }
  EXPECT_EQ(loads, open_passes);  // loaded at every pass, the last included
  EXPECT_EQ(menu_visible, 0);
  // Six passes use up the move's delay of 6 frames; the seventh closes it.
  EXPECT_EQ(open_passes, 7);
  EXPECT_EQ(ppi.input_enabled, 1u);
  EXPECT_EQ(key_delay, 20 - 1);  // the toggle's delay, less that pass's frame
}

TEST_F(Hotkeys, EnterWithTheMenuClosedDoesNothing) {
  hold({"RETURN"});
  MachineMemory[0xC000] = 0xA5;
  pass();
  EXPECT_EQ(MachineMemory[0xC000], 0xA5);
  EXPECT_EQ(menu_visible, 0);
  EXPECT_EQ(key_delay, 0);
}

TEST_F(Hotkeys, StartBlitModeHasNoMessageOrDelay) {
  app_set_blit_mode(5);
  EXPECT_EQ(app_settings.blit_mode, 5);
  EXPECT_EQ(key_delay, 0);
  EXPECT_EQ(osd_timer, 0);
}

}  // namespace
