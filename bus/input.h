// Host input: the host keyboard device and the key table that lays the
// SC-3000 keyboard (or joystick 1) over the PC keyboard.
#pragma once

#include <cstdint>

// The host keyboard as the platform offers it. `di` and `device` stand for
// the keyboard service and its system keyboard device: 1 while open.
struct HostKeyboard {
  uint32_t di = 0;
  uint32_t device = 0;
  uint32_t acquired = 0;     // 1 after a successful acquire
  uint8_t key_state[256] = {};  // by DirectInput key code, bit 7 = down
};

extern HostKeyboard host_keyboard;

// One host key on one line of the SC-3000 keyboard matrix.
struct KeyMapEntry {
  uint32_t dik_code;  // DirectInput key code; 0 = skipped
  uint32_t row;       // matrix row 0-6
  uint32_t mask;      // line bit within the 16-bit row
  char name[16];      // the SC-3000 key's legend (documentation only)
};

constexpr int kKeyMapSize = 65;
extern const KeyMapEntry KeyMap[kKeyMapSize];

// One host key of joystick mode and its bit in `joystick1`.
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
// Rebuilds the PPI's key rows and joystick bytes from the host keyboard.
void ppi_poll_host();
// Presses, in the PPI's key rows, the SC-3000 keys that KeyMap lays over the
// host keys down in `key_state` (by DirectInput code, bit 7 = down).
void ppi_press_keys(const uint8_t key_state[256]);
// The DirectInput key code of a key name without its DIK_ prefix ("A",
// "RETURN", "LSHIFT", "F2"; any case), or -1 when there is no such key.
int input_key_code(const char* name);
// The name input_key_code takes for a DirectInput key code (the first of its
// aliases), or null when the code has none.
const char* input_key_name(int code);
