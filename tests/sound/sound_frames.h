// Helpers shared by the sound tests: one emulated frame of the stream's
// schedule (no CPU) and a little-endian field of a file or header.
#pragma once

#include <cstdint>

#include "sound/stream.h"

inline void run_sound_frame(int deliver) {
  snd_frame_begin();
  for (int line = 0; line < 312; ++line) snd_line_done();
  snd_frame_end(deliver);
}

inline uint32_t le32(const uint8_t* b) {
  return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}
