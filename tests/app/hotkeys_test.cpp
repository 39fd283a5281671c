// The hotkey scan: held keys read once per idle pass, the shared key delay,
// the actions' messages; the state slots (Shift/Ctrl+F1-F4), the tape and
// typing keys (Shift+F5-F7) and Pause/Break.
// The headless clock moves on one frame per pass.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "app/app.h"
#include "app/hotkeys.h"
#include "app/library.h"
#include "app/menu.h"
#include "app/osd.h"
#include "app/state_slots.h"
#include "app/host_input.h"
#include "app/sound_out.h"
#include "app/tape_typing.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "bus/tape.h"
#include "app/typing.h"
#include "display/video.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/psg.h"
#include "sound/stream.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"

namespace {

namespace fs = std::filesystem;

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
    saved_ = machine_calls;
    machine_calls.cpu_run = [](int32_t budget) { return budget; };  // the machine stands still
    machine_calls.vdp_render_line = [](int) {};
    headless_set_millis(0);
    app_pace_reset();
    app_settings = AppSettings{};
    app_settings.logo_phase = 0;
    key_delay = quit_requested = menu_visible = menu_cursor = 0;
    ppi = PpiState{};
    host_keyboard.input_enabled = 1;
    osd_set_line(0, "");
    osd_show(1, 0);
  }
  void TearDown() override {
    headless_display_fail_frame_creation(0);
    video_release();
    headless_display_offer_modes(nullptr, -1);
    machine_calls = saved_;
    headless_keyboard_clear();
    key_delay = menu_visible = 0;
    ppi = PpiState{};
    host_keyboard.input_enabled = 1;
  }
  void pass(int times = 1) {
    for (int n = 0; n < times; ++n) headless_set_millis(now_ms_ += 20), app_idle_step();
  }
  MachineCalls saved_{};
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
  EXPECT_EQ(std::tuple(menu_visible, host_keyboard.input_enabled, line(0), osd_timer, quit_requested),
            std::tuple(0, 1u, "Hard Reset", 40 - 1, 1));
}

// Held F5 steps every 10 frames through the seven modes, each shown in two
// lines; held F3 resets every pass.
TEST_F(Hotkeys, HeldKeysRepeatThroughTheDelay) {
  app_set_blit_mode(0);
  hold({"F5"});
  for (int step = 1; step <= 9; ++step) {
    osd_set_line(0, "");
    pass(10);
    EXPECT_EQ(std::tuple(app_settings.blit_mode, osd_timer, osd_line_count, line(0).empty()),
              std::tuple(step % 7, 80 - 10, 2, false))
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
  EXPECT_EQ(std::tuple(passes, loads, host_keyboard.input_enabled, key_delay), std::tuple(7, 7, 1u, 20 - 1));
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

// With Shift, F5 plays or stops the tape, F6 rewinds it, F7 types the
// clipboard, each guarded and shown, and the load display gives the tape's
// place while it plays (what the deck does: tape_test.cpp); without Shift,
// F5 still steps the blit mode.
TEST_F(Hotkeys, ShiftF5ToF7PlayRewindAndTypeTheClipboard) {
  const auto press = [&](std::initializer_list<const char*> keys) {
    hold(keys);
    key_delay = 0;
    pass();
    return std::tuple(line(0), osd_timer);
  };
  tape_eject();
  EXPECT_EQ(press({"LSHIFT", "F5"}), std::tuple("No tape", 40 - 1));
  EXPECT_EQ(press({"RSHIFT", "F6"}), std::tuple("No tape", 40 - 1));
  TapeLevels levels;
  levels.rate = 1000;
  levels.count = 60000;  // a minute
  levels.bits.assign(1000, 0);
  tape_insert(levels);
  tape.clock += 65 * uint64_t{kTapeClockHz} / 10;
  EXPECT_EQ(app_tape_load_line(), "Tape 0:06 / 1:00");
  EXPECT_EQ(press({"LSHIFT", "F5"}), std::tuple("Tape stopped", 40 - 1));
  EXPECT_EQ(std::pair(tape.playing, app_tape_load_line()), std::pair(0u, std::string())) << "shown only while it plays";
  EXPECT_EQ(press({"LSHIFT", "F5"}), std::tuple("Tape playing", 40 - 1));
  EXPECT_EQ(press({"LSHIFT", "F6"}), std::tuple("Tape rewound", 40 - 1));
  EXPECT_EQ(app_tape_load_line(), "Tape 0:00 / 1:00");
  tape_eject();

  const Typing saved = std::exchange(typing, Typing{});
  headless_set_clipboard("");
  EXPECT_EQ(press({"LSHIFT", "F7"}), std::tuple("Nothing to type", 40 - 1));
  headless_set_clipboard("Ok\n");
  EXPECT_EQ(press({"LSHIFT", "F7"}), std::tuple("Typing 3 characters", 40 - 1));
  EXPECT_EQ(std::pair(typing.strokes.size(), typing.start), std::pair(size_t{3}, typing.poll));
  typing = saved;
  headless_set_clipboard("");

  app_set_blit_mode(0);
  EXPECT_EQ(press({"F5"}), std::tuple("MMX Horizontal Scanline 100%", 80 - 1));
  hold({"LSHIFT", "F5", "F6"});  // the earlier guarded key wins
  key_delay = 0;
  pass();
  EXPECT_EQ(std::tuple(line(0), app_settings.blit_mode), std::tuple("No tape", 1));
}

// The logo's machine, with a state folder of its own.
class Slots : public Hotkeys {
 protected:
  void SetUp() override {
    Hotkeys::SetUp();
    bus_machine::setup(io_read_port, io_write_port);
    app_boot_logo();
    snd_init(60);
    fs::remove_all(dir_);
    setenv("XDG_STATE_HOME", dir_.c_str(), 1);
  }
  void TearDown() override {
    app_set_paused(0);
    snd_close();
    unsetenv("XDG_STATE_HOME");
    fs::remove_all(dir_);
    Hotkeys::TearDown();
  }
  // One pass with `keys` held, then passes without keys until the key delay has run out.
  void press(std::initializer_list<const char*> keys) {
    hold(keys);
    pass();
    hold({});
    while (key_delay > 0) pass();
  }
  const fs::path dir_ = fs::temp_directory_path() / ("quav_slots_" + std::to_string(getpid()));
};

TEST_F(Slots, ShiftSavesCtrlLoadsAndF1ToF4DoNothingElse) {
  MachineMemory[kMarker] = 0x11;
  press({"LSHIFT", "F2"});
  EXPECT_EQ(std::tuple(line(0), osd_line_count), std::tuple("State 2 saved", 1)) << "no menu, no help";
  EXPECT_TRUE(fs::is_regular_file(dir_ / "quav" / "quav_logo-2.state"));
  MachineMemory[kMarker] = 0x22;
  app_settings.logo_phase = 1;
  press({"RCONTROL", "F2"});
  EXPECT_EQ(std::tuple(line(0), MachineMemory[kMarker]), std::tuple("State 2 loaded", 0x11));
  EXPECT_EQ(app_settings.logo_phase, 0) << "a loaded state ends the logo time";
  press({"LCONTROL", "F3"});
  EXPECT_EQ(line(0), "No state 3");
  press({"RSHIFT", "F4"});
  EXPECT_EQ(std::tuple(line(0), ppi.joystick_mode), std::tuple("State 4 saved", 1u)) << "no joystick switch";
}

TEST_F(Slots, ADamagedSlotIsReportedAndChangesNothing) {
  fs::create_directories(dir_ / "quav");
  std::ofstream(dir_ / "quav" / "quav_logo-1.state") << "not a state\n";
  MachineMemory[kMarker] = 0x33;
  testing::internal::CaptureStderr();
  press({"LCONTROL", "F1"});
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::tuple(line(0), MachineMemory[kMarker]), std::tuple("State 1: not a QUAV state file", 0x33));
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("quav_logo-1.state: not a QUAV state file"), std::string::npos) << err;

  fs::remove_all(dir_);  // a file where the folder should be: the save fails with its reason
  std::ofstream(dir_) << "in the way";
  testing::internal::CaptureStderr();
  press({"LSHIFT", "F3"});
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(line(0).rfind("State 3: ", 0), 0u) << line(0);
}

// Pause mutes and stops the frames until pressed again (that no frame runs
// and no sound is made is checked end to end in state.sh).
TEST_F(Slots, PauseIsShownAndMutesUntilPressedAgain) {
  press({"PAUSE"});
  EXPECT_EQ(std::tuple(machine_paused, line(0), snd_out.playing, psg.muted), std::tuple(1, "Paused", 0u, 1u));
  pass(200);
  EXPECT_EQ(line(0), "Paused");
  EXPECT_GT(osd_timer, 0) << "Paused stays shown";
  press({"PAUSE"});
  EXPECT_EQ(std::tuple(machine_paused, snd_out.playing, psg.muted, osd_timer), std::tuple(0, 1u, 0u, 0));
}

}  // namespace
