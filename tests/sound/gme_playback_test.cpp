// Our VGM logs play in a third-party player: libgme decodes a logged
// one-second tone with the right length and pitch.
#include <gme/gme.h>
#include <gtest/gtest.h>

#include <cmath>

#include "sound/psg.h"
#include "sound/sound_frames.h"
#include "sound/vgm.h"

namespace {

constexpr int kRate = 44100;

// Frequency from the rising crossings of the mean, interpolated.
double pitch(const std::vector<double>& s) {
  double mean = 0, first = -1, last = -1;
  for (double v : s) mean += v / static_cast<double>(s.size());
  int crossings = 0;
  for (size_t i = 1; i < s.size(); ++i) {
    const double a = s[i - 1] - mean, b = s[i] - mean;
    if (a >= 0 || b < 0) continue;
    last = static_cast<double>(i - 1) + a / (a - b);
    if (crossings++ == 0) first = last;
  }
  return crossings < 2 ? 0 : (crossings - 1) * kRate / (last - first);
}

TEST(GmePlayback, LoggedToneHasLengthAndPitch) {
  platform_init(PlatformBackend::Headless, {});
  snd_init();
  const std::string path = scratch_path("tone.vgm");
  vgm_start();
  auto write = [](uint8_t b) { psg_write(b), vgm_log_psg_write(b); };
  for (uint8_t b : {0x8E, 0x0F, 0x90}) write(b);  // tone 0, period 254
  for (int f = 0; f < 50; ++f) run_sound_frame(1);
  write(0x9F);
  vgm_stop(path.c_str());
  snd_close();
  platform_quit();

  Music_Emu* emu = nullptr;
  ASSERT_EQ(gme_open_file(path.c_str(), &emu, kRate), nullptr);
  gme_info_t* info = nullptr;
  ASSERT_EQ(gme_track_info(emu, &info, 0), nullptr);
  EXPECT_EQ(info->length, 1000);
  gme_free_info(info);
  ASSERT_EQ(gme_start_track(emu, 0), nullptr);
  std::vector<double> mono;
  std::vector<short> buf(2 * 441);
  while (mono.size() < kRate * 6 / 5) {
    ASSERT_EQ(gme_play(emu, static_cast<int>(buf.size()), buf.data()), nullptr);
    for (size_t i = 0; i < buf.size(); i += 2) mono.push_back((buf[i] + buf[i + 1]) / 2.0);
  }
  EXPECT_TRUE(gme_track_ended(emu));
  gme_delete(emu);

  size_t last_edge = 0;  // the 0x9F write, at one second
  for (size_t i = 1; i < mono.size(); ++i) {
    if (std::abs(mono[i] - mono[i - 1]) > 2000) last_edge = i;
  }
  EXPECT_NEAR(static_cast<double>(last_edge), kRate, 50);
  // The player's own clock rounding puts it about 0.2 Hz high.
  const std::vector<double> body(mono.begin() + kRate / 20, mono.begin() + kRate * 19 / 20);
  EXPECT_NEAR(pitch(body), 3579545.0 / (32 * 254), 0.5);
}

}  // namespace
