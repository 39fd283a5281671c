// The game menu: a five-row window into the library with the cursor row in
// the middle (light green) between two rows either side (dark green), black
// titles, drawn at rows 26-65 over the running picture. Rows beyond either
// end of the library are empty bars. The cursor keys and the open/close
// toggle share the hotkeys' key delay, which turns a held key into a slow
// repeat. While the menu is open the emulated keyboard reads released.
#include "app/menu.h"

#include <cstring>

#include "app/app.h"
#include "app/host_input.h"
#include "app/library.h"
#include "app/osd.h"

int32_t menu_visible = 0;
int32_t menu_cursor = 0;

namespace {

constexpr int kMenuRows = 5;
constexpr int kMenuX = 18;
constexpr int kMenuY = 26;
constexpr int kRowHeight = 8;
constexpr int kTitleChars = 16;
constexpr int kTextColour = 1;     // black
constexpr int kCursorColour = 3;   // light green
constexpr int kRowColour = 12;     // dark green
constexpr int kLastEntry = kLibrarySize - 1;
constexpr int kPageStep = 10;
constexpr int kToggleDelay = 20;
constexpr int kMoveDelay = 6;
constexpr int kPageDelay = 16;

}  // namespace

void menu_draw() {
  if (!menu_visible) return;
  for (int k = 0; k < kMenuRows; ++k) {
    const int index = menu_cursor - kMenuRows / 2 + k;
    char text[kTitleChars + 1];
    if (index >= 0 && index <= kLastEntry) {
      std::memcpy(text, library_table[index].title, kTitleChars);
    } else {
      std::memset(text, ' ', kTitleChars);
    }
    text[kTitleChars] = '\0';
    const int background = k == kMenuRows / 2 ? kCursorColour : kRowColour;
    osd_draw_text(kMenuX, kMenuY + kRowHeight * k, text, kTextColour, background);
  }
}

void menu_toggle() {
  if (key_delay != 0) return;
  key_delay = kToggleDelay;
  menu_visible = !menu_visible;
  host_keyboard.input_enabled = !menu_visible;
}

void menu_close() {
  host_keyboard.input_enabled = 1;
  osd_timer = 0;
  menu_visible = 0;
}

void menu_up() {
  if (key_delay != 0) return;
  key_delay = kMoveDelay;
  if (menu_cursor > 0) menu_cursor -= 1;
}

void menu_down() {
  if (key_delay != 0) return;
  key_delay = kMoveDelay;
  if (menu_cursor < kLastEntry) menu_cursor += 1;
}

void menu_page_up() {
  if (key_delay != 0) return;
  key_delay = kPageDelay;
  menu_cursor -= kPageStep;
  if (menu_cursor < 0) menu_cursor = 0;
}

void menu_page_down() {
  if (key_delay != 0) return;
  key_delay = kPageDelay;
  menu_cursor += kPageStep;
  if (menu_cursor > kLastEntry) menu_cursor = kLastEntry;
}
