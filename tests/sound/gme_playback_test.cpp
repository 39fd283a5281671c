// Our VGM logs must play in a third-party player: libgme decodes a logged
// one-second tone with the right length and pitch.
#include <gme/gme.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/psg.h"
#include "sound/sound_frames.h"
#include "sound/vgm.h"

namespace {

constexpr int kRate = 44100;
constexpr int kFramesPerSecond = 50;

void write_logged(uint8_t b) {
  psg_write(b);
  vgm_log_psg_write(b);
}

// Frequency of the mono signal from its rising crossings of the mean.
double pitch(const std::vector<double>& s) {
  double mean = 0;
  for (double v : s) mean += v;
  mean /= static_cast<double>(s.size());
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = 1; i < s.size(); ++i) {
    const double a = s[i - 1] - mean, b = s[i] - mean;
    if (a < 0 && b >= 0) {
      const double t = static_cast<double>(i - 1) + a / (a - b);
      if (first < 0) first = t;
      last = t;
      crossings += 1;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * kRate / (last - first);
}

TEST(GmePlayback, LoggedToneHasLengthAndPitch) {
  platform_init(PlatformBackend::Headless, {});
  snd_init();
  const std::string path = scratch_path("tone.vgm");
  vgm_start();
  // Tone 0, period 254: 3,579,545 / (32 × 254) Hz.
  for (uint8_t b : {0x8E, 0x0F, 0x90}) write_logged(b);
  for (int f = 0; f < kFramesPerSecond; ++f) run_sound_frame(1);
  write_logged(0x9F);
  vgm_stop(path.c_str());
  snd_stop();
  snd_close();
  platform_quit();

  Music_Emu* emu = nullptr;
  ASSERT_EQ(gme_open_file(path.c_str(), &emu, kRate), nullptr);
  gme_info_t* info = nullptr;
  ASSERT_EQ(gme_track_info(emu, &info, 0), nullptr);
  EXPECT_EQ(info->length, 1000);
  gme_free_info(info);
  ASSERT_EQ(gme_start_track(emu, 0), nullptr);

  // Decode 1.2 s; the tone's last edge (the 0x9F write) falls at 1 s and
  // the player reports the log's end.
  constexpr int kBlock = 441;  // stereo frames
  std::vector<double> mono;
  std::vector<short> buf(2 * kBlock);
  while (static_cast<int>(mono.size()) < kRate * 6 / 5) {
    ASSERT_EQ(gme_play(emu, 2 * kBlock, buf.data()), nullptr);
    for (int i = 0; i < kBlock; ++i) mono.push_back((buf[2 * i] + buf[2 * i + 1]) / 2.0);
  }
  EXPECT_TRUE(gme_track_ended(emu));
  gme_delete(emu);
  size_t last_edge = 0;
  for (size_t i = 1; i < mono.size(); ++i) {
    if (mono[i] - mono[i - 1] > 2000 || mono[i - 1] - mono[i] > 2000) last_edge = i;
  }
  EXPECT_NEAR(static_cast<double>(last_edge), kRate, 50);

  // The player's own clock rounding puts it about 0.2 Hz high.
  const double expected = 3579545.0 / (32 * 254);
  const std::vector<double> body(mono.begin() + kRate / 20, mono.begin() + kRate * 19 / 20);
  EXPECT_NEAR(pitch(body), expected, 0.5);
}

}  // namespace
