// Live sound: the frame loop's side (the pacing clock, each frame's ratio,
// resampling into the ring) and the device's pull.
#include "app/live.h"

#include <algorithm>

#include "platform/platform.h"

LiveSound live;

namespace {

constexpr double kSamplesPerMs = kLiveRate / 1000.0;
constexpr int32_t kTargetSamples = kLiveRate * kLiveTargetMs / 1000;  // 1,102
constexpr int32_t kMaxTargetSamples = kLiveRate * kLiveMaxTargetMs / 1000;
// A dry ring raises the target by 5 ms; each ten seconds without one lower
// it by 1 ms, down to the usual target.
constexpr int32_t kTargetStep = kLiveRate * 5 / 1000;
constexpr int32_t kTargetEase = kLiveRate / 1000;
constexpr uint32_t kTargetEaseMs = 10000;
// Silent, the ring refills to the target and ten milliseconds more (a half
// frame, on average, until the next one comes) before sound resumes.
constexpr int32_t kResumeExtra = kLiveRate / 100;
// A ring this far over its target (the card stalled, then came back) is
// brought back at once, with a fade, rather than drained slowly.
constexpr int32_t kExcessSamples = kLiveRate / 10;
// How strongly the fill steers the ratio: a fill off by the whole target
// moves it by 2 %.
constexpr double kFillGain = 0.02;
constexpr double kFillSmoothing = 0.125;

constexpr uint32_t kStopWaitMs = 150;
constexpr uint32_t kStopSleepMs = 2;
// After the fade the device takes two more pulls, so that the faded samples
// have left its own buffer before it closes.
constexpr int32_t kStopSilentPulls = 2;

int32_t ms_since(uint32_t now, uint32_t then) { return static_cast<int32_t>(now - then); }

// The part of the card's last pull that it has played by `now_ms`, in
// milliseconds.
double played_of_pull(const LiveClock& clock, uint32_t now_ms) {
  return std::clamp(static_cast<double>(ms_since(now_ms, clock.time_ms)), 0.0, clock.block / kSamplesPerMs);
}

void set_hold() { live.ring.hold.store(live.paused || !live.started ? 1 : 0, std::memory_order_release); }

void set_target(int32_t samples, uint32_t now_ms) {
  live.target = samples;
  live.target_changed_ms = now_ms;
  live.ring.resume_fill.store(samples + kResumeExtra, std::memory_order_relaxed);
}

// A dry ring between two frames that came close together means frames that
// came late: the target rises. After a longer wait (a minimised window, a
// change of screen mode) it stays.
void adapt_target(uint32_t now_ms, uint32_t last_frame_ms) {
  const uint64_t underruns = live.ring.underruns.load(std::memory_order_relaxed);
  if (underruns != live.underruns_seen) {
    live.underruns_seen = underruns;
    if (ms_since(now_ms, last_frame_ms) > kLiveStallMs) return;
    set_target(std::min(live.target + kTargetStep, kMaxTargetSamples), now_ms);
  } else if (live.target > kTargetSamples && ms_since(now_ms, live.target_changed_ms) >= static_cast<int32_t>(kTargetEaseMs)) {
    set_target(std::max(live.target - kTargetEase, kTargetSamples), now_ms);
  }
}

}  // namespace

int live_start() {
  platform_audio_set_source(nullptr);
  live.running = 0;
  live.paused = 0;
  live.started = 0;
  live.frames = 0;
  live.underruns_seen = 0;
  live.fill = kTargetSamples;
  live.ratio = 1.0;
  live.clock_base_ms = live.clock_host_ms = platform_millis();
  live.clock_elapsed_ms = 0.0;
  live.clock_on_card = 0;
  live.clock_card_offset_ms = 0.0;
  resampler_reset(live.resampler);
  live_ring_reset(live.ring);
  set_target(kTargetSamples, live.clock_base_ms);
  set_hold();
  live.running = platform_audio_set_source(live_pull) ? 1 : 0;
  return live.running;
}

uint32_t live_pace_clock() {
  const uint32_t host = platform_millis();
  if (!live.running) return host;
  const LiveClock clock = live_ring_clock(live.ring);
  double elapsed;
  if (clock.pulled > 0 && ms_since(host, clock.time_ms) <= kLiveStallMs) {
    // The card's time: what it has played of its pulls.
    const double card_ms = static_cast<double>(clock.pulled - static_cast<uint64_t>(clock.block)) / kSamplesPerMs +
                           played_of_pull(clock, host);
    if (!live.clock_on_card) live.clock_card_offset_ms = live.clock_elapsed_ms - card_ms;
    live.clock_on_card = 1;
    elapsed = card_ms + live.clock_card_offset_ms;
  } else {
    live.clock_on_card = 0;
    elapsed = live.clock_elapsed_ms + std::max(ms_since(host, live.clock_host_ms), 0);
  }
  live.clock_elapsed_ms = std::max(elapsed, live.clock_elapsed_ms);
  live.clock_host_ms = host;
  return live.clock_base_ms + static_cast<uint32_t>(static_cast<uint64_t>(live.clock_elapsed_ms));
}

void live_frame(const int16_t* samples, int32_t count) {
  if (!live.running || samples == nullptr || count <= 0 || count > kResamplerMaxInput) return;
  const uint32_t now = platform_millis();
  if (live.frames++ == 0) live.first_frame_ms = live.last_frame_ms = now;
  if (!live.started && ms_since(now, live.first_frame_ms) >= static_cast<int32_t>(kLiveStartMs)) {
    live.started = 1;
    set_hold();
  }
  adapt_target(now, live.last_frame_ms);
  live.last_frame_ms = now;
  const LiveClock clock = live_ring_clock(live.ring);
  const uint64_t written = live_ring_written(live.ring);
  const double target = live.target;
  const LivePlay state = live_ring_state(live.ring);
  double ratio = 1.0;
  if (state == LivePlay::FadingIn || state == LivePlay::Playing) {
    // The samples ahead of this frame: those in the ring, less what the
    // card has played of its last pull since it took it.
    const double ahead = static_cast<double>(written - clock.read) - played_of_pull(clock, now) * kSamplesPerMs;
    if (ahead > target + kExcessSamples) {
      live_ring_cut(live.ring, written - static_cast<uint64_t>(live.target + kResumeExtra));
    }
    live.fill += (ahead - live.fill) * kFillSmoothing;
    ratio += kFillGain * (target - live.fill) / target;
  } else {
    live.fill = target;
  }
  live.ratio = std::clamp(ratio, 1.0 - kLiveMaxRateChange, 1.0 + kLiveMaxRateChange);
  int16_t out[kResamplerMaxInput * 2 + 2];
  const int32_t made = resampler_run(live.resampler, samples, count, live.ratio, out);
  if (live_ring_push(live.ring, out, made)) {
    live_ring_mark(live.ring, written, now);
  } else {
    live_ring_cut(live.ring, written);  // the card stopped taking: start afresh
  }
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
