// The load display's text: fixed-pitch 6 x 8 cells at the top-left corner of
// a 16-bit surface, glyphs in `ink` on cells of `paper`, cut at the
// surface's edges.
#pragma once

#include <cstdint>

constexpr int kLoadGlyphWidth = 6;
constexpr int kLoadGlyphHeight = 8;

// font: glyphs for the codes 32-255, 8 rows each, bit 7 the leftmost pixel.
void draw_load_text(uint8_t* surface, int pitch, int width, int height, const char* text,
                    const uint8_t* font, uint16_t ink, uint16_t paper);
