// The sound generator: register writes, the volume table and sample
// production. All sample-time arithmetic is 32-bit integer; floating point
// only builds update_step and the volume table.
#include "sound/psg.h"

#include <algorithm>
#include <cstring>

PsgState psg;

namespace {

constexpr int32_t kRegisterNoise = 6;
constexpr int32_t kNoiseRateTone2 = 3;
constexpr uint8_t kInitGain = 12;
constexpr double kFullLevel = 10922.0;          // one third of 32,767, truncated
constexpr double kGainStep = 1.023292992;       // 0.2 dB up
constexpr double kAttenuationStep = 0.7943282345944098;  // 2 dB down
constexpr uint32_t kMixClip = 0x7FFF0000;
// Keeps a run's silence catch-up (count + length × 0x10000) inside 32 bits;
// longer requests are made as several runs.
constexpr int32_t kMaxRun = 16383;
constexpr int32_t kMixBlock = 64;  // samples made per channel before they are mixed
constexpr int kNoiseChannel = 3;
// Bounds for update_step, so that every period (1,023 ticks, or 128 ticks of
// noise) stays far inside 32 bits and no period is 0.
constexpr double kMaxUpdateStep = 0x20000;

int32_t tone_period(int32_t reg) {
  const int32_t p = static_cast<int32_t>(static_cast<uint32_t>(psg.registers[reg]) * psg.update_step);
  return p == 0 ? static_cast<int32_t>(psg.update_step) : p;
}

void set_noise_period() {
  const int32_t rate = psg.registers[kRegisterNoise] & 3;
  psg.period[3] = rate == kNoiseRateTone2 ? 2 * psg.period[2]
                                          : static_cast<int32_t>(psg.update_step << (5 + rate));
}

void set_tone_register(int32_t r) {
  psg.period[r / 2] = tone_period(r);
  if (r == 4 && (psg.registers[kRegisterNoise] & 3) == kNoiseRateTone2) psg.period[3] = 2 * psg.period[2];
}

// One sample of a tone channel: the time its output was 1, in time units.
int32_t tone_sample(int c) {
  int32_t acc = 0;
  int32_t& count = psg.count[c];
  const int32_t period = psg.period[c];
  if (psg.output[c]) acc += count;
  count -= kPsgTimeUnitsPerSample;
  while (count <= 0) {
    count += period;
    if (count > 0) {
      psg.output[c] ^= 1;
      if (psg.output[c]) acc += period;
      break;
    }
    // Two flips inside this sample: the high half counts in full.
    count += period;
    acc += period;
  }
  if (psg.output[c]) acc -= count;
  return acc;
}

int32_t noise_sample() {
  int32_t acc = 0;
  int32_t left = kPsgTimeUnitsPerSample;
  while (left > 0) {
    const int32_t next = psg.count[3] < left ? psg.count[3] : left;
    if (psg.output[3]) acc += psg.count[3];
    psg.count[3] -= next;
    if (psg.count[3] <= 0) {
      if (psg.noise_shift & 1) psg.noise_shift ^= psg.noise_feedback;
      psg.noise_shift >>= 1;
      psg.output[3] = static_cast<int32_t>(psg.noise_shift & 1);
      psg.count[3] += psg.period[3];
      if (psg.output[3]) acc += psg.period[3];
    }
    if (psg.output[3]) acc -= psg.count[3];
    left -= next;
  }
  return acc;
}

// Samples in which a channel does not flip (it has more than one sample's
// time units left) are the whole sample at its output level; they are filled
// at once, and only the samples with a flip take the step by step path.
int32_t steady_samples(int c, int32_t wanted) {
  const int32_t steady = (psg.count[c] - 1) / kPsgTimeUnitsPerSample;  // count is never 0 or less here
  return steady < wanted ? steady : wanted;
}

void channel_samples(int c, int32_t* acc, int32_t length) {
  for (int32_t i = 0; i < length;) {
    const int32_t steady = steady_samples(c, length - i);
    const int32_t level = psg.output[c] ? kPsgTimeUnitsPerSample : 0;
    std::fill_n(acc + i, steady, level);
    psg.count[c] -= steady * kPsgTimeUnitsPerSample;
    i += steady;
    if (i < length) acc[i++] = c == kNoiseChannel ? noise_sample() : tone_sample(c);
  }
}

void update_run(int16_t* buffer, int32_t length) {
  if (psg.muted) {
    std::memset(buffer, 0, sizeof(int16_t) * static_cast<size_t>(length) * (psg.stereo ? 2 : 1));
    return;
  }
  // Silent channels skip ahead once per run, before any sample.
  const int32_t span = length * kPsgTimeUnitsPerSample;
  for (int c = 0; c < 4; ++c) {
    if (psg.volume[c] == 0 && psg.count[c] <= span) psg.count[c] += span;
  }
  // Each block is made channel by channel, then mixed.
  for (int32_t first = 0; first < length; first += kMixBlock) {
    const int32_t count = std::min(kMixBlock, length - first);
    int32_t acc[4][kMixBlock];
    for (int c = 0; c < 4; ++c) channel_samples(c, acc[c], count);
    for (int32_t i = 0; i < count; ++i) {
      // The products are summed as unsigned 32-bit values, then clipped.
      uint32_t sum = 0;
      for (int c = 0; c < 4; ++c) sum += static_cast<uint32_t>(psg.volume[c]) * static_cast<uint32_t>(acc[c][i]);
      if (sum > kMixClip) sum = kMixClip;
      const int16_t sample = static_cast<int16_t>(sum >> 16);
      *buffer++ = sample;
      if (psg.stereo) *buffer++ = sample;
    }
  }
}

}  // namespace

void psg_init(int32_t clock, int32_t sample_rate, uint32_t stereo) {
  double step = clock > 0 ? sample_rate * 1048576.0 / clock : 1.0;
  if (step < 1.0) step = 1.0;
  if (step > kMaxUpdateStep) step = kMaxUpdateStep;
  psg.update_step = static_cast<uint32_t>(step);
  psg.sample_rate = sample_rate;
  psg.stereo = stereo;
  psg_reset();
  psg_set_gain(kInitGain);
}

void psg_reset() {
  for (int r = 0; r < 8; ++r) psg.registers[r] = (r & 1) ? 15 : 0;
  psg.last_register = 0;
  psg.noise_shift = kPsgNoisePreset;
  for (int c = 0; c < 4; ++c) {
    psg.volume[c] = 0;
    psg.period[c] = static_cast<int32_t>(psg.update_step);
    psg.count[c] = static_cast<int32_t>(psg.update_step);
    psg.output[c] = c == 3 ? 1 : 0;
  }
  psg.muted = 0;
}

void psg_set_gain(uint8_t gain) {
  double level = kFullLevel;
  for (int i = 0; i < gain; ++i) level *= kGainStep;
  for (int i = 0; i < 15; ++i) {
    psg.volume_table[i] = level > kFullLevel ? static_cast<int32_t>(kFullLevel) : static_cast<int32_t>(level);
    level *= kAttenuationStep;
  }
  psg.volume_table[15] = 0;
}

void psg_write(uint8_t data) {
  if (data & 0x80) {
    const int32_t r = (data >> 4) & 7;
    psg.last_register = r;
    psg.registers[r] = (psg.registers[r] & 0x3F0) | (data & 0x0F);
    if (r == kRegisterNoise) {
      psg.noise_feedback = (psg.registers[kRegisterNoise] & 4) ? kPsgWhiteFeedback : kPsgPeriodicFeedback;
      set_noise_period();
      psg.noise_shift = kPsgNoisePreset;
      psg.output[3] = 1;
    } else if (r & 1) {
      psg.volume[r / 2] = psg.volume_table[data & 0x0F];
    } else {
      set_tone_register(r);
    }
    return;
  }
  // A data byte sets bits 4-9 of a tone period; after any other latch it
  // changes nothing. The half-period under way keeps its old length.
  const int32_t r = psg.last_register;
  if (r == 0 || r == 2 || r == 4) {
    psg.registers[r] = ((data & 0x3F) << 4) | (psg.registers[r] & 0x0F);
    set_tone_register(r);
  }
}

void psg_update(int16_t* buffer, int32_t length) {
  while (length > 0) {
    const int32_t run = length < kMaxRun ? length : kMaxRun;
    update_run(buffer, run);
    buffer += psg.stereo ? 2 * run : run;
    length -= run;
  }
}
