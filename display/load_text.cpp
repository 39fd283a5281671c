// Draws the load display's text with the on-screen font.
#include "display/load_text.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kFirstCode = 32;
constexpr int kCodeCount = 224;

}  // namespace

void draw_load_text(uint8_t* surface, int pitch, int width, int height, const char* text,
                    const uint8_t* font, uint16_t ink, uint16_t paper) {
  const int rows = std::min(kLoadGlyphHeight, height);
  for (int c = 0; text[c] != '\0'; ++c) {
    const int x0 = c * kLoadGlyphWidth;
    const int columns = std::min(kLoadGlyphWidth, width - x0);
    if (columns <= 0) return;
    int code = static_cast<uint8_t>(text[c]) - kFirstCode;
    if (code < 0 || code >= kCodeCount) code = 0;  // drawn as a blank cell
    for (int y = 0; y < rows; ++y) {
      const uint8_t bits = font[code * kLoadGlyphHeight + y];
      auto* d = reinterpret_cast<uint16_t*>(surface + static_cast<std::ptrdiff_t>(y) * pitch) + x0;
      for (int x = 0; x < columns; ++x) {
        d[x] = (bits << x) & 0x80 ? ink : paper;
      }
    }
  }
}
