// Internal to platform/: the two backends' implementations of platform.h.
// platform.cpp forwards each service to the backend chosen at platform_init.
#pragma once

#include "platform/platform.h"

int sdl_init(const PlatformOptions& options);
void sdl_quit();
uint32_t sdl_millis();
void sdl_sleep(uint32_t ms);
int sdl_key_held(HostKey key);
int sdl_window_open(const char* title);
void sdl_window_close();
int sdl_event_waiting();
int sdl_take_event(PlatformEvent* event);
void sdl_wait_event();
int sdl_display_mode_count();
void sdl_display_mode(int index, int* width, int* height);
int sdl_display_open(int frame_width, int frame_height);
void sdl_display_close();
int sdl_display_set_mode(int width, int height);
int sdl_display_create_frame(int video_memory);
uint8_t* sdl_surface_lock(int surface, int* pitch);
int sdl_surface_unlock(int surface);
int sdl_frame_keeps_pixels();
void sdl_surface_fill(int surface, uint16_t pixel);
int sdl_surface_blit(int dst, const PlatformRect& dst_rect, int src, const PlatformRect& src_rect);
int sdl_display_flip(int wait);
int sdl_keyboard_open();
void sdl_keyboard_close();
uint32_t sdl_keyboard_acquire();
uint32_t sdl_keyboard_unacquire();
uint32_t sdl_keyboard_state(uint8_t state[256]);
void sdl_keys_now(uint8_t state[256]);
uint32_t sdl_gamepad_joystick();
std::string sdl_clipboard_text();
int sdl_audio_open(int rate, int buffer_bytes);
void sdl_audio_close();
uint32_t sdl_audio_play_position();
void sdl_audio_set_position(uint32_t byte_offset);
int sdl_audio_write(uint32_t byte_offset, const int16_t* samples, int count);
int sdl_audio_play();
int sdl_audio_stop();
int sdl_audio_set_source(PlatformAudioPull pull);

int headless_init(const PlatformOptions& options);
void headless_quit();
uint32_t headless_millis();
void headless_sleep(uint32_t ms);
int headless_key_held(HostKey key);
int headless_window_open(const char* title);
void headless_window_close();
int headless_event_waiting();
int headless_take_event(PlatformEvent* event);
void headless_wait_event();
int headless_display_mode_count();
void headless_display_mode(int index, int* width, int* height);
int headless_display_open(int frame_width, int frame_height);
void headless_display_close();
int headless_display_set_mode(int width, int height);
int headless_display_create_frame(int video_memory);
uint8_t* headless_surface_lock(int surface, int* pitch);
int headless_surface_unlock(int surface);
int headless_frame_keeps_pixels();
void headless_surface_fill(int surface, uint16_t pixel);
int headless_surface_blit(int dst, const PlatformRect& dst_rect, int src, const PlatformRect& src_rect);
int headless_display_flip(int wait);
int headless_keyboard_open();
void headless_keyboard_close();
uint32_t headless_keyboard_acquire();
uint32_t headless_keyboard_unacquire();
uint32_t headless_keyboard_state(uint8_t state[256]);
void headless_keys_now(uint8_t state[256]);
std::string headless_clipboard_text();
int headless_audio_open(int rate, int buffer_bytes);
void headless_audio_close();
uint32_t headless_audio_play_position();
void headless_audio_set_position(uint32_t byte_offset);
int headless_audio_write(uint32_t byte_offset, const int16_t* samples, int count);
int headless_audio_play();
int headless_audio_stop();
int headless_audio_set_source(PlatformAudioPull pull);
// The driven clock has moved to `now_ms`: a live source is pulled as the
// device's own clock would have by then.
void headless_audio_clock(uint32_t now_ms);

// 1 when the named host key (either of its keys, for ENTER and Ctrl) is down
// in a 256-byte state by DirectInput code.
int named_key_in_state(HostKey key, const uint8_t state[256]);
