// The VDP's 32 sprites: the per-line pass over the background, the
// once-a-frame coincidence test, and the user's four-per-line limit.
//
// Attribute entries are 4 bytes (Y, X, name, early clock | colour); Y = 0xD0
// ends the table, a sprite's first line is Y + 1 and Y values near 255 wrap
// to the top. Lower-numbered sprites cover higher-numbered ones; colour 0 is
// not drawn but still counts toward the limit. The coincidence test compares
// patterns over the whole frame, ignoring magnification and position on the
// screen. No fifth-sprite flag is produced.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <iterator>

#include "vdp/row_cache.h"
#include "vdp/vdp.h"
#include "vdp/vdp_internal.h"

namespace {

constexpr int kSpriteCount = 32;
constexpr int kLimitPerLine = 4;
constexpr uint8_t kTableEnd = 0xD0;
constexpr uint8_t kEarlyClock = 0x80;
constexpr int kEarlyClockShift = 32;
constexpr int kAttributeTableBytes = 4 * kSpriteCount;

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

// Which entries cover each active line, as bit n for entry n, built from a
// copy of the attribute table and rebuilt whenever the table, its address or
// the sprite size differs from that copy. Programs change the table a few
// times a frame at most, so most lines find their entries ready.
struct SpriteLineList {
  bool built = false;
  uint32_t attr_base = 0;
  int size = 0;
  uint8_t attributes[kAttributeTableBytes] = {};
  uint32_t lines[kActiveLines] = {};
};

SpriteLineList line_list;

bool line_list_current(const uint8_t* table, int size) {
  return line_list.built && line_list.attr_base == vdp.sprite_attr_base && line_list.size == size &&
         std::memcmp(line_list.attributes, table, kAttributeTableBytes) == 0;
}

// Every entry before the 0xD0 terminator covers lines Y + 1 to Y + size.
void build_line_list(const uint8_t* table, int size) {
  line_list.built = true;
  line_list.attr_base = vdp.sprite_attr_base;
  line_list.size = size;
  std::memcpy(line_list.attributes, table, kAttributeTableBytes);
  std::fill(std::begin(line_list.lines), std::end(line_list.lines), 0u);
  for (int n = 0; n < kSpriteCount && table[4 * n] != kTableEnd; ++n) {
    const int raw = table[4 * n];
    const int y = raw > 256 - size ? raw - 256 : raw;
    const int first = std::max(y + 1, 0);
    const int last = std::min(y + size, kActiveLines - 1);
    for (int line = first; line <= last; ++line) line_list.lines[line] |= 1u << n;
  }
}

// The entries on `line` as bit n for entry n; the limit keeps the four
// lowest-numbered. Colour-0 sprites count toward it like any other.
uint32_t sprites_on_line(const uint8_t* table, int line, int size) {
  if (!line_list_current(table, size)) build_line_list(table, size);
  uint32_t selected = line_list.lines[line];
  if (vdp.sprite_limit == 0) return selected;
  uint32_t kept = 0;
  for (int i = 0; i < kLimitPerLine && selected != 0; ++i) {
    kept |= selected & (~selected + 1);  // the lowest entry left
    selected &= selected - 1;
  }
  return kept;
}

// Pattern bytes as pixel masks: eight 16-bit lanes in the order of the
// pixels in memory, lane k 0xFFFF when bit 7 - k is set; held as two 64-bit
// words so that eight pixels blend in two operations.
struct LaneMasks {
  uint64_t words[256][2];
};
constexpr LaneMasks make_lane_masks() {
  LaneMasks m{};
  for (int b = 0; b < 256; ++b) {
    std::array<uint16_t, 8> lanes{};
    for (int k = 0; k < 8; ++k) lanes[k] = (b >> (7 - k)) & 1 ? 0xFFFF : 0;
    const auto words = std::bit_cast<std::array<uint64_t, 2>>(lanes);
    m.words[b][0] = words[0];
    m.words[b][1] = words[1];
  }
  return m;
}
constexpr LaneMasks kLaneMasks = make_lane_masks();
constexpr uint64_t kEveryLane = 0x0001000100010001;

// A pattern byte with every bit doubled (bit 7 to bits 15 and 14), for
// magnified sprites.
constexpr uint32_t doubled(uint32_t byte) {
  uint32_t wide = 0;
  for (int k = 0; k < 8; ++k) wide |= ((byte >> k) & 1) * (3u << (2 * k));
  return wide;
}

// Eight sprite pixels from screen column `left` (which may lie outside the
// active width; only columns 0-255 are written): `pixel` where `byte` has
// its bit set, bit 7 leftmost.
void draw_eight(uint16_t* screen, int left, uint32_t byte, uint16_t pixel) {
  const uint64_t* mask = kLaneMasks.words[byte];
  if (left >= 0 && left + 8 <= kActiveWidth) {
    const uint64_t pixels = pixel * kEveryLane;
    uint64_t run[2];
    std::memcpy(run, screen + left, sizeof run);
    for (int w = 0; w < 2; ++w) run[w] = (run[w] & ~mask[w]) | (pixels & mask[w]);
    std::memcpy(screen + left, run, sizeof run);
    return;
  }
  for (int k = 0; k < 8; ++k) {
    const int column = left + k;
    if ((byte >> (7 - k)) & 1 && column >= 0 && column < kActiveWidth) screen[column] = pixel;
  }
}

}  // namespace

void vdp_draw_sprites(int line) {
  if (line < 0 || line >= kActiveLines) return;  // sprites show on the active lines only
  const int size = sprite_size();
  const uint8_t* table = attribute_table();
  uint32_t selected = sprites_on_line(table, line, size);
  if (selected == 0) return;
  uint16_t* row = vdp_frame_row(line + kActiveTop);
  if (row == nullptr) return;
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
    const int r = (line - sprite_y(n, size) - 1) >> vdp.sprites_magnified;  // never negative
    const uint8_t* rows = pattern_table() + name * 8 + r;
    const uint32_t bits = static_cast<uint32_t>(rows[0]) << 8 | (vdp.sprites_16 ? rows[16] : 0);
    // The row as it lands on the screen, leftmost pixel highest: 16 bits, or
    // 32 with every pixel doubled when magnified; its first `size` count.
    const uint32_t screen_bits = scale == 2 ? doubled(bits >> 8) << 16 | doubled(bits & 0xFF) : bits;
    const int width = 16 * scale;
    const uint16_t pixel = vdp.vdp_palette[colour];
    for (int left = 0; left < size; left += 8) {
      const uint32_t byte = (screen_bits >> (width - 8 - left)) & 0xFF;
      if (byte != 0) draw_eight(screen, x + left, byte, pixel);
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
  vdp_note_change();
  vdp.sprite_limit = 1 - vdp.sprite_limit;
  return vdp.sprite_limit;
}
