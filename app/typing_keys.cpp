// The SC-3000's key legends: the character on each key, and the one above
// it that Shift gives. The keyboard is laid out as the Japanese (JIS)
// keyboards of its day: Shift on the top row gives ! " # $ % & ' ( ) and
// = ~ |, and beside the letters @ ` [ { ; + : * ] } , < . > / ?. The key
// right of "/" carries the pi sign, with the underscore above it; "0" has
// no upper legend. The yen sign sits where ASCII has the backslash, so a
// backslash types the yen key.
#include "app/typing.h"

namespace {

constexpr uint32_t kNone = 0;
constexpr uint32_t kYen = 0x00A5;
constexpr uint32_t kPi = 0x03C0;

struct Legend {
  uint32_t plain;    // the character on the key (upper-case for letters)
  uint32_t shifted;  // the character Shift gives, or kNone
  uint8_t row;
  uint16_t mask;
};

// clang-format off
constexpr Legend kLegends[] = {
  // key   Shift  row  line bit
  {'1',    '!',   0,   0x0001},
  {'Q',    kNone, 0,   0x0002},
  {'A',    kNone, 0,   0x0004},
  {'Z',    kNone, 0,   0x0008},
  {',',    '<',   0,   0x0020},
  {'K',    kNone, 0,   0x0040},
  {'I',    kNone, 0,   0x0080},
  {'8',    '(',   0,   0x0100},

  {'2',    '"',   1,   0x0001},
  {'W',    kNone, 1,   0x0002},
  {'S',    kNone, 1,   0x0004},
  {'X',    kNone, 1,   0x0008},
  {' ',    kNone, 1,   0x0010},
  {'.',    '>',   1,   0x0020},
  {'L',    kNone, 1,   0x0040},
  {'O',    kNone, 1,   0x0080},
  {'9',    ')',   1,   0x0100},

  {'3',    '#',   2,   0x0001},
  {'E',    kNone, 2,   0x0002},
  {'D',    kNone, 2,   0x0004},
  {'C',    kNone, 2,   0x0008},
  {'/',    '?',   2,   0x0020},
  {';',    '+',   2,   0x0040},
  {'P',    kNone, 2,   0x0080},
  {'0',    kNone, 2,   0x0100},

  {'4',    '$',   3,   0x0001},
  {'R',    kNone, 3,   0x0002},
  {'F',    kNone, 3,   0x0004},
  {'V',    kNone, 3,   0x0008},
  {kPi,    '_',   3,   0x0020},
  {':',    '*',   3,   0x0040},
  {'@',    '`',   3,   0x0080},
  {'-',    '=',   3,   0x0100},

  {'5',    '%',   4,   0x0001},
  {'T',    kNone, 4,   0x0002},
  {'G',    kNone, 4,   0x0004},
  {'B',    kNone, 4,   0x0008},
  {']',    '}',   4,   0x0040},
  {'[',    '{',   4,   0x0080},
  {'^',    '~',   4,   0x0100},

  {'6',    '&',   5,   0x0001},
  {'Y',    kNone, 5,   0x0002},
  {'H',    kNone, 5,   0x0004},
  {'N',    kNone, 5,   0x0008},
  {'\n',   kNone, 5,   0x0040},  // Return
  {kYen,   '|',   5,   0x0100},

  {'7',    '\'',  6,   0x0001},
  {'U',    kNone, 6,   0x0002},
  {'J',    kNone, 6,   0x0004},
  {'M',    kNone, 6,   0x0008},
};
// clang-format on

uint32_t upper(uint32_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

}  // namespace

bool typing_stroke_for(uint32_t code, KeyStroke* stroke) {
  code = upper(code);
  if (code == '\r') code = '\n';
  if (code == '\\') code = kYen;
  for (const Legend& l : kLegends) {
    if (code == l.plain || (l.shifted != kNone && code == l.shifted)) {
      *stroke = KeyStroke{l.row, l.mask, static_cast<uint8_t>(code == l.plain ? 0 : 1)};
      return true;
    }
  }
  return false;
}
