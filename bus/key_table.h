// The key table: which host key (by DirectInput key code) is which line of
// the SC-3000 keyboard matrix. Every front end lays its keys over the matrix
// through it: the window and headless runs the PC keyboard's, the libretro
// core the front end's keyboard, translated to these codes.
#pragma once

#include <cstdint>

#include "bus/ppi.h"

// One host key on one line of the SC-3000 keyboard matrix.
struct KeyMapEntry {
  uint32_t dik_code;  // DirectInput key code; 0 = skipped
  uint32_t row;       // matrix row 0-6
  uint32_t mask;      // line bit within the 16-bit row
  char name[16];      // the SC-3000 key's legend (documentation only)
};

constexpr int kKeyMapSize = 65;
extern const KeyMapEntry KeyMap[kKeyMapSize];

// Bit 7 of a key's byte in a 256-byte key state: the key is down.
constexpr uint8_t kKeyDownBit = 0x80;

// Clears, in the active-low key rows, the line of every key that the table
// lays over a host key down in `keys` (256 bytes by DirectInput code).
void key_table_press(const uint8_t keys[256], uint16_t rows[kKeyRows]);
