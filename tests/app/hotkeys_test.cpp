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
#include "display/video.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/psg.h"

namespace {

constexpr int kMarker = 0xC000;  // RAM that every load clears

class Hotkeys : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    saved_ = frame_calls;
    // The machine itself is not needed: its CPU and VDP stand still.
    frame_calls.cpu_run = [](int32_t budget) { return budget; };
    frame_calls.vdp_render_line = [](int) {};
    headless_set_millis(0);
    app_pace_reset();
    headless_keyboard_clear();
    app_settings = AppSettings{};
    app_settings.logo_phase = 0;
    key_delay = quit_requested = menu_visible = menu_cursor = 0;
    ppi = PpiState{};
    for (int i = 0; i < kOsdLines; ++i) osd_set_line(i, "");
    osd_show(1, 0);
  }
  void TearDown() override {
    frame_calls = saved_;
    headless_keyboard_clear();
    key_delay = menu_visible = 0;
    ppi = PpiState{};
  }
  void pass() {
    now_ms_ += 20;
    headless_set_millis(now_ms_);
    app_idle_step();
  }
  // Holds exactly the named keys from now on.
  static void hold(std::initializer_list<const char*> names) {
    headless_keyboard_clear();
    for (const char* n : names) headless_keyboard_hold(input_key_code(n), 0, 1 << 30);
  }
  static std::string line(int i) { return osd_lines[i]; }
  FrameCalls saved_{};
  uint32_t now_ms_ = 0;
};

TEST_F(Hotkeys, EarlierGuardedKeyWinsUnguardedKeysAlwaysAct) {
  hold({"F1", "F2"});
  pass();
  EXPECT_EQ(menu_visible, 0);  // F1 set the delay before F2 was read
  EXPECT_EQ(line(0), "F1  HELP        F2 MENU      F3 HARD RESET");
  hold({"F4", "F6"});
  key_delay = 0;
  pass();
  EXPECT_EQ(line(0), "Keyboard Mode");
  EXPECT_EQ(ppi.joystick_mode, 0u);
  menu_visible = 1;
  hold({"ESCAPE", "F2", "F3", "F10"});  // the delay is still running
  pass();
  EXPECT_EQ(menu_visible, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
  EXPECT_EQ(line(0), "Hard Reset");
  EXPECT_EQ(osd_timer, 40 - 1);  // shown, and one frame counted
  EXPECT_EQ(quit_requested, 1);
}

TEST_F(Hotkeys, HeldKeysRepeatThroughTheDelay) {
  const char* line0[7] = {"MMX Horizontal Scanline 50%", "MMX Horizontal Scanline 100%",
                          "MMX Horizontal Scanline 25%", "    MMX Doubled    ",
                          "   BLT Doubled    ",          "BLT Fullscreen Stretch",
                          "BLT No Border Fullscreen Stretch"};
  const char* line1[7] = {"    Using System Memory    ", "    Using System Memory     ",
                          "    Using System Memory    ", "Using System Memory",
                          "Using Video Memory",          "  Using Video Memory  ",
                          "       Using Video Memory       "};
  hold({"F5"});
  int steps = 0, mode = 0;
  for (int n = 0; n < 200 && steps < 9; ++n) {
    const int timer_before = osd_timer;
    pass();
    if (app_settings.blit_mode == mode) continue;
    if (steps > 0) {
      EXPECT_EQ(timer_before, 80 - 10) << "ten frames between steps, step " << steps;
    }
    mode = app_settings.blit_mode;
    EXPECT_EQ(mode, (steps + 1) % 7);
    EXPECT_EQ(line(0), line0[mode]);
    EXPECT_EQ(line(1), line1[mode]);
    EXPECT_EQ(osd_line_count, 2);
    steps += 1;
  }
  EXPECT_EQ(steps, 9);
  hold({"F3"});  // the reset repeats at every pass
  for (int n = 0; n < 3; ++n) {
    osd_set_line(0, "");
    pass();
    EXPECT_EQ(line(0), "Hard Reset") << "pass " << n;
  }
  hold({"F6"});
  key_delay = 0;
  pass();
  EXPECT_EQ(line(0), "Sprite Limit ON!");
  for (int n = 0; n < 10; ++n) pass();
  EXPECT_EQ(line(0), "Sprite Limit OFF!");
}

TEST_F(Hotkeys, MenuKeysOnlyWhileTheMenuIsOpen) {
  menu_cursor = 5;
  hold({"DOWN", "RETURN"});
  MachineMemory[kMarker] = 0xA5;
  pass();
  EXPECT_EQ(menu_cursor, 5);
  EXPECT_EQ(MachineMemory[kMarker], 0xA5);  // no load either
  EXPECT_EQ(key_delay, 0);
  menu_visible = 1;
  hold({"UP", "DOWN"});
  pass();
  EXPECT_EQ(menu_cursor, 4);  // up is read first and sets the delay
  hold({"NEXT"});
  key_delay = 0;
  pass();
  EXPECT_EQ(menu_cursor, 14);
}

TEST_F(Hotkeys, EnterWithinTheDelayLoadsUntilTheToggleCloses) {
  menu_toggle();
  key_delay = 0;
  menu_cursor = 1;
  menu_up();  // a move just before ENTER
  hold({"RETURN"});
  int open_passes = 0, loads = 0;
  while (menu_visible && open_passes < 100) {
    MachineMemory[kMarker] = 0xA5;
    pass();
    open_passes += 1;
    loads += MachineMemory[kMarker] == 0 ? 1 : 0;
  }
  // Six passes use up the move's delay of 6 frames; the seventh closes it.
  EXPECT_EQ(open_passes, 7);
  EXPECT_EQ(loads, 7);
  EXPECT_EQ(ppi.input_enabled, 1u);
  EXPECT_EQ(key_delay, 20 - 1);
}

TEST_F(Hotkeys, StartBlitModeHasNoMessageOrDelay) {
  app_set_blit_mode(5);
  EXPECT_EQ(app_settings.blit_mode, 5);
  EXPECT_EQ(key_delay, 0);
  EXPECT_EQ(osd_timer, 0);
}

// F9 and F11 on the headless display.
class HotkeysOnDisplay : public Hotkeys {
 protected:
  void open_display(const int sizes[][2], int count) {
    headless_display_offer_modes(sizes, count);
    ASSERT_TRUE(video_init(288, 240));
    ASSERT_GT(app_list_resolutions(), 0);
    video_set_mode(resolution_table[0].width, resolution_table[0].height);
  }
  void TearDown() override {
    headless_display_fail_frame_creation(0);
    video_release();
    headless_display_offer_modes(nullptr, -1);
    Hotkeys::TearDown();
  }
};

TEST_F(HotkeysOnDisplay, ResolutionSwitchShowsItsLabelOnlyOnSuccess) {
  open_display(nullptr, -1);
  hold({"F9"});
  pass();
  EXPECT_EQ(app_settings.resolution_index, 1);
  EXPECT_EQ(app_settings.display_width, 512);
  EXPECT_EQ(app_settings.display_height, 480);
  EXPECT_EQ(line(0), "Video Resolution: 512x480");
  EXPECT_EQ(osd_timer, 160 - 1);
  EXPECT_EQ(psg.muted, 0u);
  video_release();
  const int only[1][2] = {{640, 480}};
  open_display(only, 1);
  ASSERT_EQ(resolution_count, 1);
  app_settings.resolution_index = 0;
  osd_show(1, 0);
  for (int n = 0; n < 25; ++n) pass();  // three switches to the mode already set
  EXPECT_EQ(osd_timer, 0);
  EXPECT_EQ(app_settings.resolution_index, 0);
  EXPECT_EQ(psg.muted, 0u);
}

TEST_F(HotkeysOnDisplay, MemoryPlacementTogglesAndKeepsTheLineOnFailure) {
  open_display(nullptr, -1);
  hold({"F11"});
  pass();
  EXPECT_EQ(video_get_placement(), 1);
  EXPECT_EQ(line(0), "Using Video Memory");
  EXPECT_EQ(osd_timer, 60 - 1);
  EXPECT_EQ(app_settings.blit_mode, 0);  // F11 leaves the blit mode alone
  for (int n = 0; n < 10; ++n) pass();
  EXPECT_EQ(line(0), "Using System Memory");
  headless_display_fail_frame_creation(1);
  key_delay = 0;
  osd_set_line(0, "before");
  pass();
  EXPECT_EQ(line(0), "before");
  EXPECT_EQ(osd_timer, 60 - 1);
  EXPECT_EQ(app_settings.video_ready, 1);
}

}  // namespace
