#include <gtest/gtest.h>

#include <vector>

#include "sound/psg.h"

namespace {

constexpr int32_t kClock = 3579545;
constexpr int32_t kRate = 44100;

class Psg : public ::testing::Test {
 protected:
  void SetUp() override {
    psg = PsgState{};
    psg_init(kClock, kRate, 0);
  }
  static void write(std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) psg_write(b);
  }
  static std::vector<int16_t> samples(int n) {
    std::vector<int16_t> out(static_cast<size_t>(n));
    psg_update(out.data(), n);
    return out;
  }
};

TEST_F(Psg, InitBuildsStepAndVolumeTables) {
  EXPECT_EQ(psg.update_step, 12918u);
  const int32_t gain12[16] = {10922, 10922, 9084, 7216, 5731, 4553, 3616, 2872,
                              2281,  1812,  1439, 1143, 908,  721,  573,  0};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(psg.volume_table[i], gain12[i]) << "attenuation " << i;
  psg_set_gain(0);
  const int32_t gain0[16] = {10922, 8675, 6891, 5473, 4348, 3453, 2743, 2179,
                             1731,  1374, 1092, 867,  689,  547,  434,  0};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(psg.volume_table[i], gain0[i]) << "attenuation " << i;
  // Only the gain's low 8 bits count, and a reset keeps the table.
  psg_set_gain(static_cast<uint8_t>(256 + 12));
  psg_reset();
  EXPECT_EQ(psg.volume_table[2], 9084);
}

TEST_F(Psg, ResetGivesPowerOnState) {
  write({0x8E, 0x0F, 0x90, 0xE4});
  psg.muted = 1;
  psg_reset();
  for (int r = 0; r < 8; ++r) EXPECT_EQ(psg.registers[r], (r & 1) ? 15 : 0);
  EXPECT_EQ(psg.last_register, 0);
  EXPECT_EQ(psg.noise_shift, 0x0F35u);
  EXPECT_EQ(psg.noise_feedback, 0x12000u);  // kept from the write above
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(psg.volume[c], 0);
    EXPECT_EQ(psg.period[c], 12918);
    EXPECT_EQ(psg.count[c], 12918);
    EXPECT_EQ(psg.output[c], c == 3 ? 1 : 0);
  }
  EXPECT_EQ(psg.muted, 0u);
}

TEST_F(Psg, Tone440HasFractionalEdges) {
  write({0x8E, 0x0F, 0x90});
  std::vector<int16_t> expected;
  const int16_t edges[] = {8769, 2881, 7311, 4338, 5854};
  for (int i = 0; i < 5; ++i) {
    expected.push_back(edges[i]);
    if (i < 4) expected.insert(expected.end(), 49, i % 2 == 0 ? 10922 : 0);
  }
  // Split into uneven runs: an audible channel does not depend on the split.
  std::vector<int16_t> got = samples(7);
  for (int16_t s : samples(static_cast<int>(expected.size()) - 7)) got.push_back(s);
  EXPECT_EQ(got, expected);
}

TEST_F(Psg, PeriodZeroSoundsLikeOne) {
  write({0x90, 0x80, 0x00});
  EXPECT_EQ(psg.period[0], 12918);
  EXPECT_EQ(samples(4), (std::vector<int16_t>{4463, 6300, 4778, 5985}));
}

TEST_F(Psg, NoiseControlRestartsTheSequence) {
  samples(100);  // the register runs on before the write
  write({0xE4, 0xF0});
  EXPECT_EQ(psg.noise_shift, 0x0F35u);
  EXPECT_EQ(psg.period[3], 12918 << 5);
  std::vector<int16_t> expected = {2152, 0, 0, 0, 0, 0, 5409, 10922, 10922, 10922, 10922, 10922, 8872};
  EXPECT_EQ(samples(13), expected);
}

TEST_F(Psg, MixClipsAtFullScale) {
  write({0x8F, 0x3F, 0xAF, 0x3F, 0xCF, 0x3F, 0x90, 0xB0, 0xD0, 0xF0});
  for (int c = 0; c < 4; ++c) {
    psg.output[c] = 1;
    psg.count[c] = 1 << 24;
  }
  EXPECT_EQ(samples(1)[0], 32767);
  write({0xFF});  // noise off: three full channels stay below the clip
  EXPECT_EQ(samples(1)[0], 32766);
}

TEST_F(Psg, DataBytesFollowOnlyToneLatches) {
  write({0x90, 0x3F});
  EXPECT_EQ(psg.registers[0], 0);
  EXPECT_EQ(psg.registers[1], 0);
  write({0xE5, 0x3F});
  EXPECT_EQ(psg.registers[6], 5);
  write({0xA1, 0x3F});
  EXPECT_EQ(psg.registers[2], 0x3F1);
  EXPECT_EQ(psg.period[1], 0x3F1 * 12918);
  // A later latch keeps bits 4-9, and the flip under way keeps its length.
  const int32_t count = psg.count[1];
  write({0xA2});
  EXPECT_EQ(psg.registers[2], 0x3F2);
  EXPECT_EQ(psg.count[1], count);
}

TEST_F(Psg, NoiseRateThreeFollowsToneTwo) {
  write({0xC5, 0x01});
  write({0xE3});
  EXPECT_EQ(psg.noise_feedback, 0x08000u);
  EXPECT_EQ(psg.period[3], 2 * 0x15 * 12918);
  write({0xC7});
  EXPECT_EQ(psg.period[3], 2 * 0x17 * 12918);
  write({0x02});
  EXPECT_EQ(psg.period[3], 2 * 0x27 * 12918);
  write({0xE2, 0xC1});  // rate 2: tone 2 no longer matters
  EXPECT_EQ(psg.period[3], 12918 << 7);
}

TEST_F(Psg, MutingSilencesMonoAndStereo) {
  write({0x8E, 0x0F, 0x90});
  for (uint32_t stereo : {0u, 1u}) {
    psg.stereo = stereo;
    psg.muted = 1;
    std::vector<int16_t> buf(50, 0x5555);
    psg_update(buf.data(), 20);
    const size_t words = stereo ? 40 : 20;
    for (size_t i = 0; i < buf.size(); ++i) EXPECT_EQ(buf[i], i < words ? 0 : 0x5555) << i;
    psg_update(buf.data(), 0);
    EXPECT_EQ(buf[words], 0x5555);
  }
  psg.muted = 0;
  std::vector<int16_t> buf(200);
  psg_update(buf.data(), 100);
  for (size_t i = 0; i < buf.size(); i += 2) EXPECT_EQ(buf[i], buf[i + 1]);
  EXPECT_EQ(buf[0], 8769);
}

// The number of shifts after which the register's state recurs.
int noise_cycle(uint8_t control) {
  psg_write(control);
  psg_write(0xF0);
  int16_t s;
  auto shift = [&] {
    const uint32_t before = psg.noise_shift;
    while (psg.noise_shift == before) psg_update(&s, 1);
  };
  for (int i = 0; i < 64; ++i) shift();  // past the preset's lead-in
  const uint32_t mark = psg.noise_shift;
  int n = 0;
  do {
    shift();
    n += 1;
  } while (psg.noise_shift != mark && n < 100000);
  return n;
}

TEST_F(Psg, NoiseSequenceLengths) {
  EXPECT_EQ(noise_cycle(0xE4), 57337);
  EXPECT_EQ(noise_cycle(0xE0), 15);
}

}  // namespace
