// The VDP's line renderer: the palette, the pre-expanded pattern table and one
// routine per screen mode, each writing only row line + 24 of the frame
// surface it is given (288 x 240, active area at column 16).
//
// A character cell is one lookup in the expansion table and one copy of its
// ready-made pixels. Text mode draws 40 cells of 6 pixels and no sprites;
// Graphics I, Graphics II and Multicolor (64 x 48 blocks of 4 x 4 pixels) draw
// 32 cells of 8 and the sprites over them, then refill the side borders.
// Lines 192..239 are border rows, drawn also on frames that are not shown;
// 240..311 draw nothing.
// A row that already holds what its line would draw is left as it is (the
// row cache, vdp/row_cache.h).
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

#include "vdp/row_cache.h"
#include "vdp/vdp.h"
#include "vdp/vdp_internal.h"

// clang-format off
const uint8_t vdp_palette_rgb[16][4] = {
    //  B    G    R   reserved
    {   0,   0,   0, 0},  //  0 transparent
    {   0,   0,   0, 0},  //  1 black
    {  32, 192,  32, 0},  //  2 medium green
    {  96, 224,  96, 0},  //  3 light green
    { 224,  32,  32, 0},  //  4 dark blue
    { 224,  96,  64, 0},  //  5 light blue
    {  32,  32, 160, 0},  //  6 dark red
    { 224, 192,  64, 0},  //  7 cyan
    {  32,  32, 224, 0},  //  8 medium red
    {  96,  96, 224, 0},  //  9 light red
    {  32, 192, 192, 0},  // 10 dark yellow
    { 128, 192, 192, 0},  // 11 light yellow
    {  32, 128,  32, 0},  // 12 dark green
    { 160,  64, 192, 0},  // 13 magenta
    { 160, 160, 160, 0},  // 14 grey
    { 224, 224, 224, 0},  // 15 white
};
// clang-format on

namespace {

constexpr int kRunBytes = 16;       // 8 pixels of 16 bits
constexpr int kTextCellBytes = 12;  // the first 6 pixels of a run
constexpr int kTextColumns = 40;
constexpr int kTextCellWidth = 6;
constexpr int kCellColumns = 32;
constexpr int kTextRightBorder = kActiveLeft + kTextColumns * kTextCellWidth;  // column 256
constexpr int kRightBorder = kActiveLeft + kActiveWidth;                       // column 272

// A table in VRAM. Every table base is a multiple of its own size (names
// 1 KB, patterns 2 KB or 8 KB, colours 64 bytes or 8 KB), so once the base is
// taken modulo 16 KB no index within the table can run past the end of VRAM.
inline const uint8_t* table_at(uint32_t base) { return &vdp.vram[base & kVramMask]; }

inline void fill(uint16_t* first, int count, uint16_t pixel) { std::fill_n(first, count, pixel); }

// A colour as the frame surface's pixel: RGB565, the top five bits red, six
// green, five blue.
uint16_t rgb565(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

inline void copy_run(uint16_t* out, uint32_t bg, uint32_t fg, uint32_t pattern, int bytes) {
  std::memcpy(out, vdp.expansion_table + vdp.bg_term[bg] + vdp.fg_term[fg] + vdp.pattern_term[pattern],
              bytes);
}

// The row of an active line, or null when nothing can be drawn. With the
// display off the row becomes backdrop and null is returned as well.
uint16_t* begin_active_row(int line) {
  uint16_t* row = vdp_frame_row(line + kActiveTop);
  if (row == nullptr || vdp.expansion_table == nullptr) return nullptr;
  if (vdp.display_enabled == 0) {
    fill(row, kFrameWidth, vdp.backdrop_pixel);
    return nullptr;
  }
  return row;
}

// Sprites over the cells, then the side borders (which also clip sprite
// pixels that spilled there).
void finish_cell_row(uint16_t* row, int line) {
  vdp_draw_sprites(line);
  fill(row, kActiveLeft, vdp.backdrop_pixel);
  fill(row + kRightBorder, kFrameWidth - kRightBorder, vdp.backdrop_pixel);
}

// The colour part of a cell's offset in the expansion table for each colour
// byte k: bg_term[k & 15] + fg_term[k >> 4]. A byte of 0 draws the text
// colour on the backdrop: entry 0 is bg_term[backdrop] + fg_term[text colour].
// Rebuilt whenever register 7 has changed since the last build.
struct ColourTerms {
  bool built = false;
  uint32_t background0 = 0;  // bg_term[0], the backdrop and the text colour built from
  uint32_t backdrop = 0;
  uint32_t text_colour = 0;
  uint32_t term[256] = {};
};

ColourTerms colour_terms;

const uint32_t* current_colour_terms() {
  ColourTerms& t = colour_terms;
  if (t.built && t.background0 == vdp.bg_term[0] && t.backdrop == vdp.backdrop_index &&
      t.text_colour == vdp.text_colour_index) {
    return t.term;
  }
  t.built = true;
  t.background0 = vdp.bg_term[0];
  t.backdrop = vdp.backdrop_index;
  t.text_colour = vdp.text_colour_index;
  for (uint32_t k = 0; k < 256; ++k) t.term[k] = vdp.bg_term[k & 15] + vdp.fg_term[k >> 4];
  t.term[0] = vdp.bg_term[vdp.backdrop_index] + vdp.fg_term[vdp.text_colour_index];
  return t.term;
}

// One row of 32 cells; `patterns` points at the line's row of pattern 0.
// Graphics II has a colour byte for every pattern row (`colours` points like
// `patterns`), Graphics I one for each group of eight names.
void draw_cells(uint16_t* out, const uint8_t* names, const uint8_t* patterns, const uint8_t* colours,
                bool colour_per_row) {
  const uint32_t* terms = current_colour_terms();
  const uint8_t* table = vdp.expansion_table;
#pragma GCC unroll 8
  for (int c = 0; c < kCellColumns; ++c) {
    const uint32_t name = names[c];
    const uint32_t k = colour_per_row ? colours[name * 8] : colours[name >> 3];
    const uint32_t p = patterns[name * 8];
    std::memcpy(out + c * 8, table + terms[k] + vdp.pattern_term[p], kRunBytes);
  }
}

}  // namespace

uint16_t* vdp_frame_row(int row) {
  if (vdp.frame == nullptr) return nullptr;
  return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(vdp.frame) +
                                     static_cast<std::ptrdiff_t>(row) * vdp.frame_pitch);
}

void vdp_set_frame(uint16_t* pixels, int32_t pitch) {
  // Rows the VDP drew are known only in the surface it drew them into.
  if (pixels != vdp.frame || pitch != vdp.frame_pitch) vdp_forget_all_rows();
  vdp.frame = pixels;
  vdp.frame_pitch = pitch;
}

void vdp_build_tables() {
  vdp_note_change();
  for (int c = 0; c < 16; ++c) {
    const uint8_t* rgb = vdp_palette_rgb[c];
    vdp.vdp_palette[c] = rgb565(rgb[2], rgb[1], rgb[0]);
  }
  if (vdp.expansion_table == nullptr) {
    vdp.expansion_table = new (std::nothrow) uint8_t[kExpansionTableSize];
    if (vdp.expansion_table == nullptr) {
      std::fprintf(stderr, "quav: no memory for the video pattern table; the picture stays blank\n");
      return;
    }
  }
  for (uint32_t c = 0; c < 16; ++c) {
    vdp.bg_term[c] = c << 16;
    vdp.fg_term[c] = c << 12;
  }
  for (uint32_t p = 0; p < 256; ++p) vdp.pattern_term[p] = p << 4;
  for (uint32_t bg = 0; bg < 16; ++bg) {
    for (uint32_t fg = 0; fg < 16; ++fg) {
      for (uint32_t p = 0; p < 256; ++p) {
        uint16_t run[8];
        for (int k = 0; k < 8; ++k) run[k] = vdp.vdp_palette[(p >> (7 - k)) & 1 ? fg : bg];
        std::memcpy(vdp.expansion_table + vdp.bg_term[bg] + vdp.fg_term[fg] + vdp.pattern_term[p], run,
                    sizeof run);
      }
    }
  }
}

void vdp_render_line(int render) {
  vdp_line_status();
  const int line = vdp.current_line;
  if (line < kActiveLines) {
    const int row = line + kActiveTop;
    if (render == 0 || vdp_row_fresh(row, line)) return;
    if (vdp_frame_row(row) == nullptr || vdp.expansion_table == nullptr) return;
    switch (vdp.screen_mode) {
      case kModeText: vdp_draw_text_line(line); break;
      case kModeGraphics1: vdp_draw_graphics1_line(line); break;
      case kModeGraphics2: vdp_draw_graphics2_line(line); break;
      default: vdp_draw_multicolor_line(line); break;
    }
    vdp_row_drawn(row);
    return;
  }
  int row = -1;
  if (line < kBottomBorderEnd) {
    row = line + kActiveTop;
  } else if (line < kTopBorderEnd) {
    row = line - kBottomBorderEnd;
  }
  if (row < 0 || vdp_row_fresh(row, line)) return;
  uint16_t* out = vdp_frame_row(row);
  if (out == nullptr) return;
  fill(out, kFrameWidth, vdp.backdrop_pixel);
  vdp_row_drawn(row);
}

void vdp_draw_text_line(int line) {
  uint16_t* row = begin_active_row(line);
  if (row == nullptr) return;
  const uint8_t* names = table_at(vdp.name_base) + (line / 8) * kTextColumns;
  const uint8_t* patterns = table_at(vdp.pattern_base) + (line & 7);
  uint16_t* out = row + kActiveLeft;
  for (int c = 0; c < kTextColumns; ++c) {
    const uint32_t p = patterns[names[c] * 8];
    copy_run(out + c * kTextCellWidth, vdp.backdrop_index, vdp.text_colour_index, p, kTextCellBytes);
  }
  fill(row, kActiveLeft, vdp.backdrop_pixel);
  fill(row + kTextRightBorder, kFrameWidth - kTextRightBorder, vdp.backdrop_pixel);
}

void vdp_draw_graphics1_line(int line) {
  uint16_t* row = begin_active_row(line);
  if (row == nullptr) return;
  draw_cells(row + kActiveLeft, table_at(vdp.name_base) + (line / 8) * kCellColumns,
             table_at(vdp.pattern_base) + (line & 7), table_at(vdp.colour_base), false);
  finish_cell_row(row, line);
}

void vdp_draw_graphics2_line(int line) {
  uint16_t* row = begin_active_row(line);
  if (row == nullptr) return;
  const uint32_t third = static_cast<uint32_t>(line & 0xC0) * 32;  // 0, 0x800 or 0x1000
  const uint32_t fine = third + (line & 7);
  draw_cells(row + kActiveLeft, table_at(vdp.name_base) + (line / 8) * kCellColumns,
             table_at(vdp.pattern_base) + fine, table_at(vdp.colour_base) + fine, true);
  finish_cell_row(row, line);
}

// Each name cell is 2 x 2 blocks of 4 x 4 pixels; one pattern byte gives the
// two colours (high nibble left) of a block row, colour 0 showing the backdrop.
void vdp_draw_multicolor_line(int line) {
  uint16_t* row = begin_active_row(line);
  if (row == nullptr) return;
  const uint8_t* names = table_at(vdp.name_base) + (line / 8) * kCellColumns;
  const uint8_t* blocks = table_at(vdp.pattern_base) + ((line / 8) & 3) * 2 + ((line / 4) & 1);
  uint16_t* out = row + kActiveLeft;
  for (int c = 0; c < kCellColumns; ++c) {
    const uint32_t colours = blocks[names[c] * 8];
    fill(out + c * 8, 4, vdp.vdp_palette[colours >> 4]);
    fill(out + c * 8 + 4, 4, vdp.vdp_palette[colours & 15]);
  }
  finish_cell_row(row, line);
}
