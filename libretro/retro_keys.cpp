// The PC keys of the SC-3000 keyboard, row by row of a PC keyboard, as the
// front end names them and as DirectInput numbers them (set-1 scan codes,
// extended keys plus 0x80).
#include "libretro/retro_keys.h"

#include <libretro.h>

// clang-format off
const RetroKeyEntry kRetroKeys[kRetroKeyCount] = {
  // the number row
  {RETROK_BACKQUOTE, 0x29}, {RETROK_1, 0x02}, {RETROK_2, 0x03}, {RETROK_3, 0x04},
  {RETROK_4, 0x05}, {RETROK_5, 0x06}, {RETROK_6, 0x07}, {RETROK_7, 0x08},
  {RETROK_8, 0x09}, {RETROK_9, 0x0A}, {RETROK_0, 0x0B}, {RETROK_MINUS, 0x0C},
  {RETROK_EQUALS, 0x0D}, {RETROK_BACKSPACE, 0x0E},
  // the top letter row
  {RETROK_TAB, 0x0F}, {RETROK_q, 0x10}, {RETROK_w, 0x11}, {RETROK_e, 0x12},
  {RETROK_r, 0x13}, {RETROK_t, 0x14}, {RETROK_y, 0x15}, {RETROK_u, 0x16},
  {RETROK_i, 0x17}, {RETROK_o, 0x18}, {RETROK_p, 0x19}, {RETROK_LEFTBRACKET, 0x1A},
  {RETROK_RIGHTBRACKET, 0x1B}, {RETROK_RETURN, 0x1C},
  // the middle letter row
  {RETROK_CAPSLOCK, 0x3A}, {RETROK_a, 0x1E}, {RETROK_s, 0x1F}, {RETROK_d, 0x20},
  {RETROK_f, 0x21}, {RETROK_g, 0x22}, {RETROK_h, 0x23}, {RETROK_j, 0x24},
  {RETROK_k, 0x25}, {RETROK_l, 0x26}, {RETROK_SEMICOLON, 0x27}, {RETROK_QUOTE, 0x28},
  {RETROK_BACKSLASH, 0x2B},
  // the bottom letter row
  {RETROK_LSHIFT, 0x2A}, {RETROK_OEM_102, 0x56}, {RETROK_z, 0x2C}, {RETROK_x, 0x2D},
  {RETROK_c, 0x2E}, {RETROK_v, 0x2F}, {RETROK_b, 0x30}, {RETROK_n, 0x31},
  {RETROK_m, 0x32}, {RETROK_COMMA, 0x33}, {RETROK_PERIOD, 0x34}, {RETROK_SLASH, 0x35},
  {RETROK_RSHIFT, 0x36},
  // the space bar row
  {RETROK_LCTRL, 0x1D}, {RETROK_LALT, 0x38}, {RETROK_SPACE, 0x39}, {RETROK_RALT, 0xB8},
  {RETROK_MENU, 0xDD}, {RETROK_RCTRL, 0x9D},
  // the cursor block
  {RETROK_END, 0xCF}, {RETROK_UP, 0xC8}, {RETROK_LEFT, 0xCB}, {RETROK_DOWN, 0xD0},
  {RETROK_RIGHT, 0xCD},
};
// clang-format on
