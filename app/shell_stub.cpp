// Placeholder until the on-screen text, menu and hotkeys land.
#include "app/app.h"
#include "app/hotkeys.h"
#include "app/menu.h"
#include "app/osd.h"

void osd_set_line(int, const char*) {}
void osd_show(int, int) {}
void osd_draw_messages() {}
void osd_draw_text(int, int, const char*, int, int) {}
void osd_draw_glyph(int, int, int, int, int) {}
void osd_show_help() {}
void osd_show_about() {}
void osd_tick() {}
int32_t menu_cursor = 0;
void menu_draw() {}
void menu_toggle() {}
void menu_close() {}
void menu_up() {}
void menu_down() {}
void menu_page_up() {}
void menu_page_down() {}
void app_idle_step() { app_pace_frames(); }
void app_set_blit_mode(int mode) { app_settings.blit_mode = mode; }
const uint8_t OsdFont[224 * 8] = {};
