// The VDP's 32 sprites: the per-line pass over the background, the
// once-a-frame coincidence test, and the user's four-per-line limit.
//
// Attribute entries are 4 bytes (Y, X, name, early clock | colour); Y = 0xD0
// ends the table, a sprite's first line is Y + 1 and Y values near 255 wrap
// to the top. Lower-numbered sprites cover higher-numbered ones; colour 0 is
// not drawn but still counts toward the limit. The coincidence test compares
// patterns over the whole frame, ignoring magnification and position on the
// screen. No fifth-sprite flag is produced.
#include <bit>

#include "vdp/vdp.h"
#include "vdp/vdp_internal.h"

namespace {

constexpr int kSpriteCount = 32;
constexpr int kLimitPerLine = 4;
constexpr uint8_t kTableEnd = 0xD0;
constexpr uint8_t kEarlyClock = 0x80;
constexpr int kEarlyClockShift = 32;

// The attribute table is 128-byte aligned and the pattern table 2 KB
// aligned, so no entry or pattern row runs past the end of VRAM.
inline const uint8_t* attribute_table() { return &vdp.vram[vdp.sprite_attr_base & kVramMask]; }
inline const uint8_t* pattern_table() { return &vdp.vram[vdp.sprite_pattern_base & kVramMask]; }
inline uint8_t attribute(int entry, int byte) { return attribute_table()[entry * 4 + byte]; }

int sprite_size() {
  const int size = vdp.sprites_16 ? 16 : 8;
  return vdp.sprites_magnified ? size * 2 : size;
}

// Y of an entry, values near 255 taken as negative so the sprite enters
// from the top; its first line is this + 1.
int sprite_y(int entry, int size) {
  const int y = attribute(entry, 0);
  return y > 256 - size ? y - 256 : y;
}

// One 8- or 16-pixel pattern row for the coincidence test (bit 7 or 15 leftmost).
uint32_t pattern_row(int entry, int row, int width) {
  const uint32_t name = attribute(entry, 2);
  if (width == 8) return pattern_table()[name * 8 + row];
  const uint8_t* rows = pattern_table() + (name & 0xFC) * 8 + row;
  return rows[0] << 8 | rows[16];
}

// The entries on `line` as bit n for entry n: all entries before the 0xD0
// terminator are tested without a branch, then the limit keeps the four
// lowest-numbered. Colour-0 sprites count toward it like any other.
uint32_t sprites_on_line(const uint8_t* table, int line, int size) {
  int end = 0;
  while (end < kSpriteCount && table[4 * end] != kTableEnd) ++end;
  uint32_t selected = 0;
  for (int n = 0; n < end; ++n) {
    const int raw = table[4 * n];
    const int y = raw > 256 - size ? raw - 256 : raw;
    selected |= static_cast<uint32_t>(y < line && line <= y + size) << n;
  }
  if (vdp.sprite_limit == 0) return selected;
  uint32_t kept = 0;
  for (int i = 0; i < kLimitPerLine && selected != 0; ++i) {
    kept |= selected & (~selected + 1);  // the lowest entry left
    selected &= selected - 1;
  }
  return kept;
}

}  // namespace

void vdp_draw_sprites(int line) {
  uint16_t* row = vdp_frame_row(line + kActiveTop);
  if (row == nullptr) return;
  const int size = sprite_size();
  const uint8_t* table = attribute_table();
  uint32_t selected = sprites_on_line(table, line, size);
  uint16_t* screen = row + kActiveLeft;
  const int scale = vdp.sprites_magnified ? 2 : 1;
  while (selected != 0) {
    const int n = 31 - std::countl_zero(selected);  // highest-numbered first
    selected &= ~(1u << n);
    const uint8_t* entry = table + 4 * n;
    const uint32_t colour = entry[3] & 15;
    const int x = entry[1] - ((entry[3] & kEarlyClock) ? kEarlyClockShift : 0);
    if (colour == 0 || x <= -size) continue;
    const uint32_t name = vdp.sprites_16 ? entry[2] & 0xFC : entry[2];
    const int r = (line - sprite_y(n, size) - 1) / scale;
    const uint8_t* rows = pattern_table() + name * 8 + r;
    uint32_t bits = static_cast<uint32_t>(rows[0]) << 8 | (vdp.sprites_16 ? rows[16] : 0);
    const uint16_t pixel = vdp.vdp_palette[colour];
    const bool inside = x >= 0 && x + size <= kActiveWidth;
    while (bits != 0) {
      const int k = 15 - std::countr_zero(bits);  // pattern pixel, 0 leftmost
      bits &= bits - 1;
      const int column = x + k * scale;
      if (inside) {
        screen[column] = pixel;
        if (scale == 2) screen[column + 1] = pixel;
        continue;
      }
      for (int c = column; c < column + scale; ++c) {
        if (c >= 0 && c < kActiveWidth) screen[c] = pixel;
      }
    }
  }
}

int vdp_check_collision() {
  int n = 0;
  while (n < kSpriteCount && attribute(n, 0) != kTableEnd) ++n;
  const int d = vdp.sprites_16 ? 16 : 8;
  for (int i = 0; i + 1 < n; ++i) {
    if ((attribute(i, 3) & 15) == 0) continue;
    for (int j = i + 1; j < n; ++j) {
      if ((attribute(j, 3) & 15) == 0) continue;
      const int dy = (attribute(i, 0) - attribute(j, 0)) & 255;
      const int dx = (attribute(i, 1) - attribute(j, 1)) & 255;
      if (!(dy < d || dy > 256 - d) || !(dx < d || dx > 256 - d)) continue;
      // Row t + skip_i of sprite i lies on the same line as row t + skip_j of j.
      const int skip_i = dy < d ? 0 : 256 - dy;
      const int skip_j = dy < d ? dy : 0;
      const int rows = d - (skip_i + skip_j);
      const bool i_right = dx < d;  // i has the larger X
      const int shift = i_right ? dx : 256 - dx;
      for (int t = 0; t < rows; ++t) {
        const uint32_t ri = pattern_row(i, t + skip_i, d);
        const uint32_t rj = pattern_row(j, t + skip_j, d);
        const uint32_t hit = i_right ? (ri >> shift) & rj : ri & (rj >> shift);
        if (hit != 0) return 1;
      }
    }
  }
  return 0;
}

uint32_t vdp_toggle_sprite_limit() {
  vdp.sprite_limit = 1 - vdp.sprite_limit;
  return vdp.sprite_limit;
}
