// SDL2 backend: the keyboard device, the named host keys and the gamepad.
//
// SDL reports keys by scancode, the key's place on the keyboard whatever its
// layout, and one table turns scancodes into DirectInput key codes (the PC's
// set-1 scan codes, extended keys plus 0x80). The device is acquired only
// while the window has the keyboard focus; losing the focus takes the
// acquisition away, the next state read reports it, and until the window is
// back in front acquiring fails, so every key reads released. A connected
// game controller drives joystick 1 under the same rule.
#include <SDL.h>

#include <cstring>

#include "platform/backend.h"
#include "platform/keyboard_acquisition.h"
#include "platform/sdl/sdl_internal.h"

namespace {

constexpr uint8_t kKeyDown = 0x80;
constexpr int16_t kStickThreshold = 16000;

struct ScancodeKey {
  SDL_Scancode scancode;
  uint8_t dik;
};

// clang-format off
constexpr ScancodeKey kScancodeKeys[] = {
  {SDL_SCANCODE_ESCAPE, 0x01},
  {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_2, 0x03}, {SDL_SCANCODE_3, 0x04}, {SDL_SCANCODE_4, 0x05},
  {SDL_SCANCODE_5, 0x06}, {SDL_SCANCODE_6, 0x07}, {SDL_SCANCODE_7, 0x08}, {SDL_SCANCODE_8, 0x09},
  {SDL_SCANCODE_9, 0x0A}, {SDL_SCANCODE_0, 0x0B}, {SDL_SCANCODE_MINUS, 0x0C},
  {SDL_SCANCODE_EQUALS, 0x0D}, {SDL_SCANCODE_BACKSPACE, 0x0E}, {SDL_SCANCODE_TAB, 0x0F},
  {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_E, 0x12}, {SDL_SCANCODE_R, 0x13},
  {SDL_SCANCODE_T, 0x14}, {SDL_SCANCODE_Y, 0x15}, {SDL_SCANCODE_U, 0x16}, {SDL_SCANCODE_I, 0x17},
  {SDL_SCANCODE_O, 0x18}, {SDL_SCANCODE_P, 0x19}, {SDL_SCANCODE_LEFTBRACKET, 0x1A},
  {SDL_SCANCODE_RIGHTBRACKET, 0x1B}, {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_LCTRL, 0x1D},
  {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_D, 0x20}, {SDL_SCANCODE_F, 0x21},
  {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_H, 0x23}, {SDL_SCANCODE_J, 0x24}, {SDL_SCANCODE_K, 0x25},
  {SDL_SCANCODE_L, 0x26}, {SDL_SCANCODE_SEMICOLON, 0x27}, {SDL_SCANCODE_APOSTROPHE, 0x28},
  {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_BACKSLASH, 0x2B},
  {SDL_SCANCODE_NONUSHASH, 0x2B},  // the ISO keyboard's key beside Return
  {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E}, {SDL_SCANCODE_V, 0x2F},
  {SDL_SCANCODE_B, 0x30}, {SDL_SCANCODE_N, 0x31}, {SDL_SCANCODE_M, 0x32},
  {SDL_SCANCODE_COMMA, 0x33}, {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35},
  {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_LALT, 0x38},
  {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_CAPSLOCK, 0x3A},
  {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F2, 0x3C}, {SDL_SCANCODE_F3, 0x3D}, {SDL_SCANCODE_F4, 0x3E},
  {SDL_SCANCODE_F5, 0x3F}, {SDL_SCANCODE_F6, 0x40}, {SDL_SCANCODE_F7, 0x41}, {SDL_SCANCODE_F8, 0x42},
  {SDL_SCANCODE_F9, 0x43}, {SDL_SCANCODE_F10, 0x44},
  {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_SCROLLLOCK, 0x46},
  {SDL_SCANCODE_KP_7, 0x47}, {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49},
  {SDL_SCANCODE_KP_MINUS, 0x4A},
  {SDL_SCANCODE_KP_4, 0x4B}, {SDL_SCANCODE_KP_5, 0x4C}, {SDL_SCANCODE_KP_6, 0x4D},
  {SDL_SCANCODE_KP_PLUS, 0x4E},
  {SDL_SCANCODE_KP_1, 0x4F}, {SDL_SCANCODE_KP_2, 0x50}, {SDL_SCANCODE_KP_3, 0x51},
  {SDL_SCANCODE_KP_0, 0x52}, {SDL_SCANCODE_KP_PERIOD, 0x53},
  {SDL_SCANCODE_NONUSBACKSLASH, 0x56},  // the 102nd key, left of Z
  {SDL_SCANCODE_F11, 0x57}, {SDL_SCANCODE_F12, 0x58},
  {SDL_SCANCODE_F13, 0x64}, {SDL_SCANCODE_F14, 0x65}, {SDL_SCANCODE_F15, 0x66},
  {SDL_SCANCODE_INTERNATIONAL2, 0x70}, {SDL_SCANCODE_INTERNATIONAL1, 0x73},
  {SDL_SCANCODE_INTERNATIONAL4, 0x79}, {SDL_SCANCODE_INTERNATIONAL5, 0x7B},
  {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
  {SDL_SCANCODE_KP_EQUALS, 0x8D}, {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_RCTRL, 0x9D},
  {SDL_SCANCODE_KP_COMMA, 0xB3}, {SDL_SCANCODE_KP_DIVIDE, 0xB5},
  {SDL_SCANCODE_PRINTSCREEN, 0xB7}, {SDL_SCANCODE_RALT, 0xB8}, {SDL_SCANCODE_PAUSE, 0xC5},
  {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_UP, 0xC8}, {SDL_SCANCODE_PAGEUP, 0xC9},
  {SDL_SCANCODE_LEFT, 0xCB}, {SDL_SCANCODE_RIGHT, 0xCD}, {SDL_SCANCODE_END, 0xCF},
  {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_PAGEDOWN, 0xD1}, {SDL_SCANCODE_INSERT, 0xD2},
  {SDL_SCANCODE_DELETE, 0xD3}, {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_RGUI, 0xDC},
  {SDL_SCANCODE_APPLICATION, 0xDD},  // the Application (menu) key
};

// The named host keys; Ctrl, Shift and ENTER are either key that carries
// the name.
struct NamedKey {
  SDL_Scancode key;
  SDL_Scancode other;
};
constexpr NamedKey kNamedKeys[static_cast<int>(HostKey::Count)] = {
  {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_F1, SDL_SCANCODE_UNKNOWN},  {SDL_SCANCODE_F2, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_F3, SDL_SCANCODE_UNKNOWN},  {SDL_SCANCODE_F4, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_F5, SDL_SCANCODE_UNKNOWN},  {SDL_SCANCODE_F6, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_F7, SDL_SCANCODE_UNKNOWN},  {SDL_SCANCODE_F8, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_F9, SDL_SCANCODE_UNKNOWN},  {SDL_SCANCODE_F10, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_F11, SDL_SCANCODE_UNKNOWN}, {SDL_SCANCODE_F12, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_INSERT, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_UP, SDL_SCANCODE_UNKNOWN},  {SDL_SCANCODE_DOWN, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_PAGEUP, SDL_SCANCODE_UNKNOWN}, {SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_UNKNOWN},
  {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER},
  {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL},
  {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT},
  {SDL_SCANCODE_PAUSE, SDL_SCANCODE_UNKNOWN},
};
// clang-format on

KeyboardAcquisition g_device;
SDL_GameController* g_pad = nullptr;
int g_pad_scan = 0;  // a controller may have been plugged in

bool window_in_front() {
  SDL_Window* w = sdl_window();
  return w && (SDL_GetWindowFlags(w) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

// Sees every event as it is queued, before the message loop takes it.
int watch_events(void*, SDL_Event* e) {
  if (e->type == SDL_WINDOWEVENT && e->window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
    g_device.focus_lost();
  } else if (e->type == SDL_CONTROLLERDEVICEADDED) {
    g_pad_scan = 1;
  } else if (e->type == SDL_CONTROLLERDEVICEREMOVED && g_pad &&
             e->cdevice.which == SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(g_pad))) {
    SDL_GameControllerClose(g_pad);
    g_pad = nullptr;
    g_pad_scan = 1;
  }
  return 1;
}

void open_first_pad() {
  g_pad_scan = 0;
  for (int i = 0; i < SDL_NumJoysticks() && !g_pad; ++i) {
    if (SDL_IsGameController(i)) g_pad = SDL_GameControllerOpen(i);
  }
}

bool pad_button(SDL_GameControllerButton b) {
  return SDL_GameControllerGetButton(g_pad, b) != 0;
}

}  // namespace

unsigned sdl_scancode_to_dik(int scancode) {
  for (const ScancodeKey& k : kScancodeKeys) {
    if (k.scancode == scancode) return k.dik;
  }
  return 0;
}

int sdl_key_held(HostKey key) {
  const int i = static_cast<int>(key);
  if (i < 0 || i >= static_cast<int>(HostKey::Count)) return 0;
  int count = 0;
  const Uint8* keys = SDL_GetKeyboardState(&count);
  const NamedKey& k = kNamedKeys[i];
  if (k.key < count && keys[k.key]) return 1;
  return k.other != SDL_SCANCODE_UNKNOWN && k.other < count && keys[k.other] ? 1 : 0;
}

int sdl_keyboard_open() {
  if (g_device.open) return 1;
  g_device.start();
  SDL_AddEventWatch(watch_events, nullptr);
  // No game controller support leaves the keyboard working.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) g_pad_scan = 1;
  return 1;
}

void sdl_keyboard_close() {
  if (!g_device.open) return;
  SDL_DelEventWatch(watch_events, nullptr);
  if (g_pad) SDL_GameControllerClose(g_pad);
  g_pad = nullptr;
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  g_device.stop();
}

uint32_t sdl_keyboard_acquire() { return g_device.acquire(window_in_front()); }

uint32_t sdl_keyboard_unacquire() { return g_device.unacquire(); }

uint32_t sdl_keyboard_state(uint8_t state[256]) {
  if (const uint32_t result = g_device.check_read()) return result;
  if (!window_in_front()) {
    g_device.acquired = 0;
    return kPlatformInputLost;
  }
  sdl_keys_now(state);
  return 0;
}

void sdl_keys_now(uint8_t state[256]) {
  int count = 0;
  const Uint8* keys = SDL_GetKeyboardState(&count);
  std::memset(state, 0, 256);
  for (const ScancodeKey& k : kScancodeKeys) {
    if (k.scancode < count && keys[k.scancode]) state[k.dik] = kKeyDown;
  }
}

uint32_t sdl_gamepad_joystick() {
  if (!g_device.open || !window_in_front()) return 0;
  if (!g_pad && g_pad_scan) open_first_pad();
  if (!g_pad) return 0;
  const int16_t x = SDL_GameControllerGetAxis(g_pad, SDL_CONTROLLER_AXIS_LEFTX);
  const int16_t y = SDL_GameControllerGetAxis(g_pad, SDL_CONTROLLER_AXIS_LEFTY);
  uint32_t bits = 0;
  if (pad_button(SDL_CONTROLLER_BUTTON_DPAD_UP) || y < -kStickThreshold) bits |= 0x01;
  if (pad_button(SDL_CONTROLLER_BUTTON_DPAD_DOWN) || y > kStickThreshold) bits |= 0x02;
  if (pad_button(SDL_CONTROLLER_BUTTON_DPAD_LEFT) || x < -kStickThreshold) bits |= 0x04;
  if (pad_button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || x > kStickThreshold) bits |= 0x08;
  if (pad_button(SDL_CONTROLLER_BUTTON_B)) bits |= 0x10;  // east: button 2
  if (pad_button(SDL_CONTROLLER_BUTTON_A)) bits |= 0x20;  // south: button 1
  return bits;
}

std::string sdl_clipboard_text() {
  if (!SDL_HasClipboardText()) return "";
  char* text = SDL_GetClipboardText();
  if (text == nullptr) return "";
  std::string out = text;
  SDL_free(text);
  return out;
}
