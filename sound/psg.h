// The SN76489-type programmable sound generator: three square-wave tone
// channels and one noise channel, each with a 4-bit attenuation, clocked at
// 3,579,545 Hz and written one byte at a time through ports 0x7E/0x7F.
// Samples are made at 44,100 Hz by integrating each channel's square wave
// over the sample period in fixed point (one sample = 0x10000 time units).
// Output words are 0..32,767 (silence is 0, not a mid-point). Not modelled:
// the analogue output stage (no filtering, no DC offset).
#pragma once

#include <cstdint>

constexpr int32_t kPsgTimeUnitsPerSample = 0x10000;
constexpr uint32_t kPsgNoisePreset = 0x0F35;
constexpr uint32_t kPsgWhiteFeedback = 0x12000;
constexpr uint32_t kPsgPeriodicFeedback = 0x08000;

struct PsgState {
  uint32_t update_step = 0;     // one tick of 16 chip clocks, in time units
  int32_t volume_table[16] = {};
  int32_t registers[8] = {};    // 0/2/4 tone periods, 1/3/5/7 attenuations, 6 noise
  int32_t last_register = 0;    // the register named by the last latch byte
  int32_t volume[4] = {};       // current level of tones 0-2 and noise
  uint32_t noise_shift = kPsgNoisePreset;
  uint32_t noise_feedback = 0;  // 0 until the first noise-control write
  int32_t period[4] = {};       // half-periods in time units
  int32_t count[4] = {};        // time units left until each channel's next flip
  int32_t output[4] = {};       // current output bit of each channel
  int32_t sample_rate = 0;
  uint32_t stereo = 0;          // non-zero: each sample is stored twice
  uint32_t muted = 0;           // non-zero: psg_update makes silence
};

extern PsgState psg;

void psg_init(int32_t clock, int32_t sample_rate, uint32_t stereo);
void psg_reset();
void psg_write(uint8_t data);
void psg_set_gain(uint8_t gain);
// length samples: length words in mono, 2 × length in stereo.
void psg_update(int16_t* buffer, int32_t length);

// Save states (sound/psg_state.cpp): registers, levels, the noise register,
// each channel's period, count and output. The clock-derived step, the
// volume table, the output format and the mute belong to the set-up.
class StateWriter;
class StateReader;
void psg_state_save(StateWriter& out);
bool psg_state_load(StateReader& in, PsgState* into);
extern const uint32_t kPsgStateRecordSize;
