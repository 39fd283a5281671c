// The window's state slots (Shift/Ctrl+F1-F4) and Pause/Break, driven by
// held keys through the hotkey scan as in a headless run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>

#include "app/app.h"
#include "app/hotkeys.h"
#include "app/library.h"
#include "app/osd.h"
#include "app/state_slots.h"
#include "bus/input.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/psg.h"
#include "sound/stream.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMarker = 0xC000;
int cpu_runs = 0;

std::string line(int i) { return osd_lines[i]; }
void hold(std::initializer_list<const char*> names) {  // exactly these from now on
  headless_keyboard_clear();
  for (const char* n : names) headless_keyboard_hold(input_key_code(n), 0, 1 << 30);
}

class Slots : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    bus_machine::setup(io_read_port, io_write_port);
    app_boot_logo();
    snd_init();
    saved_ = frame_calls;
    frame_calls.cpu_run = [](int32_t budget) { return ++cpu_runs, budget; };  // the machine stands still
    frame_calls.vdp_render_line = [](int) {};
    cpu_runs = 0;
    headless_set_millis(0);
    app_pace_reset();
    app_settings = AppSettings{};
    app_settings.logo_phase = 0;
    key_delay = 0;
    ppi = PpiState{};
    osd_show(1, 0);
    fs::remove_all(dir_);
    setenv("XDG_STATE_HOME", dir_.c_str(), 1);
  }
  void TearDown() override {
    app_set_paused(0);
    snd_close();
    frame_calls = saved_;
    headless_keyboard_clear();
    unsetenv("XDG_STATE_HOME");
    fs::remove_all(dir_);
    key_delay = 0;
  }
  // One idle pass with `keys` held, then passes without keys until the key delay has run out.
  void press(std::initializer_list<const char*> keys) {
    hold(keys);
    pass();
    hold({});
    while (key_delay > 0) pass();
  }
  void pass() { headless_set_millis(now_ms_ += 20), app_idle_step(); }

  FrameCalls saved_{};
  uint32_t now_ms_ = 0;
  const fs::path dir_ = fs::temp_directory_path() / "quav_slots_test";
};

TEST_F(Slots, ShiftSavesCtrlLoadsAndF1ToF4DoNothingElse) {
  MachineMemory[kMarker] = 0x11;
  press({"LSHIFT", "F2"});
  EXPECT_EQ(line(0), "State 2 saved");
  EXPECT_EQ(osd_line_count, 1) << "F2 with Shift does not open the menu or the help";
  EXPECT_TRUE(fs::is_regular_file(dir_ / "quav" / (library_running_name() + "-2.state")));
  EXPECT_EQ(library_running_name(), "quav_logo");

  MachineMemory[kMarker] = 0x22;
  app_settings.logo_phase = 1;
  press({"RCONTROL", "F2"});
  EXPECT_EQ(line(0), "State 2 loaded");
  EXPECT_EQ(MachineMemory[kMarker], 0x11);
  EXPECT_EQ(app_settings.logo_phase, 0) << "a loaded state ends the logo time";

  press({"LCONTROL", "F3"});
  EXPECT_EQ(line(0), "No state 3");
  press({"RSHIFT", "F4"});
  EXPECT_EQ(line(0), "State 4 saved");
  EXPECT_EQ(ppi.joystick_mode, 1u) << "F4 with Shift does not switch the joystick";
}

TEST_F(Slots, ADamagedSlotIsReportedAndChangesNothing) {
  fs::create_directories(dir_ / "quav");
  std::ofstream(dir_ / "quav" / (library_running_name() + "-1.state")) << "not a state\n";
  MachineMemory[kMarker] = 0x33;
  testing::internal::CaptureStderr();
  press({"LCONTROL", "F1"});
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(line(0), "State 1: not a QUAV state file");
  EXPECT_EQ(MachineMemory[kMarker], 0x33);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("quav_logo-1.state: not a QUAV state file"), std::string::npos) << err;

  // A file where the folder should be: the save fails with its reason.
  fs::remove_all(dir_);
  std::ofstream(dir_) << "in the way";
  testing::internal::CaptureStderr();
  press({"LSHIFT", "F3"});
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(line(0).rfind("State 3: ", 0), 0u) << line(0);
}

TEST_F(Slots, PauseStopsFramesAndSoundUntilPressedAgain) {
  ASSERT_EQ(snd.playing, 1u);
  press({"PAUSE"});
  EXPECT_EQ(machine_paused, 1);
  EXPECT_EQ(line(0), "Paused");
  EXPECT_EQ(std::tuple(snd.playing, psg.muted), std::tuple(0u, 1u));
  cpu_runs = 0;
  for (int i = 0; i < 200; ++i) pass();
  EXPECT_EQ(cpu_runs, 0) << "no frame runs while paused";
  EXPECT_GT(osd_timer, 0) << "Paused stays shown";
  EXPECT_EQ(line(0), "Paused");

  press({"PAUSE"});
  EXPECT_EQ(machine_paused, 0);
  EXPECT_EQ(std::tuple(snd.playing, psg.muted), std::tuple(1u, 0u));
  EXPECT_EQ(osd_timer, 0) << "Paused goes with the pause";
  cpu_runs = 0;
  pass();
  EXPECT_EQ(cpu_runs, kLinesPerFrame);
}

}  // namespace
