// The VGM logger: what the Z80 writes to the sound generator, with the
// passing of time in 44,100 Hz samples, kept in memory while active and
// handed out at the end as the bytes of a VGM 1.00 file (64-byte header, then
// the commands 0x50 dd, 0x61 nn nn, 0x62, 0x63, ended by 0x66) for a front
// end to write. The command buffer grows in 2 MB steps, so a
// log of any length stays whole.
#pragma once

#include <cstdint>
#include <vector>

constexpr int32_t kVgmHeaderBytes = 64;
constexpr int32_t kVgmDataStep = 2097152;  // command buffer growth step

struct VgmLog {
  uint32_t active = 0;
  uint8_t header[kVgmHeaderBytes] = {};
  std::vector<uint8_t> data;  // the command stream; its size is the capacity
  int32_t length = 0;         // bytes used in data
};

extern VgmLog vgm;

void vgm_start();
uint32_t vgm_is_logging();
void vgm_put_byte(uint8_t b);
void vgm_log_psg_write(uint8_t b);
void vgm_log_wait(int32_t n);
// Ends the log, if one is active, and puts the whole file (header and
// commands) into `file`: 1. 0 when no log was active.
int vgm_finish(std::vector<uint8_t>* file);
