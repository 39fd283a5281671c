// Internal to the SDL2 backend: what its service files share.
#pragma once

struct SDL_Window;

// The one window, or null before platform_window_open.
SDL_Window* sdl_window();
// 1 when --windowed asked for a window instead of desktop full-screen.
int sdl_windowed();

// The DirectInput key code of an SDL scancode (a USB usage number), or 0
// for a key the machine's tables never name.
unsigned sdl_scancode_to_dik(int scancode);
