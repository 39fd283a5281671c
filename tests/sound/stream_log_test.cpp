// The audio stream, the window's sound output it feeds and the VGM logger it
// times, and a logged tone played by libgme.
#include <gme/gme.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "app/machine_files.h"
#include "app/sound_out.h"
#include "platform/headless/headless.h"
#include "sound/psg.h"
#include "sound/stream.h"
#include "sound/vgm.h"

namespace {

constexpr int16_t kSentinel = -1;
using Samples = std::vector<int16_t>;
using Bytes = std::vector<uint8_t>;

uint32_t le32(const uint8_t* b) { return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24; }

void run_frame(int deliver, int writes_per_line = 0) {
  snd_frame_begin();
  for (int line = 0; line < 312; ++line) {
    for (int w = 0; w < writes_per_line; ++w) vgm_log_psg_write(static_cast<uint8_t>(0x80 | w));
    snd_line_done();
  }
  snd_deliver(MachineFrame{{}, snd_frame_end()}, deliver);
}

class Stream : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(platform_init(PlatformBackend::Headless, {}), 1);
    snd.line_phase = snd.frame_pos = snd.segment = 0;
    std::fill(std::begin(snd.staging), std::end(snd.staging), kSentinel);
    psg_init(3579545, 44100, 0);  // the generator as the machine powers on
    snd_init(60);
    for (uint8_t b : {0x8E, 0x0F}) psg_write(b);  // tone 0 ready, still silent
    std::filesystem::remove(path);
  }
  void TearDown() override {
    vgm.active = 0;  // no test leaves a "quav.vgm" behind
    snd_close();
    headless_audio_fail_open(0);
    platform_quit();
  }
  static Samples ring_chunk(int k) {
    Samples out(2646);
    std::memcpy(out.data(), headless_audio_buffer(nullptr) + k * 5292, 5292);
    return out;
  }
  Bytes log_file() const { return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}}; }
  const std::string path =
      ::testing::TempDir() + "quav_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".vgm";
};

TEST_F(Stream, RunsFallEveryEighthLineAcrossFrames) {
  ASSERT_EQ(snd_out.enabled + snd_out.playing + snd_out.chunk_samples, 2u + 2646u);
  snd_frame_begin();
  for (int line = 1; line <= 312; ++line) {
    snd_line_done();
    ASSERT_EQ(snd.frame_pos, 22 * (line / 8)) << "after line " << line;
    if (line == 16) psg_write(0x90);  // heard from the third run on: sample 44
  }
  snd_frame_end();  // the last 24 at 858
  EXPECT_EQ(std::count(snd.staging, snd.staging + 44, 0), 44);
  EXPECT_EQ(snd.staging[44], 8769);
  EXPECT_TRUE(snd.staging[881] != kSentinel && snd.staging[882] == kSentinel) << "882 samples in the frame";
  snd.line_phase = 5;  // the counter runs on: the next run comes after 3 lines
  snd_frame_begin();
  for (int line = 0; line < 3; ++line) snd_line_done();
  EXPECT_EQ(snd.frame_pos, 22);
  snd.frame_pos = 882;  // a full frame makes nothing more and logs no wait
  vgm_start();
  snd_frame_end();
  EXPECT_EQ(snd.staging[882 + 22], kSentinel);
  EXPECT_EQ(vgm.length, 0);
}

TEST_F(Stream, ChunkByPlayPositionNoneInCatchUpOrAfterAFailedOpen) {
  const Samples chunk(2646, 1234), zero(2646, 0);
  for (const auto& [play, target] : {std::pair{0u, 2}, {5292u, 0}, {15000u, 1}}) {
    snd_open(44100, 0, 60);  // a fresh, empty ring
    platform_audio_set_position(play);
    snd_write_chunk(chunk.data(), 2646);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(ring_chunk(k), k == target ? chunk : zero) << play << " " << k;
  }
  EXPECT_EQ(snd_open(44100, 1, 60), 111);  // the host's output is mono only
  snd_init(60);  // fresh ring, play position 0: chunks go to the third
  psg_write(0x90);
  for (int f = 0; f < 3; ++f) run_frame(0);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(ring_chunk(k), zero) << "catch-up delivered chunk " << k;
  for (int f = 0; f < 3; ++f) run_frame(f == 2 ? 1 : 0);
  EXPECT_EQ(ring_chunk(2), Samples(snd.staging, snd.staging + 2646));
  for (int code : {100, 110, 120}) {
    headless_audio_fail_open(code);
    EXPECT_EQ(snd_open(44100, 0, 60), code);
  }
  snd_init(60);  // a failed open runs silent but logs the time
  EXPECT_EQ(std::tuple(snd_out.enabled, snd.making), std::tuple(0u, 0u));
  std::fill(std::begin(snd.staging), std::end(snd.staging), kSentinel);
  vgm_start();
  for (int f = 0; f < 50; ++f) run_frame(1);
  EXPECT_EQ(le32(vgm.header + 0x18), 44100u);
  EXPECT_EQ(std::count(std::begin(snd.staging), std::end(snd.staging), kSentinel), 2 * 2646);
}

// The file of `frames` frames with `writes` sound writes before every line,
// laid out as the format says.
Bytes expected_log(uint32_t frames, uint8_t writes) {
  Bytes body;
  for (uint32_t f = 0; f < frames; ++f) {
    for (int line = 1; line <= 312; ++line) {
      for (uint8_t w = 0; w < writes; ++w) body.insert(body.end(), {0x50, static_cast<uint8_t>(0x80 | w)});
      if (line % 8 == 0) body.insert(body.end(), {0x61, 22, 0});
    }
    body.insert(body.end(), {0x61, 24, 0});
  }
  body.push_back(0x66);
  Bytes file(64, 0);
  const uint32_t fields[] = {0x206D6756 /* "Vgm " */, static_cast<uint32_t>(60 + body.size()), 0x100, 3579545, 0, 0, 882 * frames};
  for (size_t i = 0; i < 4 * std::size(fields); ++i) file[i] = static_cast<uint8_t>(fields[i / 4] >> (8 * (i % 4)));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

TEST_F(Stream, LogFilesStopsRestartsAndLongLogs) {
  vgm_stop(path.c_str());  // inactive: no file, and nothing is logged
  const int32_t length = vgm.length;
  vgm_log_wait(22);
  EXPECT_EQ(vgm.length, length);
  EXPECT_FALSE(std::filesystem::exists(path));
  vgm_start();
  run_frame(1);
  vgm_stop(path.c_str());
  const Bytes file = log_file();  // one silent frame
  ASSERT_EQ(file.size(), 185u);
  EXPECT_EQ(le32(&file[4]) << 16 | le32(&file[0x18]), 181u << 16 | 882u);
  EXPECT_EQ(file, expected_log(1, 0));
  std::filesystem::remove(path);
  vgm_start();
  run_frame(1);
  vgm_stop("/nonexistent-quav-dir/quav.vgm");  // discarded silently
  vgm_stop(path.c_str());
  EXPECT_FALSE(std::filesystem::exists(path));
  vgm_start();
  for (int f = 0; f < 3; ++f) run_frame(1);
  vgm_stop(path.c_str());
  vgm_start();  // the second log replaces the first; each write falls before the next wait
  run_frame(1, 1);
  vgm_stop(path.c_str());
  EXPECT_EQ(log_file(), expected_log(1, 1));
  vgm_start();
  for (int n : {735, 882, 0x1234}) vgm_log_wait(n);
  EXPECT_EQ(Bytes(vgm.data.begin(), vgm.data.begin() + vgm.length), (Bytes{0x62, 0x63, 0x61, 0x34, 0x12}));
  vgm_start();  // a log past 2 MB stays whole
  uint32_t frames = 0;
  for (; vgm.length < 3 * kVgmDataStep; ++frames) run_frame(1, 8);
  vgm_stop(path.c_str());
  EXPECT_TRUE(log_file() == expected_log(frames, 8)) << frames << " frames";
}

TEST_F(Stream, LibgmePlaysALoggedToneAtItsLengthAndPitch) {
  vgm_start();
  for (uint8_t b : {0x8E, 0x0F, 0x90}) vgm_log_psg_write(b);  // tone 0, period 254
  for (int f = 0; f < 50; ++f) run_frame(1);
  vgm_log_psg_write(0x9F);
  vgm_stop(path.c_str());
  Music_Emu* emu = nullptr;
  ASSERT_EQ(gme_open_file(path.c_str(), &emu, 44100), nullptr);
  ASSERT_EQ(gme_start_track(emu, 0), nullptr);
  std::vector<double> mono;
  for (short buf[882]; mono.size() < 44100 * 6 / 5;) {
    ASSERT_EQ(gme_play(emu, 882, buf), nullptr);
    for (int i = 0; i < 882; i += 2) mono.push_back((buf[i] + buf[i + 1]) / 2.0);
  }
  gme_delete(emu);
  double mean = 0, first = -1, last = -1, rises = 0, silence_at = 0;  // the 0x9F write, at one second
  for (double v : mono) mean += v / static_cast<double>(mono.size());
  for (size_t i = 1; i < mono.size(); ++i) {
    if (std::abs(mono[i] - mono[i - 1]) > 2000) silence_at = static_cast<double>(i);
    const double a = mono[i - 1] - mean, b = mono[i] - mean;
    if (i < 44100 / 20 || i > 44100 * 19 / 20 || a >= 0 || b < 0) continue;
    last = static_cast<double>(i - 1) + a / (a - b);  // rising crossings, interpolated
    if (rises++ == 0) first = last;
  }
  EXPECT_NEAR(silence_at, 44100, 50);
  // The player's own clock rounding puts it about 0.2 Hz high.
  EXPECT_NEAR((rises - 1) * 44100 / (last - first), 3579545.0 / (32 * 254), 0.5);
}

// No SDL audio driver: one line on stderr, and the stream runs silent.
TEST(SdlAudio, NoDriverRunsSilentWithOneLine) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  if (platform_init(PlatformBackend::Sdl, {}) != 1) GTEST_SKIP() << "no SDL dummy video driver";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(snd_open(44100, 0, 60), 100);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(err.find("running silent") != std::string::npos && err.find('\n') == err.size() - 1) << err;
  platform_quit();
}

}  // namespace
