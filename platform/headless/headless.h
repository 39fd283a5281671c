// The headless backend's test controls (the controls of a headless run are
// in platform.h): scripted events, focus, failures to provoke, and views of
// the audio and display devices.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Queues an event for platform_take_event.
void headless_push_event(const PlatformEvent& event);
// 0: platform_sleep only moves the driven clock on, so that a test can run
// minutes of pacing in no time; 1 (the default): it also waits that long.
void headless_sleep_in_real_time(int real);

void headless_keyboard_clear();
// What the clipboard holds from now on.
void headless_set_clipboard(const char* text);
// The window's place: 0 puts it behind another (the keyboard device loses
// acquisition and cannot be acquired again), 1 brings it back in front.
void headless_keyboard_set_focus(int in_front);

// The audio device's looping buffer as it stands (null while closed).
const uint8_t* headless_audio_buffer(int* bytes);
// Makes the next audio opens fail with this step code, as a host without a
// sound card would (0: they succeed again).
void headless_audio_fail_open(int step);
// The simulated sound card that plays a live source: from now on its clock
// runs `rate_error` fast (0.05) or slow (-0.05) against the driven clock;
// at -1 it stops taking samples. Each block it takes is also handed to the
// listener (null: none), with the millisecond it was taken.
void headless_audio_set_rate_error(double rate_error);
using HeadlessAudioListener = void (*)(const int16_t* samples, int count, uint32_t now_ms);
void headless_audio_set_listener(HeadlessAudioListener listener);

// Display: the sizes offered as modes by the next platform_display_open
// (count -1: the shell's five, 640x480, 512x480, 512x384, 800x600, 1024x768).
void headless_display_offer_modes(const int sizes[][2], int count);
// While set, creating the frame surface fails (the old one stays).
void headless_display_fail_frame_creation(int fail);
// Flips since the display was opened.
int headless_display_flip_count();
