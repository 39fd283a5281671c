#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/headless/headless.h"
#include "sound/psg.h"
#include "sound/sound_frames.h"
#include "sound/vgm.h"

namespace {

class Vgm : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    headless_audio_fail_open(100);  // the log does not depend on a device
    snd.line_phase = 0;
    snd_init();
    vgm.active = 0;
    std::remove(path.c_str());
  }
  void TearDown() override {
    vgm.active = 0;
    headless_audio_fail_open(0);
    platform_quit();
  }
  const std::string path = scratch_path("log.vgm");
};

// The file of one frame without sound writes, built from the format.
std::vector<uint8_t> one_silent_frame() {
  std::vector<uint8_t> f = {'V', 'g', 'm', ' '};
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
    if (line == 50) psg_write(0x9F), vgm_log_psg_write(0x9F);
    snd_line_done();
  }
  const uint8_t after_six_runs[] = {0x61, 22, 0, 0x50, 0x9F, 0x61, 22, 0};
  EXPECT_TRUE(std::equal(after_six_runs, after_six_runs + 8, vgm.data.begin() + 15));
  vgm.length = 0;
  for (int n : {735, 882, 0x1234}) vgm_log_wait(n);
  const uint8_t waits[] = {0x62, 0x63, 0x61, 0x34, 0x12};
  EXPECT_EQ(vgm.length, 5);
  EXPECT_TRUE(std::equal(waits, waits + 5, vgm.data.begin()));
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
  EXPECT_EQ(vgm_is_logging(), 0u);
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
  int frames = 0;
  for (; vgm.length < 3 * kVgmDataStep; ++frames) {
    snd_frame_begin();
    for (int line = 0; line < kTestLinesPerFrame; ++line) {
      for (int w = 0; w < 8; ++w) vgm_log_psg_write(static_cast<uint8_t>(0x80 | w));
      snd_line_done();
    }
    snd_frame_end(1);
  }
  vgm_stop(path.c_str());
  const std::vector<uint8_t> file = read_file(path);
  ASSERT_EQ(file.size(), 64u + static_cast<size_t>(vgm.length));
  EXPECT_EQ(le32(file, 4), file.size() - 4);
  EXPECT_EQ(le32(file, 0x18), 882u * static_cast<uint32_t>(frames));
  size_t at = 64, writes = 0;  // every command whole, the waits summing to the total
  uint32_t waited = 0;
  for (; at < file.size() && file[at] != 0x66; at += file[at] == 0x50 ? 2 : 3) {
    if (file[at] == 0x50) {
      writes += 1;
    } else {
      ASSERT_EQ(file[at], 0x61) << "at " << at;
      waited += file[at + 1] | file[at + 2] << 8;
    }
  }
  EXPECT_EQ(at, file.size() - 1);
  EXPECT_EQ(waited, le32(file, 0x18));
  EXPECT_EQ(writes, static_cast<size_t>(frames) * kTestLinesPerFrame * 8);
}

}  // namespace
