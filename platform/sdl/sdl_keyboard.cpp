// Placeholder: the keyboard service of the sdl backend is not written yet.
#include "platform/backend.h"

int sdl_key_held(HostKey) { return 0; }
int sdl_keyboard_open() { return 0; }
void sdl_keyboard_close() {}
uint32_t sdl_keyboard_acquire() { return kPlatformNotAcquired; }
uint32_t sdl_keyboard_unacquire() { return kPlatformNotAcquired; }
uint32_t sdl_keyboard_state(uint8_t*) { return kPlatformNotAcquired; }
