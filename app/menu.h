// The game menu: five rows of the library drawn over the picture.
#pragma once

#include <cstdint>

// 1 while the menu is open.
extern int32_t menu_visible;
// The selected library index, 0..33; app_load_game sets it to the entry it
// loads, so it always stands on the entry loaded last.
extern int32_t menu_cursor;

void menu_draw();
void menu_toggle();
void menu_close();
void menu_up();
void menu_down();
void menu_page_up();
void menu_page_down();
