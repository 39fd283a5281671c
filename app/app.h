// The application shell's shared state: settings, the quit and active flags,
// the shared key delay, and the operations of start-up and the frame loop.
#pragma once

#include <cstdint>

#include "machine/machine.h"

struct AppSettings {
  int32_t frame_rate = 50;  // the machine's frames a second: 50, or 60 (NTSC)
  int32_t video_ready = 1;
  int32_t logo_phase = 1;
  int32_t display_width = 640;
  int32_t display_height = 480;
  int32_t blit_mode = 0;         // 0..6
  int32_t resolution_index = 0;  // row of the resolution table
  int32_t show_cpu_load = 0;
  // 0 when nobody looks at the back buffer (a headless run without
  // --present-shot): frames are then not presented into it at all.
  int32_t present_seen = 1;
};

extern AppSettings app_settings;
extern int32_t quit_requested;
extern int32_t window_active;
// Shared by all guarded hotkeys and menu keys; counted down once per frame.
extern int32_t key_delay;
// 1 while Pause/Break holds the machine: pacing steps draw and present the
// kept picture but run no frame, poll no keys and count no logo time.
extern int32_t machine_paused;

struct ResolutionEntry {
  int32_t width;
  int32_t height;
  char label[32];
};

constexpr int kMaxResolutions = 5;
extern ResolutionEntry resolution_table[kMaxResolutions];
extern int32_t resolution_count;

int32_t app_list_resolutions();
int32_t app_find_resolution(int32_t width, int32_t height);
// The machine of the kind chosen (machine_timing) powered on inside the
// shell: the host keyboard, the machine, the about page, the logo booted,
// the sound device.
int32_t app_setup_machine();
void app_shutdown();

// Frame loop and pacing.
int32_t app_pace_frames();
void app_run_frame(int render, int last);
void app_emulate_frame(int render, int last);
// The frame surface onto the back buffer, in the blit mode and at the screen
// size of app_settings.
void app_present();

// The calls one frame makes into the machine and the host, in one table so
// that tests can record their order. They start at the real operations.
struct FrameCalls {
  MachineFrame (*machine_run_frame)(int draw);
  void (*snd_deliver)(const MachineFrame& frame, int last);
  MachineInput (*input_poll_host)();
  void (*machine_set_input)(const MachineInput& input);
  uint8_t* (*video_lock_frame)();
  int (*video_unlock_frame)();
  void (*video_present)();
  void (*video_draw_cpu_load)(float value);
  int (*video_flip)(int wait);
  void (*menu_draw)();
  void (*osd_draw_messages)();
  void (*osd_tick)();
  void (*app_load_game)(int index);
};
extern FrameCalls frame_calls;

// The pacing state, for tests: the base of the count, the frames counted
// since it, and the pacing steps counted during the logo time.
struct PaceState {
  uint32_t base_ms;
  int32_t done;
  int32_t logo_steps;
};
PaceState app_pace_state();
void app_pace_reset();
// Frames the pacing has run since start-up (or the last app_pace_reset).
int32_t app_frames_run();

// Load meter: the time one frame takes, as a percentage of one frame period
// (20 ms at 50 frames a second), averaged over the last eight frames.
struct CpuLoadMeter {
  uint32_t ticks_per_period = 0;
  float samples[8] = {};
  int32_t next_sample = 0;
  uint64_t stamp = 0;
};
extern CpuLoadMeter cpu_load_meter;

// Measures the tick counter over 200 ms and keeps the ticks of one frame
// period at frames_per_second.
void app_meter_calibrate(int32_t frames_per_second);
void app_meter_start();
void app_meter_stop();
float app_meter_percent();
