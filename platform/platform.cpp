// Forwards each platform service to the backend chosen at start.
#include "platform/platform.h"

#include "platform/backend.h"

#include <chrono>
#include <cstring>

namespace {

PlatformBackend g_backend = PlatformBackend::Headless;
int g_initialised = 0;
// The keys of a recording or a replay, answered instead of the host's.
int g_keys_overridden = 0;
uint8_t g_keys[256] = {};

bool sdl() { return g_backend == PlatformBackend::Sdl; }

}  // namespace

int platform_init(PlatformBackend backend, const PlatformOptions& options) {
  g_backend = backend;
  g_initialised = backend == PlatformBackend::Sdl ? sdl_init(options) : headless_init(options);
  return g_initialised;
}

void platform_quit() {
  if (!g_initialised) return;
  g_initialised = 0;
  if (sdl()) {
    sdl_quit();
  } else {
    headless_quit();
  }
}

PlatformBackend platform_backend() { return g_backend; }

uint64_t platform_ticks() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::steady_clock::now().time_since_epoch()).count());
}

int platform_has_mmx() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("mmx") ? 1 : 0;
#else
  return 1;  // the filters are portable code on this processor
#endif
}

uint32_t platform_millis() {
  if (sdl()) return sdl_millis();
  return headless_millis();
}
void platform_sleep(uint32_t ms) {
  if (sdl()) return sdl_sleep(ms);
  return headless_sleep(ms);
}
int platform_key_held(HostKey key) {
  if (g_keys_overridden) return named_key_in_state(key, g_keys);
  if (sdl()) return sdl_key_held(key);
  return headless_key_held(key);
}
void platform_keys_override(const uint8_t* keys) {
  g_keys_overridden = keys != nullptr ? 1 : 0;
  if (keys != nullptr) std::memcpy(g_keys, keys, sizeof g_keys);
}
void platform_keys_now(uint8_t keys[256]) {
  if (sdl()) return sdl_keys_now(keys);
  return headless_keys_now(keys);
}
int platform_window_open(const char* title) {
  if (sdl()) return sdl_window_open(title);
  return headless_window_open(title);
}
void platform_window_close() {
  if (sdl()) return sdl_window_close();
  return headless_window_close();
}
int platform_event_waiting() {
  if (sdl()) return sdl_event_waiting();
  return headless_event_waiting();
}
int platform_take_event(PlatformEvent* event) {
  if (sdl()) return sdl_take_event(event);
  return headless_take_event(event);
}
void platform_wait_event() {
  if (sdl()) return sdl_wait_event();
  return headless_wait_event();
}
int platform_display_mode_count() {
  if (sdl()) return sdl_display_mode_count();
  return headless_display_mode_count();
}
void platform_display_mode(int index, int* width, int* height) {
  if (sdl()) return sdl_display_mode(index, width, height);
  return headless_display_mode(index, width, height);
}
int platform_display_open(int frame_width, int frame_height) {
  if (sdl()) return sdl_display_open(frame_width, frame_height);
  return headless_display_open(frame_width, frame_height);
}
void platform_display_close() {
  if (sdl()) return sdl_display_close();
  return headless_display_close();
}
int platform_display_set_mode(int width, int height) {
  if (sdl()) return sdl_display_set_mode(width, height);
  return headless_display_set_mode(width, height);
}
int platform_display_create_frame(int video_memory) {
  if (sdl()) return sdl_display_create_frame(video_memory);
  return headless_display_create_frame(video_memory);
}
uint8_t* platform_surface_lock(int surface, int* pitch) {
  if (sdl()) return sdl_surface_lock(surface, pitch);
  return headless_surface_lock(surface, pitch);
}
int platform_surface_unlock(int surface) {
  if (sdl()) return sdl_surface_unlock(surface);
  return headless_surface_unlock(surface);
}
int platform_frame_keeps_pixels() {
  if (sdl()) return sdl_frame_keeps_pixels();
  return headless_frame_keeps_pixels();
}
void platform_surface_fill(int surface, uint16_t pixel) {
  if (sdl()) return sdl_surface_fill(surface, pixel);
  return headless_surface_fill(surface, pixel);
}
int platform_surface_blit(int dst, const PlatformRect& dst_rect, int src, const PlatformRect& src_rect) {
  if (sdl()) return sdl_surface_blit(dst, dst_rect, src, src_rect);
  return headless_surface_blit(dst, dst_rect, src, src_rect);
}
int platform_display_flip(int wait) {
  if (sdl()) return sdl_display_flip(wait);
  return headless_display_flip(wait);
}
int platform_keyboard_open() {
  if (sdl()) return sdl_keyboard_open();
  return headless_keyboard_open();
}
void platform_keyboard_close() {
  if (sdl()) return sdl_keyboard_close();
  return headless_keyboard_close();
}
uint32_t platform_keyboard_acquire() {
  if (sdl()) return sdl_keyboard_acquire();
  return headless_keyboard_acquire();
}
uint32_t platform_keyboard_unacquire() {
  if (sdl()) return sdl_keyboard_unacquire();
  return headless_keyboard_unacquire();
}
uint32_t platform_keyboard_state(uint8_t state[256]) {
  const uint32_t result = sdl() ? sdl_keyboard_state(state) : headless_keyboard_state(state);
  if (result == 0 && g_keys_overridden) std::memcpy(state, g_keys, sizeof g_keys);
  return result;
}
uint32_t platform_gamepad_joystick() {
  if (sdl() && !g_keys_overridden) return sdl_gamepad_joystick();
  return 0;
}
std::string platform_clipboard_text() {
  if (sdl()) return sdl_clipboard_text();
  return headless_clipboard_text();
}
int platform_audio_open(int rate, int buffer_bytes) {
  if (sdl()) return sdl_audio_open(rate, buffer_bytes);
  return headless_audio_open(rate, buffer_bytes);
}
void platform_audio_close() {
  if (sdl()) return sdl_audio_close();
  return headless_audio_close();
}
uint32_t platform_audio_play_position() {
  if (sdl()) return sdl_audio_play_position();
  return headless_audio_play_position();
}
void platform_audio_set_position(uint32_t byte_offset) {
  if (sdl()) return sdl_audio_set_position(byte_offset);
  return headless_audio_set_position(byte_offset);
}
int platform_audio_write(uint32_t byte_offset, const int16_t* samples, int count) {
  if (sdl()) return sdl_audio_write(byte_offset, samples, count);
  return headless_audio_write(byte_offset, samples, count);
}
int platform_audio_play() {
  if (sdl()) return sdl_audio_play();
  return headless_audio_play();
}
int platform_audio_stop() {
  if (sdl()) return sdl_audio_stop();
  return headless_audio_stop();
}
int platform_audio_set_source(PlatformAudioPull pull) {
  if (sdl()) return sdl_audio_set_source(pull);
  return headless_audio_set_source(pull);
}
