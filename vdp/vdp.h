// The video display processor (TMS9918A type): control and data ports,
// eight registers, 16 KB of VRAM, the status byte and the frame interrupt
// raised at line 212; the line renderer draws into the locked frame surface.
#pragma once

#include <cstdint>

using VdpInterruptCallback = void (*)(int level);

constexpr int kLinesPerFrame = 312;
constexpr int kIrqLine = 212;
constexpr int kIrqWithdrawLine = 261;

struct VdpState {
  // (the VDP's own fields are added with the VDP)
  int32_t frame_pitch = 0;   // noted by every video_lock_frame
  int32_t current_line = 0;  // scanline being processed, 0..311
};

extern VdpState vdp;

void vdp_init(VdpInterruptCallback callback);
void vdp_release();
void vdp_reset();
void vdp_write_control(uint8_t value);
void vdp_write_data(uint8_t value);
uint8_t vdp_read_data();
uint8_t vdp_read_status();
void vdp_render_line(int render);
uint32_t vdp_toggle_sprite_limit();
