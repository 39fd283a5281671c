// Live sound: the frame loop's side (measuring the device's clock, choosing
// each frame's ratio, resampling into the ring) and the device's pull.
#include "sound/live.h"

#include <algorithm>

#include "platform/platform.h"

LiveSound live;

namespace {

constexpr double kSamplesPerMs = kLiveRate / 1000.0;
constexpr int32_t kTargetSamples = kLiveRate * kLiveTargetMs / 1000;  // 1,102
// Silent, the ring refills to the target and ten milliseconds more (a half
// frame, on average, until the next one comes) before sound resumes.
constexpr int32_t kResumeSamples = kTargetSamples + kLiveRate / 100;
// A ring this far over its target (the device stalled, then came back) is
// brought back at once, with a fade, rather than drained slowly.
constexpr int32_t kExcessSamples = kLiveRate / 10;
// How strongly the fill steers the ratio: a fill off by the whole target
// moves it by 2 %.
constexpr double kFillGain = 0.02;
constexpr double kFillSmoothing = 0.125;

constexpr uint32_t kClockWarmupMs = 200;
constexpr uint32_t kClockPointMs = 250;
constexpr uint32_t kClockKnownMs = 300;
constexpr uint32_t kStopWaitMs = 150;
constexpr uint32_t kStopSleepMs = 2;
// After the fade the device takes two more pulls, so that the faded samples
// have left its own buffer before it closes.
constexpr int32_t kStopSilentPulls = 2;

int32_t ms_since(uint32_t now, uint32_t then) { return static_cast<int32_t>(now - then); }

// The device's rate from its pulls: samples taken over the time they took,
// from the oldest point kept to the newest pull.
void measure_device(const LiveClock& clock) {
  if (clock.pulled == 0 || ms_since(clock.time_ms, live.start_ms) < static_cast<int32_t>(kClockWarmupMs)) return;
  if (live.point_count == 0 ||
      ms_since(clock.time_ms, live.points[live.point_count - 1].time_ms) >= static_cast<int32_t>(kClockPointMs)) {
    if (live.point_count == kLiveClockPoints) {
      std::copy(live.points + 1, live.points + kLiveClockPoints, live.points);
      live.point_count -= 1;
    }
    live.points[live.point_count++] = LiveClockPoint{clock.pulled, clock.time_ms};
  }
  const LiveClockPoint& first = live.points[0];
  const int32_t span = ms_since(clock.time_ms, first.time_ms);
  if (span < static_cast<int32_t>(kClockKnownMs)) return;
  const double rate = static_cast<double>(clock.pulled - first.pulled) / (span * kSamplesPerMs);
  live.device_rate = std::clamp(rate, 0.5, 2.0);
  // What the ring holds was made before the rate was known: the sound
  // starts with what comes after.
  if (!live.device_known) live_ring_cut(live.ring, live_ring_written(live.ring));
  live.device_known = 1;
}

void set_hold() { live.ring.hold.store(live.paused || !live.device_known ? 1 : 0, std::memory_order_release); }

}  // namespace

int live_start() {
  platform_audio_set_source(nullptr);
  live.running = 0;
  live.paused = 0;
  live.device_known = 0;
  live.point_count = 0;
  live.device_rate = 1.0;
  live.fill = kTargetSamples;
  live.ratio = 1.0;
  resampler_reset(live.resampler);
  live_ring_reset(live.ring);
  live.ring.resume_fill.store(kResumeSamples);
  live.start_ms = platform_millis();
  live.running = platform_audio_set_source(live_pull) ? 1 : 0;
  return live.running;
}

void live_frame(const int16_t* samples, int32_t count) {
  if (!live.running || samples == nullptr || count <= 0 || count > kResamplerMaxInput) return;
  const uint32_t now = platform_millis();
  const LiveClock clock = live_ring_clock(live.ring);
  measure_device(clock);
  const uint64_t written = live_ring_written(live.ring);
  const LivePlay state = live_ring_state(live.ring);
  double ratio = live.device_rate;
  if (state == LivePlay::FadingIn || state == LivePlay::Playing) {
    // The samples ahead of this frame: those in the ring, less what the
    // device has played of its last pull since it took it.
    const double played = std::max(ms_since(now, clock.time_ms), 0) * kSamplesPerMs * live.device_rate;
    const double ahead = static_cast<double>(written - clock.read) - played;
    if (ahead > kTargetSamples + kExcessSamples) live_ring_cut(live.ring, written - kResumeSamples);
    live.fill += (ahead - live.fill) * kFillSmoothing;
    ratio *= 1.0 + kFillGain * (kTargetSamples - live.fill) / kTargetSamples;
  } else {
    live.fill = kTargetSamples;
  }
  live.ratio = std::clamp(ratio, 1.0 - kLiveMaxRateChange, 1.0 + kLiveMaxRateChange);
  int16_t out[kResamplerMaxInput * 2 + 2];
  const int32_t made = resampler_run(live.resampler, samples, count, live.ratio, out);
  if (live_ring_push(live.ring, out, made)) {
    live_ring_mark(live.ring, written, now);
  } else {
    live_ring_cut(live.ring, written);  // the device stopped taking: start afresh
  }
  set_hold();
}

void live_pause(int paused) {
  live.paused = paused ? 1 : 0;
  if (!live.running) return;
  set_hold();
  if (live.paused) live_ring_cut(live.ring, live_ring_written(live.ring));
}

void live_load() {
  if (live.running) live_ring_cut(live.ring, live_ring_written(live.ring));
}

void live_stop() {
  if (!live.running) return;
  live.ring.hold.store(1, std::memory_order_release);
  live_ring_cut(live.ring, live_ring_written(live.ring));
  // The fade, then two pulls of silence after it.
  int32_t silent_pulls = -1;  // -1 until the fade is over
  uint64_t last_pulled = 0;
  for (uint32_t waited = 0; waited < kStopWaitMs && silent_pulls < kStopSilentPulls; waited += kStopSleepMs) {
    platform_sleep(kStopSleepMs);
    const uint64_t pulled = live_ring_clock(live.ring).pulled;
    if (live_ring_state(live.ring) != LivePlay::Silent) continue;
    if (silent_pulls < 0 || pulled != last_pulled) silent_pulls += 1;
    last_pulled = pulled;
  }
  live.running = 0;
}

void live_pull(int16_t* out, int count, uint32_t now_ms) {
  if (out != nullptr && count > 0) live_ring_pull(live.ring, out, count, now_ms);
}

LiveStats live_stats() {
  const LiveRing& r = live.ring;
  LiveStats s{};
  s.underruns = r.underruns.load();
  s.timed_frames = r.timed_frames.load();
  s.latency_mean_ms = s.timed_frames ? static_cast<double>(r.latency_sum_ms.load()) / s.timed_frames : 0.0;
  s.latency_max_ms = r.latency_max_ms.load();
  return s;
}
