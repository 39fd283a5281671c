// The key table: the SC-3000 keyboard matrix laid over the PC keyboard.
//
// Host keys are DirectInput key codes: the PC keyboard's set-1 scan codes,
// extended keys (E0 prefix) with 0x80 added. The matrix has seven rows of
// twelve lines: lines 0-7 are read through port A, lines 8-11 through the
// low nibble of port B. Where two host keys share one line, the second entry
// follows the first. Some symbol keys sit on PC keys with another legend:
// "@" on [, "[" on ], "]" on backslash, ":" on the apostrophe, "^" on =.
#include "bus/key_table.h"

namespace {

// DirectInput key codes, named as DirectInput names them.
enum Dik : uint32_t {
  ESCAPE = 0x01, K1 = 0x02, K2 = 0x03, K3 = 0x04, K4 = 0x05, K5 = 0x06, K6 = 0x07,
  K7 = 0x08, K8 = 0x09, K9 = 0x0A, K0 = 0x0B, MINUS = 0x0C, EQUALS = 0x0D, BACK = 0x0E,
  TAB = 0x0F, Q = 0x10, W = 0x11, E = 0x12, R = 0x13, T = 0x14, Y = 0x15, U = 0x16,
  I = 0x17, O = 0x18, P = 0x19, LBRACKET = 0x1A, RBRACKET = 0x1B, RETURN = 0x1C,
  LCONTROL = 0x1D, A = 0x1E, S = 0x1F, D = 0x20, F = 0x21, G = 0x22, H = 0x23, J = 0x24,
  K = 0x25, L = 0x26, SEMICOLON = 0x27, APOSTROPHE = 0x28, GRAVE = 0x29, LSHIFT = 0x2A,
  BACKSLASH = 0x2B, Z = 0x2C, X = 0x2D, C = 0x2E, V = 0x2F, B = 0x30, N = 0x31, M = 0x32,
  COMMA = 0x33, PERIOD = 0x34, SLASH = 0x35, RSHIFT = 0x36, LMENU = 0x38, SPACE = 0x39,
  CAPITAL = 0x3A, OEM_102 = 0x56, RCONTROL = 0x9D, RMENU = 0xB8, UP = 0xC8, LEFT = 0xCB,
  RIGHT = 0xCD, END = 0xCF, DOWN = 0xD0, APPS = 0xDD,
};

}  // namespace

// clang-format off
const KeyMapEntry KeyMap[kKeyMapSize] = {
  // host key   row  line bit   SC-3000 key        port, bit
  {K1,          0,   0x0001,    "1"},              // A, 0
  {Q,           0,   0x0002,    "Q"},              // A, 1
  {A,           0,   0x0004,    "A"},              // A, 2
  {Z,           0,   0x0008,    "Z"},              // A, 3
  {LMENU,       0,   0x0010,    "Eng Dier's"},     // A, 4
  {COMMA,       0,   0x0020,    ","},              // A, 5
  {K,           0,   0x0040,    "K"},              // A, 6
  {I,           0,   0x0080,    "I"},              // A, 7
  {K8,          0,   0x0100,    "8"},              // B, 0

  {K2,          1,   0x0001,    "2"},              // A, 0
  {W,           1,   0x0002,    "W"},              // A, 1
  {S,           1,   0x0004,    "S"},              // A, 2
  {X,           1,   0x0008,    "X"},              // A, 3
  {SPACE,       1,   0x0010,    "Space"},          // A, 4
  {PERIOD,      1,   0x0020,    "."},              // A, 5
  {L,           1,   0x0040,    "L"},              // A, 6
  {O,           1,   0x0080,    "O"},              // A, 7
  {K9,          1,   0x0100,    "9"},              // B, 0

  {K3,          2,   0x0001,    "3"},              // A, 0
  {E,           2,   0x0002,    "E"},              // A, 1
  {D,           2,   0x0004,    "D"},              // A, 2
  {C,           2,   0x0008,    "C"},              // A, 3
  {RMENU,       2,   0x0010,    "Home/Clear"},     // A, 4
  {APPS,        2,   0x0010,    "Home/Clear"},     // A, 4
  {SLASH,       2,   0x0020,    "/"},              // A, 5
  {SEMICOLON,   2,   0x0040,    ";"},              // A, 6
  {P,           2,   0x0080,    "P"},              // A, 7
  {K0,          2,   0x0100,    "0"},              // B, 0

  {K4,          3,   0x0001,    "4"},              // A, 0
  {R,           3,   0x0002,    "R"},              // A, 1
  {F,           3,   0x0004,    "F"},              // A, 2
  {V,           3,   0x0008,    "V"},              // A, 3
  {RCONTROL,    3,   0x0010,    "Insert/Delete"},  // A, 4
  {BACK,        3,   0x0010,    "Insert/Delete"},  // A, 4
  {OEM_102,     3,   0x0020,    "Pi"},             // A, 5
  {APOSTROPHE,  3,   0x0040,    ":"},              // A, 6
  {LBRACKET,    3,   0x0080,    "@"},              // A, 7
  {MINUS,       3,   0x0100,    "-"},              // B, 0

  {K5,          4,   0x0001,    "5"},              // A, 0
  {T,           4,   0x0002,    "T"},              // A, 1
  {G,           4,   0x0004,    "G"},              // A, 2
  {B,           4,   0x0008,    "B"},              // A, 3
  {DOWN,        4,   0x0020,    "Down Arrow"},     // A, 5
  {BACKSLASH,   4,   0x0040,    "]"},              // A, 6
  {RBRACKET,    4,   0x0080,    "["},              // A, 7
  {EQUALS,      4,   0x0100,    "^"},              // B, 0

  {K6,          5,   0x0001,    "6"},              // A, 0
  {Y,           5,   0x0002,    "Y"},              // A, 1
  {H,           5,   0x0004,    "H"},              // A, 2
  {N,           5,   0x0008,    "N"},              // A, 3
  {LEFT,        5,   0x0020,    "Left Arrow"},     // A, 5
  {RETURN,      5,   0x0040,    "Return"},         // A, 6
  {GRAVE,       5,   0x0100,    "\x9D"},           // B, 0  (the yen key)
  {TAB,         5,   0x0800,    "Func"},           // B, 3

  {K7,          6,   0x0001,    "7"},              // A, 0
  {U,           6,   0x0002,    "U"},              // A, 1
  {J,           6,   0x0004,    "J"},              // A, 2
  {M,           6,   0x0008,    "M"},              // A, 3
  {RIGHT,       6,   0x0020,    "Right Arrow"},    // A, 5
  {UP,          6,   0x0040,    "Up Arrow"},       // A, 6
  {END,         6,   0x0100,    "Break"},          // B, 0
  {LCONTROL,    6,   0x0200,    "Graph"},          // B, 1
  {CAPITAL,     6,   0x0400,    "Ctrl"},           // B, 2
  {LSHIFT,      6,   0x0800,    "Shift"},          // B, 3
  {RSHIFT,      6,   0x0800,    "Shift"},          // B, 3
};
// clang-format on

void key_table_press(const uint8_t keys[256], uint16_t rows[kKeyRows]) {
  for (const KeyMapEntry& e : KeyMap) {
    if (e.dik_code != 0 && (keys[e.dik_code & 0xFF] & kKeyDownBit) != 0) {
      rows[e.row] &= static_cast<uint16_t>(~e.mask);
    }
  }
}
