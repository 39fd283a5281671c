// Placeholder: the keyboard service of the headless backend is not written yet.
#include "platform/backend.h"
#include "platform/headless/headless.h"

int headless_key_held(HostKey) { return 0; }
int headless_keyboard_open() { return 0; }
void headless_keyboard_close() {}
uint32_t headless_keyboard_acquire() { return kPlatformNotAcquired; }
uint32_t headless_keyboard_unacquire() { return kPlatformNotAcquired; }
uint32_t headless_keyboard_state(uint8_t*) { return kPlatformNotAcquired; }
void headless_keyboard_hold(int, int, int) {}
void headless_keyboard_set_frame(int) {}
void headless_keyboard_clear() {}
