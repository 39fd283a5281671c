// The frame loop: pacing wall-clock time into emulated frames of the machine
// (50 a second, 60 on the NTSC machine; while the window plays sound, a
// second of the sound card's clock), the shell's work around each frame
// (overlays, timers, presenting), and the load meter.
//
// At most 10 frames run per pacing step and only the last of them is drawn,
// presented and allowed to deliver audio; every frame's samples go to the
// live sound. After the step's frames the host keys are read once and
// handed to the machine, which the program sees from the next frame on.
#include "app/app.h"

#include <string>

#include "app/host_input.h"
#include "app/library.h"
#include "app/live.h"
#include "app/menu.h"
#include "app/osd.h"
#include "app/sound_out.h"
#include "app/state_slots.h"
#include "app/tape_typing.h"
#include "app/typing.h"
#include "display/video.h"
#include "platform/platform.h"

namespace {

constexpr int32_t kMaxFramesPerStep = 10;
constexpr uint32_t kIdleSleepMs = 4;
constexpr int32_t kLogoSteps = 150;
constexpr int kLogoEndEntry = 12;
constexpr uint32_t kMeterCalibrationMs = 200;

uint32_t pace_base_ms = 0;
int32_t pace_done = 0;
int32_t logo_steps = 0;
int32_t frames_run = 0;  // since start-up: the frame count of key recordings


// The meter works on the low 32 bits of the tick counter, so an interval
// across their wrap comes out negative and is dropped.
uint32_t meter_stamp() { return static_cast<uint32_t>(platform_ticks()); }

}  // namespace

CpuLoadMeter cpu_load_meter;

FrameCalls frame_calls = {
    machine_run_frame, snd_deliver,         input_poll_host, machine_set_input,
    video_lock_frame,  video_unlock_frame,  app_present,     video_draw_cpu_load,
    video_flip,        menu_draw,           osd_draw_messages, osd_tick,
    app_load_game,
};

PaceState app_pace_state() { return {pace_base_ms, pace_done, logo_steps}; }

void app_pace_reset() {
  pace_base_ms = 0;
  pace_done = 0;
  logo_steps = 0;
  frames_run = 0;
}

int32_t app_frames_run() { return frames_run; }

int32_t app_pace_frames() {
  const uint32_t now = live_pace_clock();
  const uint32_t elapsed = now - pace_base_ms;
  int64_t due = static_cast<int64_t>(app_settings.frame_rate) * elapsed / 1000;
  const int64_t new_frames = due - pace_done;
  pace_done = static_cast<int32_t>(due);
  if (app_settings.frame_rate >= 1 && due >= app_settings.frame_rate) {
    // Move whole seconds into the base; the fractional frame stays.
    const int64_t seconds = due / app_settings.frame_rate;
    pace_base_ms += static_cast<uint32_t>(seconds * 1000);
    pace_done = static_cast<int32_t>(due - seconds * app_settings.frame_rate);
  }
  if (new_frames <= 0) {
    platform_sleep(kIdleSleepMs);
    return 0;
  }
  const int32_t n = new_frames < kMaxFramesPerStep ? static_cast<int32_t>(new_frames)
                                                   : kMaxFramesPerStep;
  for (int32_t i = 0; i < n; ++i) {
    const int last = i == n - 1 ? 1 : 0;
    app_run_frame(last, last);
    frames_run += 1;
  }
  app_tape_keep_up();
  if (machine_paused == 1) return 1;
  // The keys of this step (INS the RESET key) reach the machine now, with
  // the keys typed in this step pressed into the matrix too.
  MachineInput input = frame_calls.input_poll_host();
  typing_poll(input.key_rows);
  frame_calls.machine_set_input(input);
  if (app_settings.logo_phase == 1) {
    if (logo_steps >= kLogoSteps) {
      app_settings.logo_phase = 0;
      frame_calls.app_load_game(kLogoEndEntry);
    } else {
      logo_steps += 1;
    }
  }
  return 1;
}

void app_run_frame(int render, int last) {
  if (app_settings.video_ready == 0) return;
  if (app_settings.show_cpu_load == 1) app_meter_start();
  if (machine_paused == 0) {
    app_emulate_frame(render, last);
  } else {
    app_paused_frame();
  }
  frame_calls.video_lock_frame();
  frame_calls.menu_draw();
  frame_calls.osd_draw_messages();
  frame_calls.video_unlock_frame();
  if (key_delay > 0) key_delay -= 1;
  frame_calls.osd_tick();
  float load = 0.0f;
  if (app_settings.show_cpu_load == 1) {
    app_meter_stop();
    load = app_meter_percent();
  }
  const int present = app_settings.present_seen;
  if (render == 1 && present == 1) frame_calls.video_present();
  if (app_settings.show_cpu_load == 1 && present == 1) {
    frame_calls.video_draw_cpu_load(load);
    const std::string tape_line = app_tape_load_line();
    if (!tape_line.empty()) video_draw_load_line(1, tape_line.c_str());
  }
  if (render == 1) frame_calls.video_flip(1);
}

// The machine draws into the frame surface, which the lock lends it; the
// frame's sound goes to the sound device.
void app_emulate_frame(int render, int last) {
  if (app_settings.video_ready == 0) return;
  frame_calls.video_lock_frame();
  const MachineFrame frame = frame_calls.machine_run_frame(render);
  frame_calls.snd_deliver(frame, last);
  frame_calls.video_unlock_frame();
}

void app_present() {
  video_present(app_settings.display_width, app_settings.display_height, app_settings.blit_mode);
}

void app_meter_calibrate(int32_t frames_per_second) {
  const uint32_t t0 = meter_stamp();
  platform_sleep(kMeterCalibrationMs);
  const uint32_t t1 = meter_stamp();
  cpu_load_meter = CpuLoadMeter{};
  if (frames_per_second < 1) return;
  // The ticks of one frame period: a tenth of the 200 ms at 50 frames a
  // second, a twelfth at 60.
  const uint64_t ticks = static_cast<uint64_t>(t1 - t0) * 1000 / kMeterCalibrationMs;
  cpu_load_meter.ticks_per_period = static_cast<uint32_t>(ticks / static_cast<uint64_t>(frames_per_second));
}

void app_meter_start() { cpu_load_meter.stamp = meter_stamp(); }

void app_meter_stop() {
  cpu_load_meter.stamp = static_cast<uint64_t>(meter_stamp()) - cpu_load_meter.stamp;
}

float app_meter_percent() {
  if (cpu_load_meter.ticks_per_period == 0) return 0.0f;
  const int64_t p =
      static_cast<int64_t>(cpu_load_meter.stamp) * 100 / cpu_load_meter.ticks_per_period;
  if (p > 0) {
    cpu_load_meter.samples[cpu_load_meter.next_sample] = static_cast<float>(p);
    cpu_load_meter.next_sample = (cpu_load_meter.next_sample + 1) % 8;
  }
  float sum = 0.0f;
  for (float s : cpu_load_meter.samples) sum += s;
  return sum * 0.125f;
}
