// The row cache: what each line reads, as stamps to compare with the number
// its row was drawn at. A line may be said to read more than it does (that
// only draws it more often), never less.
#include "vdp/row_cache.h"

#include <algorithm>

VdpRowCache vdp_row_cache;

namespace {

constexpr uint32_t kTextNameRow = 40;
constexpr uint32_t kCellNameRow = 32;

// The newest stamp of the 40 names of a text row (two or three chunks).
uint64_t text_names(uint32_t first) {
  uint64_t newest = 0;
  for (uint32_t k = first >> kChunkShift; k <= (first + kTextNameRow - 1) >> kChunkShift; ++k) {
    newest = std::max(newest, vdp_row_cache.chunk[k]);
  }
  return newest;
}

// Each table below starts on a boundary of its own stamp's size and stays
// inside it: a name row of 32 and the Graphics I colours in one chunk, the
// sprite attributes in one piece, the patterns, the Graphics II colours and
// the sprite patterns in one block.
uint64_t chunk(uint32_t first) { return vdp_row_cache.chunk[first >> kChunkShift]; }
uint64_t piece(uint32_t first) { return vdp_row_cache.piece[first >> kPieceShift]; }
uint64_t block(uint32_t first) { return vdp_row_cache.block[first >> kBlockShift]; }

// The newest change to the tables that active line `line` reads. The
// display-off row is drawn from the registers alone but is given its mode's
// tables as well.
uint64_t newest_table_change(int line) {
  const uint32_t names = vdp.name_base & kVramMask;
  const uint32_t patterns = vdp.pattern_base & kVramMask;
  const uint32_t colours = vdp.colour_base & kVramMask;
  const uint32_t row = static_cast<uint32_t>(line / 8);
  uint64_t newest = 0;
  switch (vdp.screen_mode) {
    case kModeText:  // no sprites
      return std::max(text_names(names + row * kTextNameRow), block(patterns));
    case kModeGraphics1:
      newest = std::max({chunk(names + row * kCellNameRow), block(patterns), chunk(colours)});
      break;
    case kModeGraphics2: {
      const uint32_t third = static_cast<uint32_t>(line & 0xC0) * 32;  // 0, 0x800 or 0x1000
      newest = std::max({chunk(names + row * kCellNameRow), block(patterns + third), block(colours + third)});
      break;
    }
    default:  // Multicolor
      newest = std::max(chunk(names + row * kCellNameRow), block(patterns));
      break;
  }
  return std::max({newest, piece(vdp.sprite_attr_base & kVramMask), block(vdp.sprite_pattern_base & kVramMask)});
}

}  // namespace

void vdp_forget_rows(int first, int count) {
  const int end = std::min(first + count, kFrameHeight);
  for (int row = std::max(first, 0); row < end; ++row) vdp_row_cache.drawn_at[row] = 0;
}

void vdp_forget_all_rows() { vdp_forget_rows(0, kFrameHeight); }

// Nothing changed since the row was drawn; or nothing it shows: border rows
// show only the backdrop, active rows their tables too.
bool vdp_row_fresh(int row, int line) {
  const VdpRowCache& c = vdp_row_cache;
  const uint64_t drawn_at = c.drawn_at[row];
  if (drawn_at == 0 || drawn_at < c.everything) return false;
  if (drawn_at == c.changes || line >= kActiveLines) return true;
  return drawn_at >= newest_table_change(line);
}

void vdp_row_drawn(int row) { vdp_row_cache.drawn_at[row] = vdp_row_cache.changes; }
