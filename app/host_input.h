// The host's keys as the window and headless runs lay them over the machine:
// the keyboard device (the PC keyboard, or a headless run's scripted keys),
// read once per pacing step into the machine's input for the next frames.
// In keyboard mode the key table lays the PC keyboard over the SC-3000
// matrix; in joystick mode the arrows, A and S (and a gamepad) are
// joystick 1. INS is the machine's RESET key.
#pragma once

#include <cstdint>

#include "machine/machine.h"

// The host keyboard as the platform offers it. `di` and `device` stand for
// the keyboard service and its system keyboard device: 1 while open.
struct HostKeyboard {
  uint32_t di = 0;
  uint32_t device = 0;
  uint32_t acquired = 0;        // 1 after a successful acquire
  uint32_t input_enabled = 1;   // 0 while the menu is open: every key reads released
  uint8_t key_state[256] = {};  // by DirectInput key code, bit 7 = down
};

extern HostKeyboard host_keyboard;

// One host key of joystick mode and its bit in joystick 1.
struct JoystickKeyEntry {
  uint32_t dik_code;
  uint32_t bit;
};

constexpr int kJoystickKeyCount = 6;
extern const JoystickKeyEntry JoystickKeys[kJoystickKeyCount];

uint32_t input_init();
void input_release();
void input_acquire();
void input_unacquire();
void input_read_keyboard();
uint32_t input_key_down(uint8_t code);
// The machine's input from the host keys held now: the key rows (keyboard
// mode) or joystick 1 (joystick mode), both released while the menu is
// open, and the RESET key while INS is held.
MachineInput input_poll_host();
// The DirectInput key code of a key name without its DIK_ prefix ("A",
// "RETURN", "LSHIFT", "F2"; any case), or -1 when there is no such key.
int input_key_code(const char* name);
// The name input_key_code takes for a DirectInput key code (the first of its
// aliases), or null when the code has none.
const char* input_key_name(int code);
