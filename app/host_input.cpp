// The host keyboard: the platform's keyboard device read once per pacing
// step and turned into the machine's key rows (keyboard mode) or joystick 1
// (joystick mode). The device is opened at set-up and acquired at once; it
// loses acquisition whenever the window is not in front, and the next read
// re-acquires it, which clears the key state so that every key reads
// released in that poll. A gamepad adds its directions and two buttons to
// joystick 1 in joystick mode. Joystick 2 is never driven from the host.
#include "app/host_input.h"

#include <cstring>

#include "platform/platform.h"

HostKeyboard host_keyboard;

namespace {

constexpr uint8_t kKeyDown = 0x80;

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
  return (host_keyboard.key_state[code] & kKeyDown) ? 1 : 0;
}

MachineInput input_poll_host() {
  MachineInput input;
  input.reset = platform_key_held(HostKey::Insert) != 0 ? 1 : 0;
  if (host_keyboard.input_enabled == 0) return input;
  input_read_keyboard();
  if (machine_joystick_mode() == 0) {
    machine_press_host_keys(&input, host_keyboard.key_state);
  } else {
    for (const JoystickKeyEntry& j : JoystickKeys) {
      if (input_key_down(static_cast<uint8_t>(j.dik_code))) input.joystick1 |= j.bit;
    }
    input.joystick1 |= platform_gamepad_joystick();
  }
  return input;
}
