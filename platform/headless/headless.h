// The headless backend's controls, for the headless runner, tests and
// benchmarks: its clock is driven by the caller and its events are scripted.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Sets the millisecond clock. platform_sleep advances it.
void headless_set_millis(uint32_t ms);
// Queues an event for platform_take_event.
void headless_push_event(const PlatformEvent& event);

// The scripted keyboard: `code` (a DirectInput key code) reads held from
// frame `from` up to, not including, frame `to`; frames count from 0.
void headless_keyboard_hold(int code, int from, int to);
// The frame the run is at; the held keys are those of this frame.
void headless_keyboard_set_frame(int frame);
void headless_keyboard_clear();
// The window's place: 0 puts it behind another (the keyboard device loses
// acquisition and cannot be acquired again), 1 brings it back in front.
void headless_keyboard_set_focus(int in_front);

// Audio: every chunk the stream delivers is also written to this WAV file
// (16-bit mono 44,100 Hz), finished when the audio device closes. Null: none.
void headless_audio_set_wav(const char* path);
// The audio device's looping buffer as it stands (null while closed).
const uint8_t* headless_audio_buffer(int* bytes);
// Makes the next audio opens fail with this step code, as a host without a
// sound card would (0: they succeed again).
void headless_audio_fail_open(int step);

// Display: the sizes offered as modes by the next platform_display_open
// (count -1: the shell's five, 640x480, 512x480, 512x384, 800x600, 1024x768).
void headless_display_offer_modes(const int sizes[][2], int count);
// While set, creating the frame surface fails (the old one stays).
void headless_display_fail_frame_creation(int fail);
// Flips since the display was opened.
int headless_display_flip_count();
