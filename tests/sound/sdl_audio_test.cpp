// The SDL audio device on SDL's dummy drivers (no sound card needed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "sound/stream.h"

namespace {

class SdlAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (platform_init(PlatformBackend::Sdl, {}) != 1) GTEST_SKIP() << "no SDL dummy video driver";
  }
  void TearDown() override {
    platform_audio_close();
    platform_quit();
  }
};

TEST_F(SdlAudio, CallbackAdvancesThePlayPosition) {
  ASSERT_EQ(platform_audio_open(44100, 15876), 0);
  const std::vector<int16_t> chunk(2646, 777);
  EXPECT_EQ(platform_audio_write(10584, chunk.data(), 2646), 1);
  EXPECT_EQ(platform_audio_write(10586, chunk.data(), 2646), 0);  // past the end
  platform_audio_set_position(5292);
  ASSERT_EQ(platform_audio_play(), 1);
  uint32_t pos = 5292;
  for (int i = 0; i < 200 && pos == 5292; ++i) platform_sleep(10), pos = platform_audio_play_position();
  EXPECT_NE(pos, 5292u);
  EXPECT_LT(pos, 15876u);
  EXPECT_EQ(pos % 2, 0u);
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
  EXPECT_NE(err.find("running silent"), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  snd_init();
  EXPECT_EQ(snd.enabled, 0u);
}

}  // namespace
