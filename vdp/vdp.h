// The video display processor (TMS9918A type): control and data ports,
// eight registers, 16 KB of VRAM, the status byte and the frame interrupt
// raised at line 212 (line 192 on the NTSC machine: the machine says which);
// the line renderer draws into the frame surface it is given (vdp/frame.h),
// leaving alone the rows that already hold what it would draw (a cache:
// vdp/row_cache.h).
// Not modelled: the fifth-sprite flag and number (status bits 6 and 4..0
// always read 0) and any horizontal timing inside a line.
#pragma once

#include <cstdint>

#include "vdp/frame.h"

using VdpInterruptCallback = void (*)(int level);

// The 50 Hz machine's frame; the NTSC machine's 262 lines raise the frame
// interrupt at line 192 (vdp_set_frame_lines).
constexpr int kLinesPerFrame = 312;
constexpr int kIrqLine = 212;
constexpr int kIrqWithdrawLine = 261;

constexpr uint32_t kVramSize = 0x4000;
constexpr uint32_t kVramMask = 0x3FFF;
constexpr uint32_t kExpansionTableSize = 1u << 20;  // 16 bg x 16 fg x 256 patterns x 8 pixels

constexpr uint8_t kStatusFrame = 0x80;
constexpr uint8_t kStatusCoincidence = 0x20;

enum VdpScreenMode : uint32_t { kModeText = 0, kModeGraphics1 = 1, kModeGraphics2 = 2, kModeMulticolor = 3 };

struct VdpState {
  VdpInterruptCallback vdp_interrupt_callback = nullptr;
  uint8_t latch_byte = 0;           // first byte of a control-port pair
  uint8_t second_byte_pending = 0;  // 1 after the first control byte
  uint8_t write_mode = 0;           // 0x40 after a write set-up, 0 after a read set-up
  uint16_t vram_address = 0;        // 0..0x3FFF
  uint32_t irq_asserted = 0;
  // Pre-expanded 8-pixel runs: the run for (bg, fg, pattern byte p) starts at
  // byte offset bg_term[bg] + fg_term[fg] + pattern_term[p].
  uint8_t* expansion_table = nullptr;
  uint32_t bg_term[16] = {};  // c << 16; entry 0 follows the backdrop
  uint32_t fg_term[16] = {};  // c << 12
  uint32_t pattern_term[256] = {};  // p << 4
  uint16_t backdrop_pixel = 0;
  uint32_t backdrop_index = 0;      // register 7 low nibble
  uint32_t text_colour_index = 0;   // register 7 high nibble
  uint16_t* frame = nullptr;        // the frame surface drawn into (vdp_set_frame)
  int32_t frame_pitch = 0;          // its bytes from row to row
  uint32_t screen_mode = kModeText;
  uint32_t display_enabled = 0;
  uint32_t sprites_16 = 0;
  uint32_t sprites_magnified = 0;
  uint32_t sprite_limit = 0;  // 1: at most four sprites per line
  uint32_t name_base = 0;
  uint32_t pattern_base = 0;
  uint32_t colour_base = 0;
  uint32_t sprite_attr_base = 0;
  uint32_t sprite_pattern_base = 0;
  uint8_t vram[kVramSize] = {};
  uint32_t registers[8] = {};
  int32_t current_line = 0;  // scanline being processed, 0..311 (0..261 NTSC)
  int32_t irq_line = kIrqLine;                   // the frame flag and interrupt
  int32_t irq_withdraw_line = kIrqWithdrawLine;  // the interrupt withdrawn
  uint8_t status = 0;
  // Frame-surface pixel of each colour; entry 0 follows the backdrop.
  uint16_t vdp_palette[16] = {};
};

extern VdpState vdp;

// The 16 colours as rows of blue, green, red, reserved.
extern const uint8_t vdp_palette_rgb[16][4];

void vdp_init(VdpInterruptCallback callback);
void vdp_release();
void vdp_reset();
void vdp_write_control(uint8_t value);
void vdp_write_data(uint8_t value);
uint8_t vdp_read_data();
uint8_t vdp_read_status();
void vdp_write_register(int reg, uint8_t value);
void vdp_render_line(int render);
// The frame surface the line renderer draws into from now on: `pitch` bytes
// from row to row. Another place or pitch than before means that no row of
// it is known to hold what its line would draw.
void vdp_set_frame(uint16_t* pixels, int32_t pitch);
// The lines of the frame interrupt and its withdrawal on the running machine.
void vdp_set_frame_lines(int32_t irq_line, int32_t withdraw_line);
uint32_t vdp_toggle_sprite_limit();

// Side-effect-free views for tests, the on-screen text and debuggers.
uint8_t vdp_peek_vram(uint32_t address);
uint8_t vdp_peek_register(int reg);
uint8_t vdp_peek_status();

// The line routines (row line + 24 of the locked frame surface), the sprite
// pass and the once-a-frame coincidence test.
void vdp_draw_text_line(int line);
void vdp_draw_graphics1_line(int line);
void vdp_draw_graphics2_line(int line);
void vdp_draw_multicolor_line(int line);
void vdp_draw_sprites(int line);
int vdp_check_collision();

// Save states (vdp/vdp_state.cpp): the ports' latch and address, the
// registers and screen mode, status, interrupt line, current line, VRAM.
// The tables derived from the registers are worked out again on loading.
class StateWriter;
class StateReader;
void vdp_state_save(StateWriter& out);
bool vdp_state_load(StateReader& in, VdpState* into);
extern const uint32_t kVdpStateRecordSize;
