// Headless backend: the keyboard is a script of held keys. Each entry holds
// one DirectInput key code from a frame up to, not including, another; the
// runner tells the backend which frame it is at. The same script answers the
// keyboard device and "is this host key held now" of the hotkeys. The
// device follows the window's focus as a real one does: losing the front
// unacquires it, and it cannot be acquired again until the window is back.
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/keyboard_acquisition.h"

namespace {

std::string g_clipboard;  // headless_set_clipboard

struct HeldKey {
  int code;
  int from;
  int to;
};

constexpr uint8_t kKeyDown = 0x80;

std::vector<HeldKey> g_script;
int g_frame = 0;
KeyboardAcquisition g_device;
int g_in_front = 1;

// The DirectInput codes of the named host keys; Ctrl, Shift and ENTER are
// either of the two keys that carry the name. The table also answers the
// named keys from a recorded or replayed view, on both backends
// (named_key_in_state).
struct NamedKey {
  int code;
  int other;
};
constexpr NamedKey kNamedKeys[static_cast<int>(HostKey::Count)] = {
    {0x01, 0},     // Escape
    {0x3B, 0},     // F1
    {0x3C, 0},     // F2
    {0x3D, 0},     // F3
    {0x3E, 0},     // F4
    {0x3F, 0},     // F5
    {0x40, 0},     // F6
    {0x41, 0},     // F7
    {0x42, 0},     // F8
    {0x43, 0},     // F9
    {0x44, 0},     // F10
    {0x57, 0},     // F11
    {0x58, 0},     // F12
    {0xD2, 0},     // Insert
    {0xC8, 0},     // Up
    {0xD0, 0},     // Down
    {0xC9, 0},     // Prior
    {0xD1, 0},     // Next
    {0x1C, 0x9C},  // Return, keypad ENTER
    {0x1D, 0x9D},  // Control, left and right
    {0x2A, 0x36},  // Shift, left and right
    {0xC5, 0},     // Pause
};

}  // namespace

void headless_keyboard_hold(int code, int from, int to) {
  if (code <= 0 || code > 0xFF || to <= from) return;
  g_script.push_back({code, from, to});
}

void headless_keyboard_set_frame(int frame) { g_frame = frame; }

void headless_keyboard_clear() {
  g_script.clear();
  g_frame = 0;
  g_in_front = 1;
}

void headless_keyboard_set_focus(int in_front) {
  g_in_front = in_front ? 1 : 0;
  if (!g_in_front) g_device.focus_lost();
}

int headless_key_held(HostKey key) {
  uint8_t state[256];
  headless_keys_now(state);
  return named_key_in_state(key, state);
}

int named_key_in_state(HostKey key, const uint8_t state[256]) {
  const int i = static_cast<int>(key);
  if (i < 0 || i >= static_cast<int>(HostKey::Count)) return 0;
  const NamedKey& k = kNamedKeys[i];
  return (state[k.code] & kKeyDown) || (k.other != 0 && (state[k.other] & kKeyDown)) ? 1 : 0;
}

void headless_keys_now(uint8_t state[256]) {
  std::memset(state, 0, 256);
  for (const HeldKey& k : g_script) {
    if (g_frame >= k.from && g_frame < k.to) state[k.code] = kKeyDown;
  }
}

int headless_keyboard_open() {
  g_device.start();
  return 1;
}

void headless_keyboard_close() { g_device.stop(); }

uint32_t headless_keyboard_acquire() { return g_device.acquire(g_in_front != 0); }

uint32_t headless_keyboard_unacquire() { return g_device.unacquire(); }

uint32_t headless_keyboard_state(uint8_t state[256]) {
  if (const uint32_t result = g_device.check_read()) return result;
  headless_keys_now(state);
  return 0;
}

void headless_set_clipboard(const char* text) { g_clipboard = text != nullptr ? text : ""; }

std::string headless_clipboard_text() { return g_clipboard; }
