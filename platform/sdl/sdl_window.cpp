// SDL2 backend: start-up, clock, the one window and its events.
#include <SDL.h>

#include <cstdio>

#include "platform/backend.h"
#include "platform/sdl/sdl_internal.h"

namespace {

SDL_Window* g_window = nullptr;
int g_windowed = 0;

// Only quitting and the window's minimised state concern the machine's
// shell; every other event is taken off the queue here (the keyboard state
// is read separately).
bool translate(const SDL_Event& e, PlatformEvent* out) {
  if (e.type == SDL_QUIT) {
    *out = {PlatformEventKind::Quit, 0};
    return true;
  }
  if (e.type == SDL_WINDOWEVENT) {
    switch (e.window.event) {
      case SDL_WINDOWEVENT_MINIMIZED:
        *out = {PlatformEventKind::Activate, 1};
        return true;
      case SDL_WINDOWEVENT_RESTORED:
      case SDL_WINDOWEVENT_SHOWN:
      case SDL_WINDOWEVENT_FOCUS_GAINED:
      case SDL_WINDOWEVENT_FOCUS_LOST:
        *out = {PlatformEventKind::Activate, 0};
        return true;
      default:
        break;
    }
  }
  return false;
}

}  // namespace

SDL_Window* sdl_window() { return g_window; }
int sdl_windowed() { return g_windowed; }

int sdl_init(const PlatformOptions& options) {
  g_windowed = options.windowed;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "quav: cannot open the display: %s\n", SDL_GetError());
    return 0;
  }
  return 1;
}

void sdl_quit() {
  sdl_window_close();
  SDL_Quit();
}

uint32_t sdl_millis() { return SDL_GetTicks(); }
void sdl_sleep(uint32_t ms) { SDL_Delay(ms); }

int sdl_window_open(const char* title) {
  if (g_window) return 1;
  Uint32 flags = SDL_WINDOW_SHOWN;
  if (!g_windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  g_window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                              flags);
  if (!g_window) {
    std::fprintf(stderr, "quav: cannot open a window: %s\n", SDL_GetError());
    return 0;
  }
  return 1;
}

void sdl_window_close() {
  if (g_window) SDL_DestroyWindow(g_window);
  g_window = nullptr;
}

int sdl_event_waiting() {
  SDL_PumpEvents();
  SDL_Event e;
  PlatformEvent ignored;
  while (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
    if (translate(e, &ignored)) return 1;
    SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  return 0;
}

int sdl_take_event(PlatformEvent* event) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (translate(e, event)) return 1;
  }
  return 0;
}

void sdl_wait_event() { SDL_WaitEvent(nullptr); }
