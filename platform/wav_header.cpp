#include "platform/wav_header.h"

#include <cstring>

namespace {

void put_le(uint8_t* p, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

void wav_pcm_header(uint8_t h[kWavHeaderBytes], uint32_t rate, uint32_t channels,
                    uint32_t bits, uint32_t data_bytes) {
  const uint32_t block = channels * bits / 8;
  std::memcpy(h, "RIFF", 4);
  put_le(h + 4, 36 + data_bytes, 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put_le(h + 16, 16, 4);            // format chunk size
  put_le(h + 20, 1, 2);             // PCM
  put_le(h + 22, channels, 2);
  put_le(h + 24, rate, 4);
  put_le(h + 28, rate * block, 4);  // bytes per second
  put_le(h + 32, block, 2);         // block align
  put_le(h + 34, bits, 2);
  std::memcpy(h + 36, "data", 4);
  put_le(h + 40, data_bytes, 4);
}
