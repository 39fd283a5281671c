// The hotkey scan: held keys read once per idle pass, the shared key delay,
// the actions' messages. The headless clock moves on one frame per pass.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

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
std::string line(int i) { return osd_lines[i]; }
void hold(std::initializer_list<const char*> names) {  // exactly these from now on
  headless_keyboard_clear();
  for (const char* n : names) headless_keyboard_hold(input_key_code(n), 0, 1 << 30);
}

class Hotkeys : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    saved_ = frame_calls;
    frame_calls.cpu_run = [](int32_t budget) { return budget; };  // the machine stands still
    frame_calls.vdp_render_line = [](int) {};
    headless_set_millis(0);
    app_pace_reset();
    app_settings = AppSettings{};
    app_settings.logo_phase = 0;
    key_delay = quit_requested = menu_visible = menu_cursor = 0;
    ppi = PpiState{};
    osd_set_line(0, "");
    osd_show(1, 0);
  }
  void TearDown() override {
    headless_display_fail_frame_creation(0);
    video_release();
    headless_display_offer_modes(nullptr, -1);
    frame_calls = saved_;
    headless_keyboard_clear();
    key_delay = menu_visible = 0;
    ppi = PpiState{};
  }
  void pass(int times = 1) {
    for (int n = 0; n < times; ++n) headless_set_millis(now_ms_ += 20), app_idle_step();
  }
  FrameCalls saved_{};
  uint32_t now_ms_ = 0;
};

// Guarded keys in scan order: the first one sets the delay; ESC, F3 and F10 always act.
TEST_F(Hotkeys, EarlierGuardedKeyWinsUnguardedKeysAlwaysAct) {
  hold({"F1", "F2"});
  pass();
  EXPECT_EQ(std::tuple(menu_visible, line(0)), std::tuple(0, "F1  HELP        F2 MENU      F3 HARD RESET"));
  hold({"F4", "F6"});
  key_delay = 0;
  pass();
  EXPECT_EQ(std::tuple(line(0), ppi.joystick_mode), std::tuple("Keyboard Mode", 0u));
  menu_visible = 1;
  hold({"ESCAPE", "F2", "F3", "F10"});
  pass();
  EXPECT_EQ(std::tuple(menu_visible, ppi.input_enabled, line(0), osd_timer, quit_requested),
            std::tuple(0, 1u, "Hard Reset", 40 - 1, 1));
}

// Held F5 steps every 10 frames through the seven modes; held F3 resets every pass.
TEST_F(Hotkeys, HeldKeysRepeatThroughTheDelay) {
  const char* const messages[7][2] = {
      {"MMX Horizontal Scanline 50%", "    Using System Memory    "},
      {"MMX Horizontal Scanline 100%", "    Using System Memory     "},
      {"MMX Horizontal Scanline 25%", "    Using System Memory    "},
      {"    MMX Doubled    ", "Using System Memory"},
      {"   BLT Doubled    ", "Using Video Memory"},
      {"BLT Fullscreen Stretch", "  Using Video Memory  "},
      {"BLT No Border Fullscreen Stretch", "       Using Video Memory       "}};
  app_set_blit_mode(0);
  hold({"F5"});
  for (int step = 1; step <= 9; ++step) {
    pass(10);
    EXPECT_EQ(std::tuple(app_settings.blit_mode, osd_timer, osd_line_count, line(0), line(1)),
              std::tuple(step % 7, 80 - 10, 2, messages[step % 7][0], messages[step % 7][1]))
        << "step " << step;
  }
  hold({"F3"});
  for (int n = 0; n < 3; ++n) {
    osd_set_line(0, "");
    pass();
    EXPECT_EQ(line(0), "Hard Reset") << "pass " << n;
  }
}

// Menu keys act only while it is open; ENTER within a move's delay loads at
// every pass until the toggle's own delay runs out and closes the menu.
TEST_F(Hotkeys, MenuKeysAndEnterUntilTheToggleCloses) {
  menu_cursor = 5;
  hold({"DOWN", "RETURN"});
  MachineMemory[kMarker] = 0xA5;
  pass();
  EXPECT_EQ(std::tuple(menu_cursor, MachineMemory[kMarker], key_delay), std::tuple(5, 0xA5, 0));
  menu_visible = 1;
  hold({"UP", "DOWN"});
  pass();
  EXPECT_EQ(menu_cursor, 4);  // up is read first and sets the delay
  menu_visible = key_delay = 0;
  menu_toggle();
  key_delay = 0;
  menu_cursor = 1;
  menu_up();  // to the logo, delay 6
  hold({"RETURN"});
  app_settings.logo_phase = 1;
  int passes = 0, loads = 0;
  for (; menu_visible && passes < 100; ++passes) {
    MachineMemory[kMarker] = 0xA5;
    pass();
    loads += MachineMemory[kMarker] == 0 ? 1 : 0;
  }
  EXPECT_EQ(std::tuple(passes, loads, ppi.input_enabled, key_delay), std::tuple(7, 7, 1u, 20 - 1));
  EXPECT_EQ(app_settings.logo_phase, 0);  // a menu choice ends the logo time
}

// F9 mutes around the switch and labels only a real change (with one
// resolution, nothing); F11 toggles the placement, and a failed switch keeps
// the message line while video stays ready.
TEST_F(Hotkeys, DisplayKeys) {
  auto open_display = [](const int sizes[][2], int count) {
    headless_display_offer_modes(sizes, count);
    ASSERT_TRUE(video_init(288, 240));
    ASSERT_GT(app_list_resolutions(), 0);
    video_set_mode(resolution_table[0].width, resolution_table[0].height);
  };
  open_display(nullptr, -1);
  hold({"F9"});
  pass();
  EXPECT_EQ(std::tuple(app_settings.resolution_index, line(0), osd_timer, psg.muted),
            std::tuple(1, "Video Resolution: 512x480", 160 - 1, 0u));
  hold({"F11"});
  key_delay = 0;
  pass();
  EXPECT_EQ(std::tuple(video_get_placement(), line(0), osd_timer, app_settings.blit_mode),
            std::tuple(1, "Using Video Memory", 60 - 1, 0));
  headless_display_fail_frame_creation(1);
  key_delay = 0;
  osd_set_line(0, "before");
  pass();
  EXPECT_EQ(std::tuple(line(0), app_settings.video_ready), std::tuple("before", 1));
  headless_display_fail_frame_creation(0);
  video_release();
  const int only[1][2] = {{640, 480}};
  open_display(only, 1);
  ASSERT_EQ(resolution_count, 1);
  app_settings.resolution_index = 0;
  osd_show(1, 0);
  hold({"F9"});
  pass(25);  // three switches to the mode already set
  EXPECT_EQ(osd_timer + app_settings.resolution_index, 0);
}

}  // namespace
