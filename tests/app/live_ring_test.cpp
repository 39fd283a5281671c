// The live sound's ring and resampler on their own: what the reader keeps
// and drops at a start, a pause and a load, the latencies it measures, and
// the shape of resampled waves. That no start, stop or dry spell clicks, and
// the under-runs, are heard through the whole window loop
// (live_device_test.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

#include "app/live_ring.h"
#include "app/resampler.h"

namespace {

using Samples = std::vector<int16_t>;
constexpr int16_t kLevel = 8820;
constexpr int kFade = kLiveFadeSamples;

// A fade of `out` from `from` to `to` over the 10 ms from sample `at`: it
// starts within a step of `from`, moves only towards `to` by at most a step
// at a time, and ends on `to`.
void expect_fade(const Samples& out, int at, int from, int to) {
  const int step = std::abs(to - from) / kFade + 1;
  EXPECT_LE(std::abs(out[at] - from), step) << "the fade starts at " << out[at];
  for (int k = at + 1; k < at + kFade; ++k) {
    const int moved = (out[k] - out[k - 1]) * (to > from ? 1 : -1);
    ASSERT_TRUE(moved >= 0 && moved <= step) << "sample " << k << ": " << out[k - 1] << " to " << out[k];
  }
  EXPECT_EQ(out[at + kFade - 1], to);
}

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
// fades in.
TEST_F(Ring, AStartKeepsTheFreshestSamplesAndFadesIn) {
  push(1000, 1);  // older than what is kept
  push(3000);
  EXPECT_EQ(pull(512), Samples(512, 0)) << "held";
  EXPECT_EQ(fill(), 1512u) << "the wait is kept short";
  ring.hold.store(0);
  const Samples out = pull(512);
  expect_fade(out, 0, 0, kLevel);
  EXPECT_EQ(Samples(out.begin() + kFade, out.end()), Samples(512 - kFade, kLevel));
  EXPECT_EQ(std::pair(fill(), live_ring_state(ring)), std::pair(uint64_t{1000}, LivePlay::Playing));
}

// Pause: a fade to silence, what is queued dropped, silence while held. A
// load: the old sound fades out and nothing of it is heard after; the new
// one fades in.
TEST_F(Ring, PauseAndLoadDropTheOldSound) {
  ring.hold.store(0);
  push(2000);
  pull(512);
  ring.hold.store(1);
  live_ring_cut(ring, ring.written.load());
  Samples out = pull(1024);
  expect_fade(out, 0, kLevel, 0);
  EXPECT_EQ(fill(), 0u);
  push(2000);
  EXPECT_EQ(pull(512), Samples(512, 0)) << "paused";
  ring.hold.store(0);
  pull(512);

  push(600);
  live_ring_cut(ring, ring.written.load());
  push(2000, -kLevel);  // the new machine
  out = pull(2048);
  expect_fade(out, 0, kLevel, 0);
  for (int k = kFade; k < 2048; ++k) ASSERT_LE(out[k], 0) << "the old sound at " << k;
  expect_fade(pull(512), 0, 0, -kLevel);
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
  EXPECT_EQ(std::tuple(clock.pulled, clock.read, clock.time_ms), std::tuple(1024u, ring.read.load(), 145u));
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
  Samples late(2, 0);
  late.insert(late.end(), in.begin(), in.end() - 2);
  EXPECT_EQ(Samples(out.begin(), out.begin() + 882), late);

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
