// Host input: the host keyboard device and the key table that lays the
// SC-3000 keyboard (or joystick 1) over the PC keyboard.
#pragma once

#include <cstdint>

uint32_t input_init();
void input_release();
void input_acquire();
void input_unacquire();
void input_read_keyboard();
uint32_t input_key_down(uint8_t code);
// Rebuilds the PPI's key rows and joystick bytes from the host keyboard.
void ppi_poll_host();
// The DirectInput key code of a key name without its DIK_ prefix ("A",
// "RETURN", "LSHIFT", "F2"), or -1 when there is no such key.
int input_key_code(const char* name);
