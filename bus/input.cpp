// The host keyboard: the platform's keyboard device read once per pacing
// pass and turned into the PPI's key rows (keyboard mode) or joystick 1
// (joystick mode). The device is opened at set-up and acquired at once; it
// loses acquisition whenever the window is not in front, and the next read
// re-acquires it, which clears the key state so that every key reads
// released in that poll. A gamepad adds its directions and two buttons to
// joystick 1 in joystick mode. Joystick 2 is never driven from the host.
#include "bus/input.h"

#include <cstring>

#include "bus/ppi.h"
#include "platform/platform.h"

HostKeyboard host_keyboard;

namespace {

constexpr int kMatrixRows = 8;
constexpr uint16_t kRowReleased = 0xFFFF;
constexpr uint8_t kKeyDownBit = 0x80;

}  // namespace

uint32_t input_init() {
  // The keyboard service itself needs no set-up of its own on this host.
  host_keyboard.di = 1;
  if (platform_keyboard_open() == 0) {
    input_release();
    return 0;
  }
  host_keyboard.device = 1;
  input_acquire();
  return 1;
}

void input_release() {
  if (host_keyboard.device) {
    input_unacquire();
    platform_keyboard_close();
    host_keyboard.device = 0;
  }
  host_keyboard.di = 0;
}

void input_acquire() {
  if (!host_keyboard.device) return;
  host_keyboard.acquired = 0;
  if (platform_keyboard_acquire() == 0) host_keyboard.acquired = 1;
  std::memset(host_keyboard.key_state, 0, sizeof host_keyboard.key_state);
}

void input_unacquire() {
  if (!host_keyboard.device || host_keyboard.acquired != 1) return;
  if (platform_keyboard_unacquire() == 0) host_keyboard.acquired = 0;
}

void input_read_keyboard() {
  if (!host_keyboard.device) return;
  const uint32_t result = platform_keyboard_state(host_keyboard.key_state);
  if (result == kPlatformInputLost || result == kPlatformNotAcquired) input_acquire();
}

uint32_t input_key_down(uint8_t code) {
  return (host_keyboard.key_state[code] & kKeyDownBit) ? 1 : 0;
}

void ppi_poll_host() {
  for (int r = 0; r < kMatrixRows; ++r) ppi.key_rows[r] = kRowReleased;
  ppi.joystick1 = 0;
  ppi.joystick2 = 0;
  if (ppi.input_enabled == 0) return;
  input_read_keyboard();
  if (ppi.joystick_mode == 0) {
    ppi_press_keys(host_keyboard.key_state);
  } else {
    for (const JoystickKeyEntry& j : JoystickKeys) {
      if (input_key_down(static_cast<uint8_t>(j.dik_code))) ppi.joystick1 |= j.bit;
    }
    ppi.joystick1 |= platform_gamepad_joystick();
  }
}

void ppi_press_keys(const uint8_t key_state[256]) {
  for (const KeyMapEntry& e : KeyMap) {
    if (e.dik_code != 0 && (key_state[e.dik_code & 0xFF] & kKeyDownBit) != 0) {
      ppi.key_rows[e.row] &= static_cast<uint16_t>(~e.mask);
    }
  }
}
