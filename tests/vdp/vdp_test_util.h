// Helpers for the VDP tests: a fresh VDP on the in-memory frame surface, port
// level register and VRAM writes, whole-frame runs, and a reference picture
// computed pixel by pixel from the registers and VRAM alone.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "vdp/vdp.h"

constexpr uint16_t kSentinel = 0x1234;  // no palette colour has this pixel value

// A fresh VDP (registers and status zero) with the given interrupt callback,
// the frame locked and filled with kSentinel.
void vdp_test_start(VdpInterruptCallback callback = nullptr);
void set_register(int reg, uint8_t value);
void write_vram(uint16_t address, std::initializer_list<uint8_t> bytes);
// Runs the VDP over lines [from, to) with the given render flag.
void run_lines(int from, int to, int render = 1);
void fill_frame(uint16_t pixel);
uint16_t pixel(int x, int row);
// Pixel at active-area position (x 0..255, line 0..191).
inline uint16_t screen(int x, int line) { return pixel(x + 16, line + 24); }
uint16_t colour_pixel(int colour);

// Graphics I with the display on, tables at name 0x1800, colour 0x2000,
// pattern 0x0000, sprite attributes 0x1B00, sprite patterns 0x3800.
void setup_graphics1(uint8_t reg1_extra = 0);

uint16_t reference_pixel(int x, int row);
// Compares every pixel of the frame surface with the reference picture.
testing::AssertionResult frame_matches_reference();
