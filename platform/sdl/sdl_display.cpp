// Placeholder: the display service of the sdl backend is not written yet.
#include "platform/backend.h"

int sdl_display_mode_count() { return 0; }
void sdl_display_mode(int, int*, int*) {}
int sdl_display_open(int, int) { return 0; }
void sdl_display_close() {}
int sdl_display_set_mode(int, int) { return 0; }
int sdl_display_create_frame(int) { return 0; }
uint8_t* sdl_surface_lock(int, int*) { return nullptr; }
int sdl_surface_unlock(int) { return 0; }
void sdl_surface_fill(int, uint16_t) {}
int sdl_surface_blit(int, const PlatformRect&, int, const PlatformRect&) { return 0; }
int sdl_display_flip(int) { return 0; }
