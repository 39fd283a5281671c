// The row cache: what each line reads, as stamps to compare with the number
// its row was drawn at. A line may be said to read more than it does (that
// only draws it more often), never less.
#include "vdp/row_cache.h"

#include <algorithm>

VdpRowCache vdp_row_cache;

namespace {

constexpr uint32_t kTextNameRow = 40;
constexpr uint32_t kCellNameRow = 32;
constexpr uint32_t kColourTableGraphics1 = 32;
constexpr uint32_t kSpriteAttributeBytes = 128;

// The newest stamp of `length` bytes from `first` (within VRAM).
uint64_t span(uint32_t first, uint32_t length) {
  uint64_t newest = 0;
  for (uint32_t k = first >> kChunkShift; k <= (first + length - 1) >> kChunkShift; ++k) {
    newest = std::max(newest, vdp_row_cache.chunk[k]);
  }
  return newest;
}

// The stamp of the 2 KB block at `first`. Every table read through here
// (patterns, Graphics II colours, sprite patterns) starts on a 2 KB boundary
// and stays inside its 2 KB.
uint64_t block(uint32_t first) { return vdp_row_cache.block[first >> kBlockShift]; }

// The newest change to what line `line` reads. Border lines show only the
// backdrop; the display-off row is drawn from the registers alone but is
// given its mode's tables as well.
uint64_t newest_input(int line) {
  uint64_t newest = vdp_row_cache.everything;
  if (line >= kActiveLines) return newest;
  const uint32_t names = vdp.name_base & kVramMask;
  const uint32_t patterns = vdp.pattern_base & kVramMask;
  const uint32_t colours = vdp.colour_base & kVramMask;
  const uint32_t row = static_cast<uint32_t>(line / 8);
  switch (vdp.screen_mode) {
    case kModeText:  // no sprites
      return std::max({newest, span(names + row * kTextNameRow, kTextNameRow), block(patterns)});
    case kModeGraphics1:
      newest = std::max({newest, span(names + row * kCellNameRow, kCellNameRow), block(patterns),
                         span(colours, kColourTableGraphics1)});
      break;
    case kModeGraphics2: {
      const uint32_t third = static_cast<uint32_t>(line & 0xC0) * 32;  // 0, 0x800 or 0x1000
      newest = std::max({newest, span(names + row * kCellNameRow, kCellNameRow), block(patterns + third),
                         block(colours + third)});
      break;
    }
    default:  // Multicolor
      newest = std::max({newest, span(names + row * kCellNameRow, kCellNameRow), block(patterns)});
      break;
  }
  return std::max({newest, span(vdp.sprite_attr_base & kVramMask, kSpriteAttributeBytes),
                   block(vdp.sprite_pattern_base & kVramMask)});
}

}  // namespace

void vdp_forget_rows(int first, int count) {
  const int end = std::min(first + count, kFrameHeight);
  for (int row = std::max(first, 0); row < end; ++row) vdp_row_cache.drawn_at[row] = 0;
}

void vdp_forget_all_rows() { vdp_forget_rows(0, kFrameHeight); }

bool vdp_row_fresh(int row, int line) {
  const uint64_t drawn_at = vdp_row_cache.drawn_at[row];
  return drawn_at != 0 && drawn_at >= newest_input(line);
}

void vdp_row_drawn(int row) { vdp_row_cache.drawn_at[row] = vdp_row_cache.changes; }
