// The row cache: what each line reads, as stamps to compare with the number
// its row was drawn at. A line may be said to read more than it does (that
// only draws it more often), never less.
#include "vdp/row_cache.h"

#include <algorithm>

VdpRowCache vdp_row_cache;

namespace {

constexpr uint32_t kTextNameRow = 40;
constexpr uint32_t kCellNameRow = 32;
constexpr uint32_t kThirdBytes = 0x800;  // Graphics II: eight character rows' patterns or colours
constexpr int kRowsPerThird = 8;

// Each table below starts on a boundary of its own stamp's size and stays
// inside it: a name row of 32 and the Graphics I colours in one chunk, the
// sprite attributes in one piece, the patterns, the Graphics II colours and
// the sprite patterns in one block.
uint64_t chunk(uint32_t first) { return vdp_row_cache.chunk[first >> kChunkShift]; }
uint64_t piece(uint32_t first) { return vdp_row_cache.piece[first >> kPieceShift]; }
uint64_t block(uint32_t first) { return vdp_row_cache.block[first >> kBlockShift]; }

// The newest stamp of the 40 names of a text row (two or three chunks).
uint64_t text_names(uint32_t first) {
  uint64_t newest = 0;
  for (uint32_t k = first >> kChunkShift; k <= (first + kTextNameRow - 1) >> kChunkShift; ++k) {
    newest = std::max(newest, vdp_row_cache.chunk[k]);
  }
  return newest;
}

// Graphics II's third of the pattern and colour tables for character row `char_row`.
uint32_t third_of(int char_row) { return static_cast<uint32_t>(char_row / kRowsPerThird) * kThirdBytes; }

// The 32 characters a Graphics I or II row shows, looked at one by one:
// unchanged when the pattern cell of each (and in Graphics II its colour
// cell) is no newer than `drawn_at`.
bool cells_unchanged(uint32_t names, uint32_t patterns, uint32_t colours, bool colour_per_name,
                     uint64_t drawn_at) {
  const uint64_t* pattern_cells = &vdp_row_cache.cell[patterns >> kCellShift];
  const uint64_t* colour_cells = &vdp_row_cache.cell[colours >> kCellShift];
  for (uint32_t c = 0; c < kCellNameRow; ++c) {
    const uint32_t name = vdp.vram[names + c];
    if (pattern_cells[name] > drawn_at) return false;
    if (colour_per_name && colour_cells[name] > drawn_at) return false;
  }
  return true;
}

// Whether the tables that the lines of character row `char_row` read are as
// they were at `drawn_at`: the names, the patterns and colours, the sprites
// (those most often changed are looked at first). The display-off row is
// drawn from the registers alone but is given its mode's tables as well.
bool tables_unchanged(int char_row, uint64_t drawn_at) {
  const auto changed = [drawn_at](uint64_t stamp) { return stamp > drawn_at; };
  const uint32_t names = vdp.name_base & kVramMask;
  const uint32_t patterns = vdp.pattern_base & kVramMask;
  const uint32_t colours = vdp.colour_base & kVramMask;
  const uint32_t row = static_cast<uint32_t>(char_row);
  if (vdp.screen_mode == kModeText) {  // no sprites
    return !changed(text_names(names + row * kTextNameRow)) && !changed(block(patterns));
  }
  const uint32_t name_row = names + row * kCellNameRow;
  if (changed(piece(vdp.sprite_attr_base & kVramMask)) || changed(block(vdp.sprite_pattern_base & kVramMask)) ||
      changed(chunk(name_row))) {
    return false;
  }
  switch (vdp.screen_mode) {
    case kModeGraphics1:  // one colour byte for eight names, all in one chunk
      if (changed(chunk(colours))) return false;
      return !changed(block(patterns)) || cells_unchanged(name_row, patterns, colours, false, drawn_at);
    case kModeGraphics2: {
      const uint32_t third = third_of(char_row);
      if (!changed(block(patterns + third)) && !changed(block(colours + third))) return true;
      return cells_unchanged(name_row, patterns + third, colours + third, true, drawn_at);
    }
    default:  // Multicolor
      return !changed(block(patterns));
  }
}

// The eight lines of a character row read the same tables: the last answer
// holds for the next line of the same character row drawn at the same
// number, while nothing has changed since it was given.
struct TablesAnswer {
  int char_row = -1;
  uint64_t drawn_at = 0;
  uint64_t changes = 0;
  bool unchanged = false;
};
TablesAnswer last_answer;

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
  TablesAnswer& a = last_answer;
  const int char_row = line / 8;
  if (a.char_row != char_row || a.drawn_at != drawn_at || a.changes != c.changes) {
    a = {char_row, drawn_at, c.changes, tables_unchanged(char_row, drawn_at)};
  }
  return a.unchanged;
}

void vdp_row_drawn(int row) { vdp_row_cache.drawn_at[row] = vdp_row_cache.changes; }
