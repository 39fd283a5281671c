// Placeholder until host input lands.
#include "bus/input.h"

uint32_t input_init() { return 0; }
void input_release() {}
void input_acquire() {}
void input_unacquire() {}
void input_read_keyboard() {}
uint32_t input_key_down(uint8_t) { return 0; }
void ppi_poll_host() {}
int input_key_code(const char*) { return -1; }
