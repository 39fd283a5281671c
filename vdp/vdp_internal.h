// Shared between the VDP's own files (and its tests): the frame surface's
// layout, table set-up, the per-line status step and one row of the locked
// frame surface.
#pragma once

#include <cstdint>

#include "vdp/vdp.h"

constexpr uint32_t kExpansionTableSize = 1u << 20;  // 16 bg x 16 fg x 256 patterns x 8 pixels

// The frame surface: 288 x 240, the 256 x 192 active area at column 16, row 24.
constexpr int kFrameWidth = 288;
constexpr int kFrameHeight = 240;
constexpr int kActiveLeft = 16;
constexpr int kActiveTop = 24;
constexpr int kActiveWidth = 256;
constexpr int kActiveLines = 192;
constexpr int kBottomBorderEnd = 216;  // lines 192..215 draw rows 216..239
constexpr int kTopBorderEnd = 240;     // lines 216..239 draw rows 0..23

// Builds vdp_palette, the term tables and the expansion table (once).
void vdp_build_tables();
// The status and interrupt steps of the current line (lines 212 and 261).
void vdp_line_status();
// Row `row` of the frame surface, or null when the surface is not ready.
uint16_t* vdp_frame_row(int row);
