// The live sound against a simulated sound card whose clock runs off ours:
// the whole machine plays a steady tone (tests/roms/sound_tone.asm) through
// the window's own loop (hotkey scan, pacing, frames), and what reaches the
// card is checked as the ear would hear it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/hotkeys.h"
#include "app/library.h"
#include "app/state_slots.h"
#include "machine/timing.h"
#include "display/video.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "app/live.h"
#include "sound/psg.h"

namespace {

constexpr uint32_t kStartMs = 1000;  // the start: the card's clock measured, the sound faded in
constexpr int kToneHalfPeriodClocks = 254 * 16;
constexpr double kToneHalfPeriod = kToneHalfPeriodClocks * 44100.0 / 3579545;  // 50.07 samples

// What the card took, as a square wave between 0 and the tone's level.
//  - From the end of the start on: the length of every half-period (samples
//    between crossings of half the level) and the lowest peak of the high
//    halves, so that a gap, a dip or a jump in phase shows.
//  - Throughout: clicks. The wave's edges are the only steps of more than
//    half the level (over two samples) that a fade leaves. An edge comes one
//    half-period after the last; after the wave has stayed under half its
//    level for two half-periods (a fade, a silence), the next comes anywhere
//    but is smaller than three quarters of the level (it is fading in). A
//    step anywhere else, or larger, is a cut.
//  - Silences: 160 samples (3.6 ms) at nearly nothing, counted.
struct Heard {
  int32_t level = 0;
  double half_period = 0.0;
  // The steady part.
  uint64_t samples = 0;
  uint64_t first_crossing = 0;
  uint64_t last_crossing = 0;
  bool high = false;
  bool crossed = false;
  int32_t peak = 0;
  int32_t lowest_peak = 1 << 30;
  std::vector<int32_t> half_periods;
  uint64_t underruns_at_start = 0;
  bool started = false;
  bool ended = false;  // quitting
  // Clicks and silences, over everything.
  uint64_t at = 0;
  int32_t before[2] = {};
  uint64_t last_edge = 0;
  bool edge_seen = false;
  uint64_t low_run = 0;
  bool faded = true;  // nothing heard yet
  uint64_t quiet_run = 0;
  int silences = 0;
  int clicks = 0;
};
Heard heard;

// A silence: longer than three half-periods at (nearly) nothing.
constexpr uint64_t kSilenceSamples = 160;

void find_clicks(const int16_t* samples, int count) {
  for (int i = 0; i < count; ++i, ++heard.at) {
    const int32_t s = samples[i];
    heard.quiet_run = s <= heard.level / 64 ? heard.quiet_run + 1 : 0;
    if (heard.quiet_run == kSilenceSamples) heard.silences += 1;
    heard.low_run = s < heard.level / 2 ? heard.low_run + 1 : 0;
    if (heard.low_run >= 2 * heard.half_period) heard.faded = true;
    const int32_t step = std::abs(s - heard.before[0]);
    heard.before[0] = heard.before[1];
    heard.before[1] = s;
    if (step <= heard.level / 2 || (heard.edge_seen && heard.at - heard.last_edge <= 2)) continue;  // the same edge
    const double gap = static_cast<double>(heard.at - heard.last_edge);
    const bool click = heard.faded ? step >= heard.level * 3 / 4 : std::abs(gap - heard.half_period) > 2.5;
    if (click && heard.clicks++ < 5) {
      std::printf("a step of %d at sample %llu, %.0f after the last edge\n", step,
                  static_cast<unsigned long long>(heard.at), gap);
    }
    heard.edge_seen = true;
    heard.last_edge = heard.at;
    heard.faded = false;
  }
}

void measure_steady(const int16_t* samples, int count) {
  if (!heard.started) {
    heard.started = true;
    heard.underruns_at_start = live_stats().underruns;
    heard.high = samples[0] >= heard.level / 2;
  }
  for (int i = 0; i < count; ++i, ++heard.samples) {
    const int32_t s = samples[i];
    const bool high = s >= heard.level / 2;
    if (high) heard.peak = std::max(heard.peak, s);
    if (high == heard.high) continue;
    if (heard.crossed) heard.half_periods.push_back(static_cast<int32_t>(heard.samples - heard.last_crossing));
    if (heard.crossed && heard.high) heard.lowest_peak = std::min(heard.lowest_peak, heard.peak);
    if (!heard.crossed) heard.first_crossing = heard.samples;
    heard.crossed = true;
    heard.high = high;
    heard.last_crossing = heard.samples;
    heard.peak = 0;
  }
}

void listen(const int16_t* samples, int count, uint32_t now_ms) {
  find_clicks(samples, count);
  if (now_ms >= kStartMs && !heard.ended) measure_steady(samples, count);
}

struct Run {
  const char* name;
  double rate_error;  // the card's clock against ours
  MachineKind machine;
};
void PrintTo(const Run& r, std::ostream* os) { *os << r.name; }
std::string name_of(const ::testing::TestParamInfo<Run>& p) { return p.param.name; }

class LiveDevice : public ::testing::TestWithParam<Run> {
 protected:
  void SetUp() override {
    machine_timing_select(GetParam().machine);
    platform_init(PlatformBackend::Headless, {});
    headless_sleep_in_real_time(0);
    headless_set_millis(0);
    video_init(288, 240);
    app_list_resolutions();
    video_set_mode(resolution_table[0].width, resolution_table[0].height);
    app_settings = AppSettings{};
    app_settings.frame_rate = machine_timing.frames_per_second;
    app_settings.present_seen = 0;  // nobody looks at the picture
    app_pace_reset();
    app_setup_machine();
    const std::string tone = std::string(QUAV_TEST_ROM_DIR) + "/sound_tone.bin";
    ASSERT_EQ(app_load_file(tone.c_str()), 1);
    heard = Heard{};
    heard.level = psg.volume_table[0];
    heard.half_period = kToneHalfPeriod;
    headless_audio_set_rate_error(GetParam().rate_error);
    headless_audio_set_listener(listen);
    ASSERT_EQ(live_start(), 1);
  }
  void TearDown() override {
    headless_audio_set_listener(nullptr);
    headless_audio_set_rate_error(0.0);
    app_set_paused(0);
    app_shutdown();
    platform_audio_close();
    quit_requested = 0;
    machine_timing_select(MachineKind::Pal);
    headless_sleep_in_real_time(1);
    platform_quit();
  }
  // The window's loop through `frames` frames: each pass scans the hotkeys
  // and runs the frames due, or sleeps 4 ms; the host spends 0-5 ms
  // elsewhere (drawing, other programs) before each pass.
  void run(int frames) {
    for (const int32_t end = app_frames_run() + frames; app_frames_run() < end; ++pass_) {
      headless_set_millis(platform_millis() + static_cast<uint32_t>(pass_ * 7919) % 6);
      app_idle_step();
    }
  }
  // The host stops for `ms`.
  void stall(uint32_t ms) { headless_set_millis(platform_millis() + ms); }
  uint32_t pass_ = 0;
};

using LiveDeviceSteady = LiveDevice;
using LiveDeviceEvents = LiveDevice;

TEST_P(LiveDeviceSteady, TenMinutesOfToneReachTheCardWhole) {
  run(app_settings.frame_rate * (kStartMs / 1000 + 600));
  heard.ended = true;
  live_stop();
  ASSERT_GT(heard.half_periods.size(), 500000u);
  std::vector<int32_t> sorted = heard.half_periods;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  const int32_t median = sorted[sorted.size() / 2];
  const auto [shortest, longest] = std::minmax_element(heard.half_periods.begin(), heard.half_periods.end());
  EXPECT_LE(median - *shortest, 2) << "a half-period cut short";
  EXPECT_LE(*longest - median, 2) << "a half-period drawn out, or a gap";
  EXPECT_GE(heard.lowest_peak, heard.level * 9 / 10) << "the tone dipped";
  // The frames come as fast as the card plays them: the pitch is the
  // machine's, and so is the count of frames in the card's time.
  const double measured =
      static_cast<double>(heard.last_crossing - heard.first_crossing) / heard.half_periods.size();
  EXPECT_NEAR(measured, heard.half_period, heard.half_period * 0.001);
  const double card_seconds = platform_millis() / 1000.0 * (1.0 + GetParam().rate_error);
  EXPECT_NEAR(app_frames_run(), card_seconds * app_settings.frame_rate, app_settings.frame_rate * 0.1);
  const LiveStats stats = live_stats();
  EXPECT_EQ(stats.underruns, heard.underruns_at_start) << "the ring ran dry after the start";
  EXPECT_LE(stats.latency_mean_ms, 50.0);
  // The start fades in, quitting fades out.
  EXPECT_EQ(heard.clicks, 0);
  EXPECT_EQ(heard.silences, 2);
  std::printf("card %+.1f %%, %s machine: %.1f ms from a frame to its first sample leaving (at most %u ms)\n",
              GetParam().rate_error * 100, GetParam().machine == MachineKind::Pal ? "50 Hz" : "NTSC",
              stats.latency_mean_ms, stats.latency_max_ms);
}

INSTANTIATE_TEST_SUITE_P(RateErrors, LiveDeviceSteady,
                         ::testing::Values(Run{"Pal50HzCardSlow5", -0.05, MachineKind::Pal},
                                           Run{"Pal50HzCardSlow05", -0.005, MachineKind::Pal},
                                           Run{"Pal50HzCardExact", 0.0, MachineKind::Pal},
                                           Run{"Pal50HzCardFast05", 0.005, MachineKind::Pal},
                                           Run{"Pal50HzCardFast5", 0.05, MachineKind::Pal},
                                           Run{"NtscCardSlow5", -0.05, MachineKind::Ntsc},
                                           Run{"NtscCardFast5", 0.05, MachineKind::Ntsc}),
                         name_of);

// Pause and resume, a hard reset, a host that stops for 300 ms and for
// 80 ms, a card that stops for half a second (the frames go on by the host's
// clock and pile up), and quitting: each goes silent and comes back through
// fades, never with a cut.
TEST_P(LiveDeviceEvents, PauseResetStallAndQuitFade) {
  run(100);
  app_set_paused(1);
  run(25);
  app_set_paused(0);
  run(50);
  app_hard_reset();
  run(50);
  stall(300);
  run(50);
  EXPECT_EQ(live.target, 1102) << "a stop, not a slow host";
  stall(80);
  run(50);
  EXPECT_EQ(live.target, 1102 + 220) << "late frames: 5 ms more in hand";
  headless_audio_set_rate_error(-1.0);
  run(app_settings.frame_rate / 2);
  headless_audio_set_rate_error(GetParam().rate_error);
  run(50);
  live_stop();
  EXPECT_EQ(heard.clicks, 0);
  // Start, pause, reset, the three stalls and quitting each made one silence.
  EXPECT_EQ(heard.silences, 7);
  EXPECT_EQ(live_stats().underruns, 2u) << "the host's stalls";
}

// Three frames run ahead of time put 60 ms too many in the ring (short of
// the 100 ms that would be cut): the rate control plays them out a little faster, within 5 %, and the
// fill is back at its target within a few seconds, without a sound lost.
TEST_P(LiveDeviceEvents, RateControlTakesUpAFillOffItsTarget) {
  run(app_settings.frame_rate);
  const double target = live.target;
  for (int extra = 0; extra < 3; ++extra) app_emulate_frame(0, 0);
  double lowest = 1.0, highest = 1.0;
  for (int frame = 0; frame < 4 * app_settings.frame_rate; ++frame) {
    run(1);
    lowest = std::min(lowest, live.ratio);
    highest = std::max(highest, live.ratio);
  }
  EXPECT_LT(lowest, 0.99);
  EXPECT_GE(lowest, 0.95);
  EXPECT_LE(highest, 1.01);
  EXPECT_NEAR(live.fill, target, target * 0.15);
  EXPECT_EQ(heard.clicks, 0);
  EXPECT_EQ(heard.silences, 1) << "only the start's";
}

INSTANTIATE_TEST_SUITE_P(RateErrors, LiveDeviceEvents,
                         ::testing::Values(Run{"Pal50HzCardExact", 0.0, MachineKind::Pal},
                                           Run{"NtscCardFast3", 0.03, MachineKind::Ntsc}),
                         name_of);

}  // namespace
