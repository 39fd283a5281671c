#include <gtest/gtest.h>

#include <vector>

#include "sound/psg.h"

namespace {

class Psg : public ::testing::Test {
 protected:
  void SetUp() override { psg_init(3579545, 44100, 0); }
  static void write(std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) psg_write(b);
  }
  static std::vector<int16_t> samples(int n) {
    std::vector<int16_t> out(static_cast<size_t>(n) * (psg.stereo ? 2 : 1), 0x5555);
    psg_update(out.data(), n);
    return out;
  }
};

TEST_F(Psg, InitAndResetState) {
  EXPECT_EQ(psg.update_step, 12918u);
  const std::vector<int32_t> gain12 = {10922, 10922, 9084, 7216, 5731, 4553, 3616, 2872,
                                       2281,  1812,  1439, 1143, 908,  721,  573,  0};
  const std::vector<int32_t> gain0 = {10922, 8675, 6891, 5473, 4348, 3453, 2743, 2179,
                                      1731,  1374, 1092, 867,  689,  547,  434,  0};
  EXPECT_EQ(std::vector<int32_t>(psg.volume_table, psg.volume_table + 16), gain12);
  psg_set_gain(0);
  EXPECT_EQ(std::vector<int32_t>(psg.volume_table, psg.volume_table + 16), gain0);
  psg_set_gain(static_cast<uint8_t>(256 + 12));  // only the low 8 bits count
  write({0x8E, 0x0F, 0x90, 0xE4});
  psg.muted = 1;
  psg_reset();  // keeps the table and the feedback mask
  EXPECT_EQ(psg.volume_table[2], 9084);
  EXPECT_EQ(psg.noise_feedback, 0x12000u);
  EXPECT_EQ(psg.noise_shift, 0x0F35u);
  EXPECT_EQ(psg.last_register, 0);
  EXPECT_EQ(psg.muted, 0u);
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(psg.registers[2 * c], 0);
    EXPECT_EQ(psg.registers[2 * c + 1], 15);
    EXPECT_EQ(psg.volume[c], 0);
    EXPECT_EQ(psg.period[c], 12918);
    EXPECT_EQ(psg.count[c], 12918);
    EXPECT_EQ(psg.output[c], c == 3 ? 1 : 0);
  }
}

TEST_F(Psg, Tone440HasFractionalEdges) {
  write({0x8E, 0x0F, 0x90});
  std::vector<int16_t> expected;
  const int16_t edges[] = {8769, 2881, 7311, 4338, 5854};
  for (int i = 0; i < 5; ++i) {
    expected.push_back(edges[i]);
    if (i < 4) expected.insert(expected.end(), 49, i % 2 == 0 ? 10922 : 0);
  }
  std::vector<int16_t> got = samples(7);  // an audible channel ignores the split
  for (int16_t s : samples(static_cast<int>(expected.size()) - 7)) got.push_back(s);
  EXPECT_EQ(got, expected);
}

TEST_F(Psg, FastToneNoiseRestartAndClip) {
  write({0x90, 0x80, 0x00});  // period 0 sounds like 1
  EXPECT_EQ(samples(4), (std::vector<int16_t>{4463, 6300, 4778, 5985}));

  psg_init(3579545, 44100, 0);
  samples(100);
  write({0xE4, 0xF0});  // white noise, rate 0: the sequence restarts
  EXPECT_EQ(psg.noise_shift, 0x0F35u);
  EXPECT_EQ(samples(13), (std::vector<int16_t>{2152, 0, 0, 0, 0, 0, 5409, 10922, 10922, 10922, 10922, 10922, 8872}));

  write({0x8F, 0x3F, 0xAF, 0x3F, 0xCF, 0x3F, 0x90, 0xB0, 0xD0});
  for (int c = 0; c < 4; ++c) psg.output[c] = 1, psg.count[c] = 1 << 24;
  EXPECT_EQ(samples(1)[0], 32767);
  write({0xFF});
  EXPECT_EQ(samples(1)[0], 32766);
}

TEST_F(Psg, LatchAndDataBytes) {
  write({0x90, 0x3F, 0xE5, 0x3F});  // data after attenuation or noise latches: ignored
  EXPECT_EQ(psg.registers[0], 0);
  EXPECT_EQ(psg.registers[1], 0);
  EXPECT_EQ(psg.registers[6], 5);
  write({0xA1, 0x3F});
  EXPECT_EQ(psg.registers[2], 0x3F1);
  EXPECT_EQ(psg.period[1], 0x3F1 * 12918);
  const int32_t count = psg.count[1];
  write({0xA2});  // keeps bits 4-9; the half-period under way keeps its length
  EXPECT_EQ(psg.registers[2], 0x3F2);
  EXPECT_EQ(psg.count[1], count);

  write({0xC5, 0x01, 0xE3});  // periodic noise at rate 3 follows tone 2
  EXPECT_EQ(psg.noise_feedback, 0x08000u);
  EXPECT_EQ(psg.period[3], 2 * 0x15 * 12918);
  write({0xC7});
  EXPECT_EQ(psg.period[3], 2 * 0x17 * 12918);
  write({0x02});
  EXPECT_EQ(psg.period[3], 2 * 0x27 * 12918);
  write({0xE2, 0xC1});
  EXPECT_EQ(psg.period[3], 12918 << 7);
}

TEST_F(Psg, MutingAndStereo) {
  write({0x8E, 0x0F, 0x90});
  for (uint32_t stereo : {0u, 1u}) {
    psg.stereo = stereo;
    psg.muted = 1;
    EXPECT_EQ(samples(20), std::vector<int16_t>(stereo ? 40 : 20, 0));
  }
  psg.muted = 0;
  const std::vector<int16_t> s = samples(60);
  for (size_t i = 0; i < s.size(); i += 2) EXPECT_EQ(s[i], s[i + 1]);
  EXPECT_EQ(s[0], 8769);
}

// Shifts until the register's state recurs, counted after a lead-in.
int noise_cycle(uint8_t control) {
  psg_write(control);
  psg_write(0xF0);
  auto shift = [] {
    int16_t s[2];
    for (const uint32_t before = psg.noise_shift; psg.noise_shift == before;) psg_update(s, 1);
  };
  for (int i = 0; i < 64; ++i) shift();
  const uint32_t mark = psg.noise_shift;
  int n = 0;
  do shift(), n += 1;
  while (psg.noise_shift != mark && n < 100000);
  return n;
}

TEST_F(Psg, NoiseSequenceLengths) {
  EXPECT_EQ(noise_cycle(0xE4), 57337);
  EXPECT_EQ(noise_cycle(0xE0), 15);
}

}  // namespace
