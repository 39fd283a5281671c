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

uint64_t sprite_tables() {
  return std::max(piece(vdp.sprite_attr_base & kVramMask), block(vdp.sprite_pattern_base & kVramMask));
}

// Graphics II's third of the pattern and colour tables for character row `char_row`.
uint32_t third_of(int char_row) { return static_cast<uint32_t>(char_row / kRowsPerThird) * kThirdBytes; }

// The newest change to the tables that the lines of character row
// `char_row` read. The display-off row is drawn from the registers alone but
// is given its mode's tables as well.
uint64_t newest_table_change(int char_row) {
  const uint32_t names = vdp.name_base & kVramMask;
  const uint32_t patterns = vdp.pattern_base & kVramMask;
  const uint32_t colours = vdp.colour_base & kVramMask;
  const uint32_t row = static_cast<uint32_t>(char_row);
  switch (vdp.screen_mode) {
    case kModeText:  // no sprites
      return std::max(text_names(names + row * kTextNameRow), block(patterns));
    case kModeGraphics1:
      return std::max({chunk(names + row * kCellNameRow), block(patterns), chunk(colours), sprite_tables()});
    case kModeGraphics2: {
      const uint32_t third = third_of(char_row);
      return std::max({chunk(names + row * kCellNameRow), block(patterns + third), block(colours + third),
                       sprite_tables()});
    }
    default:  // Multicolor
      return std::max({chunk(names + row * kCellNameRow), block(patterns), sprite_tables()});
  }
}

// A Graphics I or II character row whose tables changed somewhere since
// `drawn_at`, looked at character by character: unchanged when its names,
// the sprites and the pattern and colour cells of the 32 characters it shows
// are.
bool cells_unchanged(int char_row, uint64_t drawn_at) {
  const uint32_t names = (vdp.name_base & kVramMask) + static_cast<uint32_t>(char_row) * kCellNameRow;
  const uint32_t colours = vdp.colour_base & kVramMask;
  const bool graphics2 = vdp.screen_mode == kModeGraphics2;
  const uint32_t third = graphics2 ? third_of(char_row) : 0;
  // Graphics I: one colour byte for eight names, all in one chunk.
  if (!graphics2 && chunk(colours) > drawn_at) return false;
  if (chunk(names) > drawn_at || sprite_tables() > drawn_at) return false;
  const uint64_t* pattern_cells = &vdp_row_cache.cell[((vdp.pattern_base & kVramMask) + third) >> kCellShift];
  const uint64_t* colour_cells = &vdp_row_cache.cell[(colours + third) >> kCellShift];
  for (uint32_t c = 0; c < kCellNameRow; ++c) {
    const uint32_t name = vdp.vram[names + c];
    if (pattern_cells[name] > drawn_at) return false;
    if (graphics2 && colour_cells[name] > drawn_at) return false;
  }
  return true;
}

bool tables_unchanged(int char_row, uint64_t drawn_at) {
  if (newest_table_change(char_row) <= drawn_at) return true;
  const bool cells = vdp.screen_mode == kModeGraphics1 || vdp.screen_mode == kModeGraphics2;
  return cells && cells_unchanged(char_row, drawn_at);
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
