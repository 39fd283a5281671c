// Our own 6 x 8 font, for the shell's on-screen text and the load display.
#pragma once

#include <cstdint>

// 224 glyphs for the codes 32-255, 8 rows each, bit 7 the leftmost pixel;
// six columns are drawn.
extern const uint8_t OsdFont[224 * 8];
