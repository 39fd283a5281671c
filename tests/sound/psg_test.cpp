// The tone and noise generator: its tables, its exact output sequences from
// power-on, the latch and data bytes, muting and the noise cycles.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "sound/psg.h"

namespace {

using Samples = std::vector<int16_t>;

class Psg : public ::testing::Test {
 protected:
  void SetUp() override { psg_init(3579545, 44100, 0); }
  static void write(std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) psg_write(b);
  }
  static Samples samples(int n) {
    Samples out(static_cast<size_t>(n) * (psg.stereo ? 2 : 1), 0x5555);
    psg_update(out.data(), n);
    return out;
  }
};

TEST_F(Psg, StepAndVolumeTables) {
  const auto table = [] { return std::vector<int32_t>(psg.volume_table, psg.volume_table + 16); };
  EXPECT_EQ(psg.update_step, 12918u);
  EXPECT_EQ(table(), (std::vector<int32_t>{10922, 10922, 9084, 7216, 5731, 4553, 3616, 2872,
                                           2281, 1812, 1439, 1143, 908, 721, 573, 0}));
  psg_set_gain(0);
  EXPECT_EQ(table(), (std::vector<int32_t>{10922, 8675, 6891, 5473, 4348, 3453, 2743, 2179,
                                           1731, 1374, 1092, 867, 689, 547, 434, 0}));
  psg_set_gain(static_cast<uint8_t>(256 + 12));  // only the low 8 bits count
  psg_reset();                                   // keeps the table
  EXPECT_EQ(psg.volume_table[2], 9084);
}

TEST_F(Psg, ExactSequencesFromPowerOn) {
  write({0x84, 0x01, 0x90, 0xB0, 0xD0, 0xE4, 0xF0});
  samples(33);
  psg.muted = 1;
  psg_reset();  // every channel silent and at its first count again, unmuted; the noise mask stays
  EXPECT_EQ(psg.noise_feedback + psg.muted, 0x12000u);
  write({0x8E, 0x0F, 0x90});  // 440.4 Hz: the edges fall between samples
  for (uint32_t stereo : {1u, 0u}) {  // muted time does not run
    psg.stereo = stereo, psg.muted = 1;
    EXPECT_EQ(samples(20), Samples(stereo ? 40 : 20, 0));
  }
  psg.muted = 0;
  Samples want;
  const int16_t edges[] = {8769, 2881, 7311, 4338, 5854};
  for (int i = 0; i < 5; ++i) {
    if (i > 0) want.insert(want.end(), 49, i % 2 ? 10922 : 0);
    want.push_back(edges[i]);
  }
  Samples got = samples(7);  // an audible channel ignores the split
  const Samples rest = samples(static_cast<int>(want.size()) - 7);
  got.insert(got.end(), rest.begin(), rest.end());
  EXPECT_EQ(got, want);

  psg_init(3579545, 44100, 1);
  write({0x90, 0x80, 0x00});  // period 0 sounds like 1; stereo doubles each sample
  EXPECT_EQ(samples(4), (Samples{4463, 4463, 6300, 6300, 4778, 4778, 5985, 5985}));

  psg_init(3579545, 44100, 0);
  samples(100);
  write({0xE4, 0xF0});  // white noise, rate 0: the sequence restarts
  EXPECT_EQ(samples(13), (Samples{2152, 0, 0, 0, 0, 0, 5409, 10922, 10922, 10922, 10922, 10922, 8872}));

  write({0x8F, 0x3F, 0xAF, 0x3F, 0xCF, 0x3F, 0x90, 0xB0, 0xD0});  // the mix clips
  for (int c = 0; c < 4; ++c) psg.output[c] = 1, psg.count[c] = 1 << 24;
  EXPECT_EQ(samples(1)[0], 32767);
  write({0xFF});
  EXPECT_EQ(samples(1)[0], 32766);
}

TEST_F(Psg, LatchAndDataBytes) {
  write({0x90, 0x3F, 0xE5, 0x3F});  // data after attenuation or noise latches: ignored
  EXPECT_EQ(psg.registers[0] + psg.registers[1], 0);
  EXPECT_EQ(psg.registers[6], 5);
  write({0xA1, 0x3F});
  EXPECT_EQ(psg.period[1], 0x3F1 * 12918);
  const int32_t count = psg.count[1];
  write({0xA2});  // keeps bits 4-9; the half-period under way keeps its length
  EXPECT_EQ(psg.registers[2], 0x3F2);
  EXPECT_EQ(psg.count[1], count);
  write({0xC5, 0x01, 0xE3});  // periodic noise at rate 3 follows tone 2
  EXPECT_EQ(psg.noise_feedback, 0x08000u);
  const struct { std::vector<uint8_t> bytes; int32_t period; } follow[] = {
      {{}, 0x2A}, {{0xC7}, 0x2E}, {{0x02}, 0x4E}, {{0xE2, 0xC1}, 128}};  // rate 2 ignores tone 2
  for (const auto& f : follow) {
    for (uint8_t b : f.bytes) psg_write(b);
    EXPECT_EQ(psg.period[3], f.period * 12918) << f.period;
  }
}

// The reference for audible channels: each sample is the time each channel's
// output spends at 1, found by walking the channel's edges one at a time,
// times its volume, summed and clipped.
Samples reference_samples(PsgState s, int n) {
  Samples out;
  for (int i = 0; i < n; ++i) {
    uint32_t sum = 0;
    for (int c = 0; c < 4; ++c) {
      int32_t left = kPsgTimeUnitsPerSample, high = 0;
      for (; s.count[c] <= left; s.count[c] = s.period[c]) {
        high += s.output[c] ? s.count[c] : 0;
        left -= s.count[c];
        if (c < 3) {
          s.output[c] ^= 1;
          continue;
        }
        if (s.noise_shift & 1) s.noise_shift ^= s.noise_feedback;
        s.noise_shift >>= 1;
        s.output[3] = static_cast<int32_t>(s.noise_shift & 1);
      }
      s.count[c] -= left;
      sum += static_cast<uint32_t>(s.volume[c]) * static_cast<uint32_t>(high + (s.output[c] ? left : 0));
    }
    out.push_back(static_cast<int16_t>(std::min(sum, 0x7FFF0000u) >> 16));
  }
  return out;
}

TEST_F(Psg, AudibleChannelsMatchTheEdgeByEdgeReference) {
  std::mt19937 rng(3);
  for (int round = 0; round < 40; ++round) {
    for (int c = 0; c < 3; ++c) {  // periods from 0 (several edges a sample) to 1,023
      const int period = round % 4 == 0 ? static_cast<int>(rng() % 8) : static_cast<int>(rng() % 1024);
      write({static_cast<uint8_t>(0x80 | c << 5 | (period & 15)), static_cast<uint8_t>(period >> 4)});
      write({static_cast<uint8_t>(0x90 | c << 5 | rng() % 15)});
    }
    write({static_cast<uint8_t>(0xE0 | rng() % 8), static_cast<uint8_t>(0xF0 | rng() % 15)});
    // Two runs: a short one, often without any flip, then the rest.
    const int first = 1 + static_cast<int>(rng() % 4);
    const int n = first + 1 + static_cast<int>(rng() % 300);
    const Samples want = reference_samples(psg, n);
    Samples got = samples(first);
    const Samples rest = samples(n - first);
    got.insert(got.end(), rest.begin(), rest.end());
    ASSERT_EQ(got, want) << "round " << round;
  }
}

TEST_F(Psg, NoiseSequenceLengths) {
  int16_t s[2];
  const auto shift = [&s] {
    for (const uint32_t before = psg.noise_shift; psg.noise_shift == before;) psg_update(s, 1);
  };
  for (const auto& [control, length] : {std::pair{0xE4, 57337}, {0xE0, 15}}) {
    write({static_cast<uint8_t>(control), 0xF0});
    for (int i = 0; i < 64; ++i) shift();  // past the lead-in, then until the state recurs
    const uint32_t mark = psg.noise_shift;
    int n = 0;
    do shift(), n += 1; while (psg.noise_shift != mark && n < 100000);
    EXPECT_EQ(n, length) << std::hex << control;
  }
}

}  // namespace
