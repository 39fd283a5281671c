// The audio stream: the run schedule, the staging buffer, the chunk placed by
// the play position, catch-up frames, the silent run without a device; and
// the SDL audio device on SDL's dummy drivers (no sound card needed).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/headless/headless.h"
#include "sound/psg.h"
#include "sound/sound_frames.h"
#include "sound/vgm.h"

namespace {

constexpr int16_t kSentinel = -1;
using Samples = std::vector<int16_t>;

class Stream : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(platform_init(PlatformBackend::Headless, {}), 1);
    snd.line_phase = snd.frame_pos = snd.segment = 0;
    std::fill(std::begin(snd.staging), std::end(snd.staging), kSentinel);
    snd_init();
    for (uint8_t b : {0x8E, 0x0F}) psg_write(b);  // tone 0 ready, still silent
  }
  void TearDown() override {
    vgm.active = 0;  // no test leaves a "quav.vgm" behind
    snd_close();
    headless_audio_fail_open(0);
    platform_quit();
  }
  static Samples ring_chunk(int chunk) {
    Samples out(2646);
    std::memcpy(out.data(), headless_audio_buffer(nullptr) + chunk * 5292, 5292);
    return out;
  }
};

TEST_F(Stream, RunsFallEveryEighthLineAcrossFrames) {
  ASSERT_EQ(snd.enabled + snd.playing + snd.chunk_samples, 2u + 2646u);
  snd_frame_begin();
  for (int line = 1; line <= 312; ++line) {
    snd_line_done();
    ASSERT_EQ(snd.frame_pos, 22 * (line / 8)) << "after line " << line;
    if (line == 16) psg_write(0x90);  // heard from the third run on: sample 44
  }
  snd_frame_end(1);  // the last 24 at 858
  EXPECT_EQ(std::count(snd.staging, snd.staging + 44, 0), 44);
  EXPECT_EQ(snd.staging[44], 8769);
  EXPECT_NE(snd.staging[881], kSentinel);
  EXPECT_EQ(snd.staging[882], kSentinel);

  snd.line_phase = 5;  // the counter runs on: the next run comes after 3 lines
  snd_frame_begin();
  for (int line = 0; line < 3; ++line) snd_line_done();
  EXPECT_EQ(snd.frame_pos, 22);
  EXPECT_EQ(snd.staging[882 + 22], kSentinel);

  snd.frame_pos = 882;  // a full frame makes nothing more and logs no wait
  vgm_start();
  snd_frame_end(1);
  EXPECT_EQ(snd.staging[882 + 22], kSentinel);
  EXPECT_EQ(vgm.length, 0);
}

TEST_F(Stream, ChunkIsChosenByThePlayPosition) {
  const Samples chunk(2646, 1234), zero(2646, 0);
  for (const auto& [play, target] : {std::pair{0u, 2}, {5292u, 0}, {15000u, 1}}) {
    snd_open(44100, 0, 60);  // a fresh, empty ring
    platform_audio_set_position(play);
    snd_write_chunk(chunk.data(), 2646);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(ring_chunk(k), k == target ? chunk : zero) << play << " " << k;
  }
  EXPECT_EQ(snd_open(44100, 1, 60), 111);  // the host's output is mono only
}

TEST_F(Stream, CatchUpFramesDoNotDeliver) {
  psg_write(0x90);
  for (int f = 0; f < 3; ++f) run_sound_frame(0);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(ring_chunk(k), Samples(2646, 0));
  for (int f = 0; f < 3; ++f) run_sound_frame(f == 2 ? 1 : 0);
  EXPECT_EQ(ring_chunk(2), Samples(snd.staging, snd.staging + 2646));
}

TEST_F(Stream, FailedOpenRunsSilentButLogsTime) {
  for (int code : {100, 110, 120}) {
    headless_audio_fail_open(code);
    EXPECT_EQ(snd_open(44100, 0, 60), code);
  }
  snd_init();
  EXPECT_EQ(snd.enabled, 0u);
  psg_write(0x90);
  EXPECT_EQ(psg.volume[0], 10922);  // the generator still takes writes
  vgm_start();
  for (int f = 0; f < 50; ++f) run_sound_frame(1);
  EXPECT_EQ(le32(vgm.header + 0x18), 44100u);
  EXPECT_EQ(std::count(std::begin(snd.staging), std::end(snd.staging), kSentinel), 2 * 2646);
}

class SdlAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (platform_init(PlatformBackend::Sdl, {}) != 1) GTEST_SKIP() << "no SDL dummy video driver";
  }
  void TearDown() override { platform_audio_close(), platform_quit(); }
};

TEST_F(SdlAudio, CallbackAdvancesThePlayPositionUntilStopped) {
  ASSERT_EQ(platform_audio_open(44100, 15876), 0);
  const Samples chunk(2646, 777);
  EXPECT_EQ(platform_audio_write(10584, chunk.data(), 2646), 1);
  EXPECT_EQ(platform_audio_write(10586, chunk.data(), 2646), 0);  // past the end
  platform_audio_set_position(5292);
  ASSERT_EQ(platform_audio_play(), 1);
  uint32_t pos = 5292;
  for (int i = 0; i < 200 && pos == 5292; ++i) platform_sleep(10), pos = platform_audio_play_position();
  EXPECT_TRUE(pos != 5292 && pos < 15876 && pos % 2 == 0) << pos;
  ASSERT_EQ(platform_audio_stop(), 1);
  platform_sleep(50);
  pos = platform_audio_play_position();
  platform_sleep(50);
  EXPECT_EQ(platform_audio_play_position(), pos);
}

TEST_F(SdlAudio, NoDriverMeansOneLineAndSilence) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(snd_open(44100, 0, 60), 100);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(err.find("running silent") != std::string::npos && err.find('\n') == err.size() - 1) << err;
  snd_init();
  EXPECT_EQ(snd.enabled, 0u);
}

}  // namespace
