// The VDP's row cache: which rows of the frame surface already hold exactly
// what drawing their line again would produce, so that the line can leave
// them as they are. A static screen then costs almost nothing to draw.
//
// Every change that can alter a drawn row takes the next number of one
// counter. A VRAM write that changes a byte stamps its 8-byte cell, 32-byte
// chunk, 128-byte piece and 2 KB block with that number; a register write, a
// reset, the palette, a loaded state and the sprite limit stamp `everything`.
// A row remembers the number it was drawn at, and is fresh while every stamp
// its line reads from (the name row, the pattern, colour and sprite tables of
// the mode, and `everything`) is no newer; in Graphics I and II, failing
// that, while the pattern and colour cells of the characters the row shows
// are no newer. Whoever else writes into the frame surface (the on-screen
// text, the pause picture, a fill, a new or moved surface) forgets the rows
// it touched; the cache never changes a pixel, only skips drawing.
#pragma once

#include <cstdint>

#include "vdp/vdp.h"

constexpr uint32_t kCellShift = 3;    // 8 bytes: one character's pattern or colour rows
constexpr uint32_t kChunkShift = 5;   // 32 bytes: a name row, the Graphics I colours
constexpr uint32_t kPieceShift = 7;   // 128 bytes: the sprite attributes
constexpr uint32_t kBlockShift = 11;  // 2 KB: a pattern table or a third of one

struct VdpRowCache {
  uint64_t changes = 0;     // the number of the latest change
  uint64_t everything = 0;  // the latest change that reaches every row
  uint64_t cell[kVramSize >> kCellShift] = {};
  uint64_t chunk[kVramSize >> kChunkShift] = {};
  uint64_t piece[kVramSize >> kPieceShift] = {};
  uint64_t block[kVramSize >> kBlockShift] = {};
  uint64_t drawn_at[kFrameHeight] = {};  // 0: the row's pixels are not known
};

extern VdpRowCache vdp_row_cache;

// A VRAM byte at `address` changed.
inline void vdp_note_vram_change(uint32_t address) {
  VdpRowCache& c = vdp_row_cache;
  c.changes += 1;
  c.cell[address >> kCellShift] = c.changes;
  c.chunk[address >> kChunkShift] = c.changes;
  c.piece[address >> kPieceShift] = c.changes;
  c.block[address >> kBlockShift] = c.changes;
}

// Something every row may show has changed.
inline void vdp_note_change() {
  vdp_row_cache.changes += 1;
  vdp_row_cache.everything = vdp_row_cache.changes;
}

// Rows [first, first + count) of the frame surface were written by someone
// else: they are drawn again on the next frame.
void vdp_forget_rows(int first, int count);
void vdp_forget_all_rows();

// For the line renderer: true when `row` already holds what line `line` would
// draw now; and the note that it has just drawn `row`.
bool vdp_row_fresh(int row, int line);
void vdp_row_drawn(int row);
