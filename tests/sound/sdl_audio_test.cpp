// The SDL audio device, run on SDL's dummy drivers (no sound card needed):
// the callback plays the looping buffer and the play position moves; a
// host without an audio driver gives step 100 and a running, silent stream.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "sound/stream.h"

namespace {

constexpr int kBufferBytes = 15876;

class SdlAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (platform_init(PlatformBackend::Sdl, {}) != 1) GTEST_SKIP() << "SDL's dummy video driver is missing";
  }
  void TearDown() override {
    platform_audio_close();
    platform_quit();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_VIDEODRIVER");
  }
};

TEST_F(SdlAudio, CallbackAdvancesThePlayPosition) {
  ASSERT_EQ(platform_audio_open(44100, kBufferBytes), 0);
  const std::vector<int16_t> chunk(2646, 777);
  EXPECT_EQ(platform_audio_write(2 * 5292, chunk.data(), 2646), 1);
  EXPECT_EQ(platform_audio_write(2 * 5292 + 2, chunk.data(), 2646), 0);  // past the end
  platform_audio_set_position(5292);
  EXPECT_EQ(platform_audio_play_position(), 5292u);
  ASSERT_EQ(platform_audio_play(), 1);
  // The device plays 88,200 bytes a second; wait up to 2 s for a move.
  uint32_t pos = 5292;
  for (int i = 0; i < 200 && pos == 5292; ++i) {
    platform_sleep(10);
    pos = platform_audio_play_position();
  }
  EXPECT_NE(pos, 5292u);
  EXPECT_LT(pos, static_cast<uint32_t>(kBufferBytes));
  EXPECT_EQ(pos % 2, 0u);
  ASSERT_EQ(platform_audio_stop(), 1);
  platform_sleep(50);
  const uint32_t stopped = platform_audio_play_position();
  platform_sleep(50);
  EXPECT_EQ(platform_audio_play_position(), stopped);
}

TEST_F(SdlAudio, NoDriverMeansStep100AndSilence) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  ::testing::internal::CaptureStderr();
  snd_init();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(snd_open(44100, 0, 60), 100);
  EXPECT_EQ(snd.enabled, 0u);
  EXPECT_NE(err.find("running silent"), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
  snd_frame_begin();
  snd_frame_end(1);  // runs on without a device
  snd_close();
}

}  // namespace
