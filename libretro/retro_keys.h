// The front end's keyboard keys (libretro's RETROK codes) as the DirectInput
// key codes that the SC-3000 keyboard is laid over: every PC key the host
// key table uses, so the core's keyboard reaches the matrix exactly as the
// window's does.
#pragma once

#include <cstdint>

struct RetroKeyEntry {
  uint32_t retrok;  // enum retro_key
  uint8_t dik;      // DirectInput key code
};

constexpr int kRetroKeyCount = 65;
extern const RetroKeyEntry kRetroKeys[kRetroKeyCount];
