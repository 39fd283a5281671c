// The VGM logger: SN76489 writes and waits, written as a VGM 1.00 file.
#pragma once

#include <cstdint>

void vgm_start();
uint32_t vgm_is_logging();
void vgm_put_byte(uint8_t b);
void vgm_log_psg_write(uint8_t b);
void vgm_log_wait(int32_t n);
void vgm_stop(const char* file_name);
