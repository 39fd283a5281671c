// The hotkey scan: held keys read once per idle pass, the shared key delay,
// and the actions' messages. Keys come from the headless scripted keyboard;
// each idle pass also runs the pacing step (a frame every 20 ms of the
// headless clock, which a pass without a frame advances by 4 ms).
#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "app/hotkeys.h"
#include "app/menu.h"
#include "app/osd.h"
#include "bus/input.h"
#include "bus/ppi.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

class Hotkeys : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
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
    headless_keyboard_clear();
    SetUp();
  }
  // Holds the named keys from now on (until cleared).
  static void hold(std::initializer_list<const char*> names) {
    for (const char* n : names) headless_keyboard_hold(input_key_code(n), 0, 1 << 30);
  }
  static std::string line(int i) { return osd_lines[i]; }
};

TEST_F(Hotkeys, HelpWinsOverTheMenuWhenPressedTogether) {
  hold({"F1", "F2"});
  app_idle_step();
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
  for (int pass = 0; pass < 2000 && steps < 9; ++pass) {
    const int timer_before = osd_timer;
    app_idle_step();
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

TEST_F(Hotkeys, GuardedKeysWaitButEscapeAndQuitDoNot) {
  menu_toggle();
  osd_show(1, 40);
  ASSERT_EQ(menu_visible, 1);
  hold({"ESCAPE", "F2", "F10"});
  app_idle_step();
  EXPECT_EQ(menu_visible, 0);  // ESC closed it, F2 found the delay set
  EXPECT_EQ(osd_timer, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
  EXPECT_EQ(quit_requested, 1);
}

TEST_F(Hotkeys, MenuKeysOnlyWhileTheMenuIsOpen) {
  menu_cursor = 5;
  hold({"DOWN"});
  app_idle_step();
  EXPECT_EQ(menu_cursor, 5);
  EXPECT_EQ(key_delay, 0);
  headless_keyboard_clear();
  menu_visible = 1;
  hold({"UP", "DOWN"});
  app_idle_step();
  EXPECT_EQ(menu_cursor, 4);  // up is read first and sets the delay
  headless_keyboard_clear();
  key_delay = 0;
  hold({"NEXT"});
  app_idle_step();
  EXPECT_EQ(menu_cursor, 14);
}

TEST_F(Hotkeys, EnterWithinTheDelayKeepsTheMenuOpenUntilTheToggle) {
  menu_toggle();
  key_delay = 0;
  menu_down();  // a move just before ENTER
  hold({"RETURN"});
  int open_passes = 0;
  while (menu_visible && open_passes < 1000) {
    app_idle_step();
    open_passes += 1;
  }
  EXPECT_EQ(menu_visible, 0);
  EXPECT_GT(open_passes, 6);  // the 6 frames of the move's delay take many passes
  EXPECT_EQ(ppi.input_enabled, 1u);
  EXPECT_EQ(key_delay, 20);
}

TEST_F(Hotkeys, EnterWithTheMenuClosedDoesNothing) {
  hold({"RETURN"});
  app_idle_step();
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
