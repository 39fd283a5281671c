#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/psg.h"
#include "sound/sound_frames.h"
#include "sound/stream.h"
#include "sound/vgm.h"

namespace {

constexpr int16_t kSentinel = -1;
constexpr uint32_t kChunkBytes = 5292;

class Stream : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(platform_init(PlatformBackend::Headless, {}), 1);
    headless_audio_fail_open(0);
    snd.line_phase = 0;
    snd.frame_pos = 0;
    snd.segment = 0;
    std::fill(std::begin(snd.staging), std::end(snd.staging), kSentinel);
    snd_init();
  }
  void TearDown() override {
    vgm.active = 0;  // no test leaves a "quav.vgm" behind
    snd_stop();
    snd_close();
    headless_audio_fail_open(0);
    headless_audio_set_wav(nullptr);
    platform_quit();
  }
  static std::vector<int16_t> ring_chunk(int chunk) {
    int bytes = 0;
    const uint8_t* ring = headless_audio_buffer(&bytes);
    EXPECT_EQ(bytes, 3 * static_cast<int>(kChunkBytes));
    std::vector<int16_t> out(kChunkBytes / 2);
    if (ring != nullptr) std::memcpy(out.data(), ring + chunk * kChunkBytes, kChunkBytes);
    return out;
  }
};

TEST_F(Stream, InitOpensAndPlaysInMono) {
  EXPECT_EQ(snd.enabled, 1u);
  EXPECT_EQ(snd.playing, 1u);
  EXPECT_EQ(snd.chunk_samples, 2646u);
  EXPECT_EQ(snd.bytes_per_sample, 2u);
  EXPECT_EQ(psg.stereo, 0u);
  EXPECT_EQ(psg.update_step, 12918u);
  snd_stop();
  EXPECT_EQ(psg.muted, 1u);
  EXPECT_EQ(snd.playing, 0u);
}

TEST_F(Stream, RunsFallEveryEighthLineAcrossFrames) {
  // A tone switched on after the second run is heard from sample 44 on.
  psg_write(0x8E);
  psg_write(0x0F);
  snd_frame_begin();
  for (int line = 0; line < 16; ++line) snd_line_done();
  EXPECT_EQ(snd.frame_pos, 44);
  psg_write(0x90);
  for (int line = 16; line < kTestLinesPerFrame; ++line) snd_line_done();
  EXPECT_EQ(snd.frame_pos, 858);
  snd_frame_end(1);
  for (int i = 0; i < 44; ++i) ASSERT_EQ(snd.staging[i], 0) << i;
  EXPECT_EQ(snd.staging[44], 8769);
  EXPECT_NE(snd.staging[881], kSentinel);
  EXPECT_EQ(snd.staging[882], kSentinel);
  EXPECT_EQ(snd.segment, 1);

  // The line counter runs on: 5 lines left over make the next run come
  // after 3 lines of the new frame.
  snd.line_phase = 5;
  snd_frame_begin();
  for (int line = 0; line < 3; ++line) snd_line_done();
  EXPECT_EQ(snd.frame_pos, 22);
  EXPECT_NE(snd.staging[882 + 21], kSentinel);
  EXPECT_EQ(snd.staging[882 + 22], kSentinel);
}

TEST_F(Stream, FrameEndMakesTheRemainder) {
  psg_write(0x8E);
  psg_write(0x0F);
  snd_frame_begin();
  for (int line = 0; line < kTestLinesPerFrame; ++line) snd_line_done();
  psg_write(0x90);
  snd_frame_end(1);
  for (int i = 0; i < 858; ++i) ASSERT_EQ(snd.staging[i], 0) << i;
  EXPECT_EQ(snd.staging[858], 8769);
  // A frame already full makes nothing more and logs no wait.
  snd.segment = 0;
  vgm_start();
  snd.frame_pos = 882;
  snd.staging[858] = kSentinel;
  snd_frame_end(1);
  EXPECT_EQ(snd.staging[858], kSentinel);
  EXPECT_EQ(vgm.length, 0);
}

TEST_F(Stream, ChunkIsChosenByThePlayPosition) {
  const std::vector<int16_t> chunk(2646, 1234);
  const std::vector<int16_t> zero(2646, 0);
  struct Case {
    uint32_t play;
    int chunk;
  };
  for (const Case c : {Case{0, 2}, Case{5292, 0}, Case{15000, 1}}) {
    snd_open(44100, 0, 60);  // a fresh, empty ring
    platform_audio_set_position(c.play);
    snd_write_chunk(chunk.data(), 2646);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(ring_chunk(k), k == c.chunk ? chunk : zero) << c.play << " " << k;
  }
}

TEST_F(Stream, CatchUpFramesDoNotDeliver) {
  psg_write(0x8E);
  psg_write(0x0F);
  psg_write(0x90);
  for (int f = 0; f < 3; ++f) run_sound_frame(0);
  const std::vector<int16_t> zero(2646, 0);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(ring_chunk(k), zero);
  for (int f = 0; f < 3; ++f) run_sound_frame(f == 2 ? 1 : 0);
  const std::vector<int16_t> staged(snd.staging, snd.staging + 2646);
  EXPECT_EQ(ring_chunk(2), staged);
  EXPECT_EQ(ring_chunk(0), zero);
}

TEST_F(Stream, FailedOpenRunsSilentButLogsTime) {
  snd_close();
  for (int code : {100, 110, 120}) {
    headless_audio_fail_open(code);
    EXPECT_EQ(snd_open(44100, 0, 60), code);
  }
  snd_init();
  EXPECT_EQ(snd.enabled, 0u);
  EXPECT_EQ(snd.buffer_ready, 0u);
  EXPECT_EQ(headless_audio_buffer(nullptr), nullptr);
  psg_write(0x90);  // the generator still takes writes
  EXPECT_EQ(psg.volume[0], 10922);
  vgm_start();
  for (int f = 0; f < 50; ++f) run_sound_frame(1);
  EXPECT_EQ(le32(std::vector<uint8_t>(vgm.header, vgm.header + 64), 0x18), 44100u);
  EXPECT_EQ(snd.segment, 50 % 3);
  EXPECT_TRUE(std::all_of(std::begin(snd.staging), std::end(snd.staging), [](int16_t s) { return s == kSentinel; }));
}

TEST_F(Stream, StereoIsRefused) {
  EXPECT_EQ(snd_open(44100, 1, 60), 111);
  EXPECT_EQ(snd.bytes_per_sample, 4u);
  EXPECT_EQ(snd.buffer_ready, 0u);
}

TEST_F(Stream, HeadlessWavHoldsEveryDeliveredChunk) {
  const std::string path = scratch_path("out.wav");
  headless_audio_set_wav(path.c_str());
  snd_init();
  psg_write(0x8E);
  psg_write(0x0F);
  psg_write(0x90);
  std::vector<int16_t> delivered;
  for (int f = 0; f < 9; ++f) {
    run_sound_frame(f < 3 ? 0 : 1);
    if (f >= 3 && snd.segment == 0) delivered.insert(delivered.end(), snd.staging, snd.staging + 2646);
  }
  snd_close();
  const std::vector<uint8_t> wav = read_file(path);
  ASSERT_EQ(wav.size(), 44 + 2 * delivered.size());
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(le32(wav, 4), wav.size() - 8);
  EXPECT_EQ(le32(wav, 24), 44100u);
  EXPECT_EQ(wav[22], 1);  // mono
  EXPECT_EQ(wav[34], 16);
  EXPECT_EQ(le32(wav, 40), 2 * delivered.size());
  EXPECT_EQ(std::memcmp(wav.data() + 44, delivered.data(), 2 * delivered.size()), 0);
}

}  // namespace
