#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/psg.h"
#include "sound/sound_frames.h"
#include "sound/vgm.h"

namespace {

class Vgm : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    headless_audio_fail_open(100);  // the log must not depend on a device
    snd.line_phase = 0;
    snd_init();
    vgm.active = 0;
    path = scratch_path("log.vgm");
    std::remove(path.c_str());
  }
  void TearDown() override {
    vgm.active = 0;
    headless_audio_fail_open(0);
    platform_quit();
  }
  std::string path;
};

// The file one frame without sound writes makes, built from the format.
std::vector<uint8_t> one_silent_frame() {
  std::vector<uint8_t> f(64, 0);
  const uint8_t ident[] = {'V', 'g', 'm', ' '};
  std::copy(ident, ident + 4, f.begin());
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put(0x04, 181);
  put(0x08, 0x100);
  put(0x0C, 3579545);
  put(0x18, 882);
  for (int run = 0; run < 39; ++run) f.insert(f.end(), {0x61, 22, 0});
  f.insert(f.end(), {0x61, 24, 0, 0x66});
  return f;
}

TEST_F(Vgm, OneSilentFrame) {
  vgm_start();
  EXPECT_EQ(vgm_is_logging(), 1u);
  run_sound_frame(1);
  vgm_stop(path.c_str());
  EXPECT_EQ(vgm_is_logging(), 0u);
  const std::vector<uint8_t> file = read_file(path);
  EXPECT_EQ(file.size(), 185u);
  EXPECT_EQ(file, one_silent_frame());
}

TEST_F(Vgm, SoundWriteComesBeforeTheNextWait) {
  vgm_start();
  snd_frame_begin();
  for (int line = 0; line < 100; ++line) {
    if (line == 50) {
      psg_write(0x9F);
      vgm_log_psg_write(0x9F);
    }
    snd_line_done();
  }
  // 50 lines = 6 runs before the write, the 7th run's wait after it.
  const uint8_t expected[] = {0x61, 22, 0, 0x50, 0x9F, 0x61, 22, 0};
  ASSERT_GE(vgm.length, 6 * 3 + 2 + 3);
  EXPECT_TRUE(std::equal(expected, expected + 8, vgm.data.begin() + 15));
}

TEST_F(Vgm, WaitEncodings) {
  vgm_start();
  vgm_log_wait(735);
  vgm_log_wait(882);
  vgm_log_wait(0x1234);
  const uint8_t expected[] = {0x62, 0x63, 0x61, 0x34, 0x12};
  EXPECT_EQ(vgm.length, 5);
  EXPECT_TRUE(std::equal(expected, expected + 5, vgm.data.begin()));
  EXPECT_EQ(le32(std::vector<uint8_t>(vgm.header, vgm.header + 64), 0x18), 735u + 882u + 0x1234u);
}

TEST_F(Vgm, StopsThatWriteNothing) {
  vgm_stop(path.c_str());
  EXPECT_FALSE(std::filesystem::exists(path));
  const int32_t length = vgm.length;
  vgm_put_byte(0x50);
  vgm_log_wait(22);
  EXPECT_EQ(vgm.length, length);

  vgm_start();
  run_sound_frame(1);
  vgm_stop("/nonexistent-quav-dir/quav.vgm");
  EXPECT_EQ(vgm_is_logging(), 0u);
  vgm_stop(path.c_str());  // the discarded log is gone
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(Vgm, SecondLogReplacesTheFirst) {
  vgm_start();
  for (int f = 0; f < 3; ++f) run_sound_frame(1);
  vgm_log_psg_write(0x90);
  vgm_stop(path.c_str());
  EXPECT_EQ(read_file(path).size(), 64u + 3 * 120 + 2 + 1);
  vgm_start();
  run_sound_frame(1);
  vgm_stop(path.c_str());
  EXPECT_EQ(read_file(path), one_silent_frame());
}

TEST_F(Vgm, LogPastTwoMegabytesStaysWhole) {
  vgm_start();
  int frames = 0;
  while (vgm.length < 3 * kVgmDataStep) {
    snd_frame_begin();
    for (int line = 0; line < kTestLinesPerFrame; ++line) {
      for (int w = 0; w < 8; ++w) vgm_log_psg_write(static_cast<uint8_t>(0x80 | w));
      snd_line_done();
    }
    snd_frame_end(1);
    frames += 1;
  }
  vgm_stop(path.c_str());
  const std::vector<uint8_t> file = read_file(path);
  ASSERT_EQ(file.size(), 64u + static_cast<size_t>(vgm.length));
  EXPECT_EQ(le32(file, 4), file.size() - 4);
  EXPECT_EQ(le32(file, 0x18), 882u * static_cast<uint32_t>(frames));
  // Walk the commands: every one whole, the waits summing to the total.
  size_t at = 64;
  uint32_t waited = 0;
  size_t writes = 0;
  while (at < file.size() && file[at] != 0x66) {
    if (file[at] == 0x50) {
      at += 2;
      writes += 1;
    } else {
      ASSERT_EQ(file[at], 0x61) << "at " << at;
      waited += file[at + 1] | file[at + 2] << 8;
      at += 3;
    }
  }
  EXPECT_EQ(at, file.size() - 1);
  EXPECT_EQ(waited, 882u * static_cast<uint32_t>(frames));
  EXPECT_EQ(writes, static_cast<size_t>(frames) * kTestLinesPerFrame * 8);
}

}  // namespace
