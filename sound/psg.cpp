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

// A channel whose half-period is at least one sample long flips at most once
// in a sample: its share is the time before the flip at the old output and
// the rest at the new one. The samples of such channels are made without a
// branch, since flips fall irregularly between samples and branches on them
// are mispredicted; their counters are kept in locals for the run.
struct OneFlipChannels {
  int32_t count[4];
  int32_t output[4];
  int32_t period[4];
  uint32_t noise_shift;
};

int32_t share_around_flip(OneFlipChannels& ch, int c, int32_t flip, int32_t new_output) {
  const int32_t after = flip ? kPsgTimeUnitsPerSample - ch.count[c] : 0;  // time at the new output
  const int32_t acc = ch.output[c] * kPsgTimeUnitsPerSample + (new_output - ch.output[c]) * after;
  ch.output[c] = new_output;
  ch.count[c] += (ch.period[c] & -flip) - kPsgTimeUnitsPerSample;
  return acc;
}

int32_t tone_sample_one_flip(OneFlipChannels& ch, int c) {
  const int32_t flip = ch.count[c] <= kPsgTimeUnitsPerSample ? 1 : 0;
  return share_around_flip(ch, c, flip, ch.output[c] ^ flip);
}

// The noise register shifts at the flip, and its low bit is the new output.
int32_t noise_sample_one_flip(OneFlipChannels& ch) {
  const int32_t flip = ch.count[3] <= kPsgTimeUnitsPerSample ? 1 : 0;
  const uint32_t shift = ch.noise_shift;
  const uint32_t shifted = (shift ^ (psg.noise_feedback & (0u - (shift & 1)))) >> 1;
  ch.noise_shift = flip ? shifted : shift;
  return share_around_flip(ch, 3, flip, flip ? static_cast<int32_t>(shifted & 1) : ch.output[3]);
}

// The products are summed as unsigned 32-bit values, then clipped.
int16_t mix(const int32_t acc[4]) {
  uint32_t sum = 0;
  for (int c = 0; c < 4; ++c) sum += static_cast<uint32_t>(psg.volume[c]) * static_cast<uint32_t>(acc[c]);
  if (sum > kMixClip) sum = kMixClip;
  return static_cast<int16_t>(sum >> 16);
}

int16_t* store(int16_t* buffer, int16_t sample) {
  *buffer++ = sample;
  if (psg.stereo) *buffer++ = sample;
  return buffer;
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
  // Periods change only between runs. A channel with more time units left
  // than the run has does not flip in it; when no channel flips, every
  // sample of the run is the same. Otherwise only the highest pitches, with
  // half-periods under a sample, need the step by step path.
  bool any_flip = false;
  bool one_flip = true;
  for (int c = 0; c < 4; ++c) {
    if (psg.count[c] > span) continue;
    any_flip = true;
    if (psg.period[c] < kPsgTimeUnitsPerSample) one_flip = false;
  }
  if (!any_flip) {
    int32_t acc[4];
    for (int c = 0; c < 4; ++c) {
      acc[c] = psg.output[c] ? kPsgTimeUnitsPerSample : 0;
      psg.count[c] -= span;
    }
    std::fill_n(buffer, length * (psg.stereo ? 2 : 1), mix(acc));
    return;
  }
  if (!one_flip) {
    for (int32_t i = 0; i < length; ++i) {
      const int32_t acc[4] = {tone_sample(0), tone_sample(1), tone_sample(2), noise_sample()};
      buffer = store(buffer, mix(acc));
    }
    return;
  }
  OneFlipChannels ch{};
  std::copy_n(psg.count, 4, ch.count);
  std::copy_n(psg.output, 4, ch.output);
  std::copy_n(psg.period, 4, ch.period);
  ch.noise_shift = psg.noise_shift;
  for (int32_t i = 0; i < length; ++i) {
    const int32_t acc[4] = {tone_sample_one_flip(ch, 0), tone_sample_one_flip(ch, 1),
                            tone_sample_one_flip(ch, 2), noise_sample_one_flip(ch)};
    buffer = store(buffer, mix(acc));
  }
  std::copy_n(ch.count, 4, psg.count);
  std::copy_n(ch.output, 4, psg.output);
  psg.noise_shift = ch.noise_shift;
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
