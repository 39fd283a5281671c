// The game menu: five rows of the library drawn over the picture.
#pragma once

#include <cstdint>

// The selected library index (0..33); also the entry loaded last.
extern int32_t menu_cursor;

void menu_draw();
void menu_toggle();
void menu_close();
void menu_up();
void menu_down();
void menu_page_up();
void menu_page_down();
