// The canonical 44-byte header of a PCM WAV file: RIFF, a 16-byte format
// chunk and the data chunk's header, sizes filled in from `data_bytes`.
#pragma once

#include <cstdint>

constexpr int kWavHeaderBytes = 44;

void wav_pcm_header(uint8_t h[kWavHeaderBytes], uint32_t rate, uint32_t channels,
                    uint32_t bits, uint32_t data_bytes);
