// The live sound's ring and resampler on their own: the fades the reader
// makes at every start and stop, the latencies it measures, and the shape of
// resampled waves.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "app/live_ring.h"
#include "app/resampler.h"

namespace {

using Samples = std::vector<int16_t>;
constexpr int16_t kLevel = 8820;  // 20 a fade step
constexpr int kFade = kLiveFadeSamples;

// A fade from `from` to `to` over kFade samples, as the reader makes it.
int16_t ramp(int from, int to, int k) { return static_cast<int16_t>(from + (to - from) * (k + 1) / kFade); }

class Ring : public ::testing::Test {
 protected:
  void SetUp() override {
    live_ring_reset(ring);
    ring.resume_fill.store(1000);
  }
  void push(int count, int16_t value = kLevel) { ASSERT_TRUE(live_ring_push(ring, Samples(count, value).data(), count)); }
  Samples pull(int count, uint32_t now_ms = 0) {
    Samples out(count);
    live_ring_pull(ring, out.data(), count, now_ms);
    return out;
  }
  uint64_t fill() const { return ring.written.load() - ring.read.load(); }
  // The ring is 32 KB of samples and atomics: on the heap.
  std::unique_ptr<LiveRing> owned = std::make_unique<LiveRing>();
  LiveRing& ring = *owned;
};

// Held silent at first, the reader starts once released and the ring holds
// its resume fill and a pull: it keeps only the freshest of what waited and
// fades in over 10 ms.
TEST_F(Ring, StartsSilentThenFadesInOnTheFreshestSamples) {
  push(1000, 1);  // older than what is kept
  push(3000);
  EXPECT_EQ(pull(512), Samples(512, 0)) << "held";
  EXPECT_EQ(fill(), 1512u) << "the wait is kept short";
  ring.hold.store(0);
  const Samples out = pull(512);
  for (int k = 0; k < 512; ++k) ASSERT_EQ(out[k], k < kFade ? ramp(0, kLevel, k) : kLevel) << k;
  EXPECT_EQ(fill(), 1000u);
  EXPECT_EQ(live_ring_state(ring), LivePlay::Playing);
}

// Pause: a fade to silence, what is queued dropped, silence while held; then
// the sound comes back with a fade. A load: the old sound fades out, the new
// one fades in after it; nothing of the old is heard after its fade.
TEST_F(Ring, PauseAndLoadFadeOutDropAndFadeIn) {
  ring.hold.store(0);
  push(2000);
  pull(512);
  ring.hold.store(1);
  live_ring_cut(ring, ring.written.load());
  Samples out = pull(1024);
  for (int k = 0; k < 1024; ++k) ASSERT_EQ(out[k], k < kFade ? ramp(kLevel, 0, k) : 0) << k;
  EXPECT_EQ(fill(), 0u);
  push(2000);
  EXPECT_EQ(pull(512), Samples(512, 0)) << "paused";
  ring.hold.store(0);
  out = pull(512);
  EXPECT_EQ(out[0], ramp(0, kLevel, 0));
  EXPECT_EQ(out[kFade], kLevel);

  push(600);
  live_ring_cut(ring, ring.written.load());
  push(2000, -kLevel);  // the new machine
  out = pull(2048);
  for (int k = 0; k < 2048; ++k) {
    if (k < kFade) {
      ASSERT_EQ(out[k], ramp(kLevel, 0, k)) << k;
    } else if (out[k] > 0) {
      FAIL() << "the old sound at " << k;
    }
  }
  out = pull(512);
  EXPECT_EQ(out[0], ramp(0, -kLevel, 0)) << "the new sound fades in";
}

// A dry ring lets the last sample fall to silence over 10 ms and counts one
// under-run; a fade-out that runs dry falls from where it stands, over what
// is left of it. Refilled, the sound fades in again.
TEST_F(Ring, ADryRingFallsToSilence) {
  ring.hold.store(0);
  push(1512);
  pull(512);
  pull(512);
  Samples out = pull(1024);
  for (int k = 0; k < 1024; ++k) {
    const int16_t want = k < 488 ? kLevel : k < 488 + kFade ? static_cast<int16_t>(kLevel * (kFade - (k - 488)) / kFade) : 0;
    ASSERT_EQ(out[k], want) << k;
  }
  EXPECT_EQ(ring.underruns.load(), 1u);
  push(1512);
  out = pull(512);
  EXPECT_EQ(out[0], ramp(0, kLevel, 0));
  pull(900);
  live_ring_cut(ring, ring.written.load());
  out = pull(512);  // 100 samples of the fade-out's first 441, then the fall
  EXPECT_EQ(out[99], ramp(kLevel, 0, 99));
  EXPECT_EQ(out[100], out[99]);
  for (int k = 101; k < 512; ++k) ASSERT_LE(out[k], out[k - 1]) << k;
  EXPECT_EQ(out[99 + kFade - 100 + 1], 0);
  EXPECT_EQ(ring.underruns.load(), 1u) << "a fade that runs dry is not an under-run";
}

// Each frame is timed from its hand-over to the pull that takes its first
// sample; frames dropped unheard are not timed. The device's clock is
// published with every pull.
TEST_F(Ring, TimesFramesAndPublishesTheDevicesClock) {
  ring.resume_fill.store(1600 - 512);  // starts on all four frames
  ring.hold.store(0);
  for (uint32_t frame = 0; frame < 4; ++frame) {
    live_ring_mark(ring, ring.written.load(), 100 + 20 * frame);
    push(400);
  }
  pull(512, 130);  // takes the first samples of frames 0 and 1
  live_ring_cut(ring, ring.written.load() - 100);
  pull(512, 145);  // fades out over frames 1 and 2, then drops frame 3 unheard
  EXPECT_EQ(ring.timed_frames.load(), 3u);
  EXPECT_EQ(ring.latency_sum_ms.load(), 30u + 10u + 5u);
  EXPECT_EQ(ring.latency_max_ms.load(), 30u);
  const LiveClock clock = live_ring_clock(ring);
  EXPECT_EQ(clock.pulled, 1024u);
  EXPECT_EQ(clock.read, ring.read.load());
  EXPECT_EQ(clock.time_ms, 145u);
  EXPECT_FALSE(live_ring_push(ring, Samples(kLiveRingSamples, 0).data(), kLiveRingSamples)) << "no room";
}

// At ratio 1 the resampler hands the input on unchanged (two samples late);
// at the ratios in use a sine comes out as the same sine on the scaled time
// axis, seamless across frames, with ratio times as many samples.
TEST(Resampler, KeepsAWavesShapeAcrossFrames) {
  Resampler r;
  Samples in(882), out(2000);
  for (int i = 0; i < 882; ++i) in[i] = static_cast<int16_t>(i * 37 - 16000);
  ASSERT_EQ(resampler_run(r, in.data(), 882, 1.0, out.data()), 882);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0);
  for (int i = 2; i < 882; ++i) ASSERT_EQ(out[i], in[i - 2]) << i;

  for (const double ratio : {0.95, 1.05}) {
    resampler_reset(r);
    const auto sine = [](double t) { return 10000.0 * std::sin(2 * std::numbers::pi * 440.0 * t / 44100.0); };
    int64_t made = 0;
    for (int frame = 0; frame < 100; ++frame) {
      for (int i = 0; i < 882; ++i) in[i] = static_cast<int16_t>(std::lround(sine(frame * 882 + i)));
      const int32_t n = resampler_run(r, in.data(), 882, ratio, out.data());
      for (int j = 0; j < n; ++j) {
        const double t = static_cast<double>(made + j) / ratio - 2.0;  // in input samples
        if (t < 1.0) continue;  // the silence before the first frame still counts
        ASSERT_NEAR(out[j], sine(t), 2.0) << "ratio " << ratio << ", output " << made + j;
      }
      made += n;
    }
    EXPECT_NEAR(static_cast<double>(made), 88200 * ratio, 2.0);
  }
}

}  // namespace
