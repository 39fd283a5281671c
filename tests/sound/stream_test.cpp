#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/headless/headless.h"
#include "sound/psg.h"
#include "sound/sound_frames.h"
#include "sound/vgm.h"

namespace {

constexpr int16_t kSentinel = -1;
constexpr uint32_t kChunkBytes = 5292;

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
    headless_audio_set_wav(nullptr);
    platform_quit();
  }
  static std::vector<int16_t> ring_chunk(int chunk) {
    const uint8_t* ring = headless_audio_buffer(nullptr);
    std::vector<int16_t> out(kChunkBytes / 2);
    std::memcpy(out.data(), ring + chunk * kChunkBytes, kChunkBytes);
    return out;
  }
};

TEST_F(Stream, RunsFallEveryEighthLineAcrossFrames) {
  EXPECT_EQ(snd.enabled, 1u);
  EXPECT_EQ(snd.playing, 1u);
  EXPECT_EQ(snd.chunk_samples, 2646u);
  snd_frame_begin();
  for (int line = 0; line < 16; ++line) snd_line_done();
  psg_write(0x90);  // heard from the third run on: sample 44
  for (int line = 16; line < kTestLinesPerFrame; ++line) snd_line_done();
  EXPECT_EQ(snd.frame_pos, 858);
  snd_frame_end(1);
  EXPECT_EQ(std::count(snd.staging, snd.staging + 44, 0), 44);
  EXPECT_EQ(snd.staging[44], 8769);
  EXPECT_NE(snd.staging[881], kSentinel);
  EXPECT_EQ(snd.staging[882], kSentinel);

  snd.line_phase = 5;  // the counter runs on: the next run comes after 3 lines
  snd_frame_begin();
  for (int line = 0; line < 3; ++line) snd_line_done();
  EXPECT_EQ(snd.frame_pos, 22);
  EXPECT_NE(snd.staging[882 + 21], kSentinel);
  EXPECT_EQ(snd.staging[882 + 22], kSentinel);

  psg_init(3579545, 44100, 0);  // the remainder: 24 samples at 858
  for (uint8_t b : {0x8E, 0x0F}) psg_write(b);
  snd.segment = snd.line_phase = 0;
  snd_frame_begin();
  for (int line = 0; line < kTestLinesPerFrame; ++line) snd_line_done();
  psg_write(0x90);
  snd_frame_end(1);
  EXPECT_EQ(std::count(snd.staging, snd.staging + 858, 0), 858);
  EXPECT_EQ(snd.staging[858], 8769);

  snd.segment = 0;  // a full frame makes nothing more and logs no wait
  snd.frame_pos = 882;
  vgm_start();
  snd.staging[858] = kSentinel;
  snd_frame_end(1);
  EXPECT_EQ(snd.staging[858], kSentinel);
  EXPECT_EQ(vgm.length, 0);
}

TEST_F(Stream, ChunkIsChosenByThePlayPosition) {
  const std::vector<int16_t> chunk(2646, 1234), zero(2646, 0);
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
  for (int k = 0; k < 3; ++k) EXPECT_EQ(ring_chunk(k), std::vector<int16_t>(2646, 0));
  for (int f = 0; f < 3; ++f) run_sound_frame(f == 2 ? 1 : 0);
  EXPECT_EQ(ring_chunk(2), std::vector<int16_t>(snd.staging, snd.staging + 2646));
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
  EXPECT_EQ(le32(std::vector<uint8_t>(vgm.header, vgm.header + 64), 0x18), 44100u);
  EXPECT_EQ(snd.segment, 50 % 3);
  EXPECT_EQ(std::count(std::begin(snd.staging), std::end(snd.staging), kSentinel), 2 * 2646);
}

TEST_F(Stream, HeadlessWavHoldsEveryDeliveredChunk) {
  const std::string path = scratch_path("out.wav");
  headless_audio_set_wav(path.c_str());
  snd_init();
  for (uint8_t b : {0x8E, 0x0F, 0x90}) psg_write(b);
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
  EXPECT_EQ(le32(wav, 40), 2 * delivered.size());
  EXPECT_EQ(std::memcmp(wav.data() + 44, delivered.data(), 2 * delivered.size()), 0);
}

}  // namespace
