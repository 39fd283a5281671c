// Shared between the VDP's own files: table set-up, the per-line status step
// and access to one row of the frame surface.
#pragma once

#include <cstdint>

#include "vdp/vdp.h"

// Builds vdp_palette, the term tables and the expansion table (once).
void vdp_build_tables();
// The status and interrupt steps of the current line (lines 212 or 192, and 261).
void vdp_line_status();
// Row `row` of the frame surface, or null when there is none.
uint16_t* vdp_frame_row(int row);
// What the registers decide, worked out again for a record whose registers
// and screen mode were set directly (a loaded state): the mode flags, the
// table addresses, the text and backdrop colours.
void vdp_derive_from_registers(VdpState& v);
