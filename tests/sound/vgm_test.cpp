// The VGM logger: the file of a frame, writes between waits, stop and restart,
// a log past the first 2 MB, and a logged tone played back by libgme.
#include <gme/gme.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/headless/headless.h"
#include "sound/psg.h"
#include "sound/sound_frames.h"
#include "sound/vgm.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Vgm : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    headless_audio_fail_open(100);  // the log does not depend on a device
    snd_init();
    std::remove(path.c_str());
  }
  void TearDown() override {
    vgm.active = 0;
    headless_audio_fail_open(0);
    platform_quit();
  }
  const std::string path =
      ::testing::TempDir() + "quav_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".vgm";
};

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file of one frame without sound writes, built from the format.
Bytes one_silent_frame() {
  Bytes f = {'V', 'g', 'm', ' '};
  for (uint32_t v : {181u, 0x100u, 3579545u, 0u, 0u, 882u}) {
    for (int i = 0; i < 4; ++i) f.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  f.resize(64, 0);
  for (int run = 0; run < 39; ++run) f.insert(f.end(), {0x61, 22, 0});
  f.insert(f.end(), {0x61, 24, 0, 0x66});
  return f;
}

TEST_F(Vgm, FramesWritesAndWaits) {
  vgm_start();
  run_sound_frame(1);
  vgm_stop(path.c_str());
  EXPECT_EQ(vgm_is_logging(), 0u);
  EXPECT_EQ(read_file(path), one_silent_frame());

  vgm_start();
  snd_frame_begin();
  for (int line = 0; line < 60; ++line) {
    if (line == 50) vgm_log_psg_write(0x9F);
    snd_line_done();
  }
  EXPECT_EQ(Bytes(vgm.data.begin() + 15, vgm.data.begin() + 23), (Bytes{0x61, 22, 0, 0x50, 0x9F, 0x61, 22, 0}));
  vgm.length = 0;
  for (int n : {735, 882, 0x1234}) vgm_log_wait(n);
  EXPECT_EQ(Bytes(vgm.data.begin(), vgm.data.begin() + vgm.length), (Bytes{0x62, 0x63, 0x61, 0x34, 0x12}));
}

TEST_F(Vgm, StopsAndRestarts) {
  vgm_stop(path.c_str());  // inactive: nothing at all
  const int32_t length = vgm.length;
  vgm_put_byte(0x50);
  vgm_log_wait(22);
  EXPECT_EQ(vgm.length, length);
  EXPECT_FALSE(std::filesystem::exists(path));
  vgm_start();
  run_sound_frame(1);
  vgm_stop("/nonexistent-quav-dir/quav.vgm");  // discarded silently
  vgm_stop(path.c_str());
  EXPECT_FALSE(std::filesystem::exists(path));
  vgm_start();
  for (int f = 0; f < 3; ++f) run_sound_frame(1);
  vgm_stop(path.c_str());
  vgm_start();  // the second log replaces the first
  run_sound_frame(1);
  vgm_stop(path.c_str());
  EXPECT_EQ(read_file(path), one_silent_frame());
}

TEST_F(Vgm, LogPastTwoMegabytesStaysWhole) {
  vgm_start();
  uint32_t frames = 0;
  for (; vgm.length < 3 * kVgmDataStep; ++frames) {
    snd_frame_begin();
    for (int line = 0; line < 312; ++line) {
      for (int w = 0; w < 8; ++w) vgm_log_psg_write(static_cast<uint8_t>(0x80 | w));
      snd_line_done();
    }
    snd_frame_end(1);
  }
  vgm_stop(path.c_str());
  const Bytes file = read_file(path);
  ASSERT_EQ(file.size(), 64u + static_cast<size_t>(vgm.length));
  EXPECT_EQ(le32(&file[4]), file.size() - 4);
  EXPECT_EQ(le32(&file[0x18]), 882u * frames);
  size_t at = 64, writes = 0;  // every command whole, the waits summing to the total
  uint32_t waited = 0;
  for (; at < file.size() && (file[at] == 0x50 || file[at] == 0x61); at += file[at] == 0x50 ? 2 : 3) {
    if (file[at] == 0x50) writes += 1;
    else waited += file[at + 1] | file[at + 2] << 8;
  }
  EXPECT_EQ(at, file.size() - 1);
  EXPECT_EQ(file[at], 0x66);
  EXPECT_EQ(waited, 882u * frames);
  EXPECT_EQ(writes, frames * 312 * 8);
}

TEST_F(Vgm, LibgmePlaysALoggedToneAtItsLengthAndPitch) {
  vgm_start();
  for (uint8_t b : {0x8E, 0x0F, 0x90}) vgm_log_psg_write(b);  // tone 0, period 254
  for (int f = 0; f < 50; ++f) run_sound_frame(1);
  vgm_log_psg_write(0x9F);
  vgm_stop(path.c_str());

  Music_Emu* emu = nullptr;
  gme_info_t* info = nullptr;
  ASSERT_EQ(gme_open_file(path.c_str(), &emu, 44100), nullptr);
  ASSERT_EQ(gme_track_info(emu, &info, 0), nullptr);
  EXPECT_EQ(info->length, 1000);
  gme_free_info(info);
  ASSERT_EQ(gme_start_track(emu, 0), nullptr);
  std::vector<double> mono;
  std::vector<short> buf(2 * 441);
  while (mono.size() < 44100 * 6 / 5) {
    ASSERT_EQ(gme_play(emu, static_cast<int>(buf.size()), buf.data()), nullptr);
    for (size_t i = 0; i < buf.size(); i += 2) mono.push_back((buf[i] + buf[i + 1]) / 2.0);
  }
  EXPECT_TRUE(gme_track_ended(emu));
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

}  // namespace
