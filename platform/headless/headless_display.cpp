// Placeholder: the display service of the headless backend is not written yet.
#include "platform/backend.h"

int headless_display_mode_count() { return 0; }
void headless_display_mode(int, int*, int*) {}
int headless_display_open(int, int) { return 0; }
void headless_display_close() {}
int headless_display_set_mode(int, int) { return 0; }
int headless_display_create_frame(int) { return 0; }
uint8_t* headless_surface_lock(int, int*) { return nullptr; }
int headless_surface_unlock(int) { return 0; }
void headless_surface_fill(int, uint16_t) {}
int headless_surface_blit(int, const PlatformRect&, int, const PlatformRect&) { return 0; }
int headless_display_flip(int) { return 0; }
