// A streaming resampler for the live sound: each frame's samples are turned
// into `ratio` times as many (0.95-1.05 in use), continuing smoothly from
// the last frame. Each output sample is a four-point cubic (Catmull-Rom)
// interpolation of the input around its position, so a steady wave keeps
// its shape while its rate follows the sound card's clock. Not a band-limited
// filter: at these ratios the images it leaves lie far above the PSG's tones.
#pragma once

#include <cstdint>

// The samples before the current frame that the interpolation still reads.
constexpr int32_t kResamplerHistory = 3;

struct Resampler {
  // The last input samples of the previous frame, oldest first.
  int16_t history[kResamplerHistory] = {};
  // Where the next output sample falls, in input samples from the oldest
  // history sample: 1 <= position < 2 + ratio between frames.
  double position = 1.0;
};

void resampler_reset(Resampler& r);
// Resamples `count` input samples by `ratio` (output samples per input
// sample, 0.5-2) into `out`, which holds at least count * ratio + 2
// samples; returns how many were written. `count` is at most
// kResamplerMaxInput.
constexpr int32_t kResamplerMaxInput = 2048;
int32_t resampler_run(Resampler& r, const int16_t* in, int32_t count, double ratio, int16_t* out);
