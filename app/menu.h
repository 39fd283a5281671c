// The game menu: five rows of the library drawn over the picture.
#pragma once

void menu_draw();
void menu_toggle();
void menu_close();
void menu_up();
void menu_down();
void menu_page_up();
void menu_page_down();
