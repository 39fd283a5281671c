// The only door between QUAV and the host.
//
// Every service here has the contract the machine's shell expects of the host:
// results and failure values, and "nothing happens while not ready". Two
// backends implement it: SDL2 (the real window, keyboard and audio) and
// headless (everything in memory, for tests, benchmarks and batch runs).
// The backend is chosen once, by platform_init, before any other call.
//
// Nothing in this header names SDL: the core includes it freely.
#pragma once

#include <cstdint>
#include <string>

// Files: every file QUAV writes goes through a temporary file and a rename;
// every file it reads is checked first.
#include "platform/file_io.h"

// ---- backend choice ------------------------------------------------------

enum class PlatformBackend { Sdl, Headless };

struct PlatformOptions {
  int windowed = 0;  // SDL: a window instead of desktop full-screen
};

// 1 on success. The SDL backend fails when no video driver can be opened.
int platform_init(PlatformBackend backend, const PlatformOptions& options);
void platform_quit();
PlatformBackend platform_backend();

// ---- time ----------------------------------------------------------------

// A wrapping 32-bit millisecond clock. Headless: driven by the caller
// (headless_set_millis) and advanced by platform_sleep.
uint32_t platform_millis();
void platform_sleep(uint32_t ms);
// A monotonic tick counter (nanoseconds on both backends); the load meter
// calibrates its rate itself.
uint64_t platform_ticks();
// 1 when the processor offers MMX (on non-x86 hosts the filters are portable
// code, so the answer is 1).
int platform_has_mmx();

// ---- host keys by name (the hotkeys, INS, Ctrl, Shift and Pause) ----------

enum class HostKey {
  Escape, F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  Insert, Up, Down, Prior, Next, Return, Control, Shift, Pause,
  Count
};
// 1 when the key is held at this moment, whatever the window's state.
int platform_key_held(HostKey key);

// The keys of a recording or a replay. While an override is set, every key
// question (platform_key_held, the keyboard device's state) is answered from
// `keys`, 256 bytes by DirectInput code with bit 7 set = down, instead of
// the host's keyboard, and the gamepad reads idle; the keyboard device's
// acquisition still follows the window. Null ends the override.
void platform_keys_override(const uint8_t* keys);
// The host's keys held at this moment, in the same form, whatever the
// keyboard device's acquisition.
void platform_keys_now(uint8_t keys[256]);

// ---- window and events ---------------------------------------------------

enum class PlatformEventKind { Quit, Activate };
struct PlatformEvent {
  PlatformEventKind kind;
  int minimised;  // Activate: 1 when the window was minimised
};

// Opens the one window (SDL) or nothing (headless). 1 on success.
int platform_window_open(const char* title);
void platform_window_close();
int platform_event_waiting();
// Takes the next event; 0 when none is waiting.
int platform_take_event(PlatformEvent* event);
// Blocks until an event arrives.
void platform_wait_event();

// ---- display device ------------------------------------------------------
// Surfaces: 0 the screen, 1 the back buffer (the mode's size), 2 the frame
// surface (fixed size, in system or video memory). Pixels are RGB565.
// The frame surface exists from platform_display_open on; the screen and the
// back buffer come with the first platform_display_set_mode. While a mode is
// in force the mouse cursor is hidden; platform_display_close shows it again.

struct PlatformRect {
  int x, y, w, h;
};

// The 16-bit modes on offer, as back-buffer sizes. Valid after
// platform_display_open; count 0 when closed.
int platform_display_mode_count();
void platform_display_mode(int index, int* width, int* height);

int platform_display_open(int frame_width, int frame_height);
void platform_display_close();
// Makes width × height the screen mode and creates the back buffer. 1 or 0.
int platform_display_set_mode(int width, int height);
// (Re)creates the frame surface in system (0) or video (1) memory. 1 or 0;
// on failure the old frame surface stays in use.
int platform_display_create_frame(int video_memory);
// Address of the first pixel and its pitch in bytes, or null. The address
// stays valid after the unlock until the surface is rebuilt; the frame
// surface keeps its address from open to close, whatever its placement.
uint8_t* platform_surface_lock(int surface, int* pitch);
int platform_surface_unlock(int surface);
// 1 when the frame surface still holds, at the next lock, the pixels last
// written into it, so that rows which need no change can be left alone; 0
// for a surface whose lock gives memory of unknown content, which is then
// drawn whole every frame. Both backends keep the frame surface in host
// memory (the SDL texture of "video memory" is a copy made for blits): 1.
int platform_frame_keeps_pixels();
void platform_surface_fill(int surface, uint16_t pixel);
// Copy (same sizes) or stretch (nearest) src_rect of src into dst_rect of dst.
// 0 on success; kPlatformBlitFailed when a rectangle leaves its surface or a
// surface is missing.
constexpr int kPlatformBlitFailed = -1;
int platform_surface_blit(int dst, const PlatformRect& dst_rect, int src,
                          const PlatformRect& src_rect);
// Shows the back buffer; wait = 1 waits for the vertical blank. 1 or 0.
int platform_display_flip(int wait);

// ---- keyboard device -----------------------------------------------------
// A 256-byte state indexed by DirectInput key codes (PC scan codes, extended
// keys plus 0x80), bit 7 set = down. Results follow DirectInput: 0 for
// success, kPlatformInputLost / kPlatformNotAcquired, other non-zero failures.

constexpr uint32_t kPlatformInputLost = 0x8007001E;
constexpr uint32_t kPlatformNotAcquired = 0x8007000C;

int platform_keyboard_open();  // 1 when a keyboard device exists
void platform_keyboard_close();
uint32_t platform_keyboard_acquire();
uint32_t platform_keyboard_unacquire();
uint32_t platform_keyboard_state(uint8_t state[256]);
// Joystick 1 as a connected gamepad holds it (d-pad or left stick, the south
// and east buttons): 0x01 up, 0x02 down, 0x04 left, 0x08 right, 0x10 button
// 2, 0x20 button 1. 0 without a gamepad or while the window is not in front.
uint32_t platform_gamepad_joystick();

// ---- clipboard ---------------------------------------------------------

// The text on the host's clipboard as UTF-8; empty when it holds none.
// Headless: the text set by headless_set_clipboard.
std::string platform_clipboard_text();

// ---- audio device --------------------------------------------------------
// 44,100 Hz 16-bit mono, a looping buffer in chunks; the host plays it by
// itself and reports its play position in bytes.

// 0 on success, else the step that failed (the stream's step codes).
int platform_audio_open(int rate, int buffer_bytes);
void platform_audio_close();
uint32_t platform_audio_play_position();
void platform_audio_set_position(uint32_t byte_offset);
// Copies count samples into the buffer at byte_offset.
int platform_audio_write(uint32_t byte_offset, const int16_t* samples, int count);
int platform_audio_play();
int platform_audio_stop();
// The live sound: while a source is set, the device plays what `pull` gives
// it instead of the looping buffer (whose play position still moves on),
// `count` samples at a time, called on the device's own thread as its clock
// asks, with the millisecond clock of that moment. Play and stop leave it
// alone. The source stays until it is replaced or the device closes.
// 1 when set (or cleared); 0 while no device is open.
using PlatformAudioPull = void (*)(int16_t* out, int count, uint32_t now_ms);
int platform_audio_set_source(PlatformAudioPull pull);

// ---- headless runs -------------------------------------------------------
// The caller drives the clock, scripts the held keys and records the audio.

// Sets the millisecond clock. platform_sleep advances it.
void headless_set_millis(uint32_t ms);
// The scripted keyboard: `code` (a DirectInput key code) reads held from
// frame `from` up to, not including, frame `to`; frames count from 0.
void headless_keyboard_hold(int code, int from, int to);
// The frame the run is at; the held keys are those of this frame.
void headless_keyboard_set_frame(int frame);
// Every chunk the stream delivers is also written to this WAV file (16-bit
// mono 44,100 Hz), finished when the audio device closes. Null: none.
void headless_audio_set_wav(const char* path);
// After the audio device has closed: 1 when the WAV file asked for was
// written whole (or none was asked for); 0 when it was not, which has been
// reported in one line.
int headless_audio_wav_check();
