// The SN76489-type programmable sound generator: three square-wave tone
// channels and one noise channel, written through ports 0x7E/0x7F.
#pragma once

#include <cstdint>

struct PsgState {
  // (the generator's own fields are added with the PSG)
  uint32_t muted = 0;
};

extern PsgState psg;

void psg_init(int32_t clock, int32_t sample_rate, uint32_t stereo);
void psg_reset();
void psg_write(uint8_t data);
void psg_set_gain(uint8_t gain);
void psg_update(int16_t* buffer, int32_t length);
