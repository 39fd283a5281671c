// Typing a text on the SC-3000 keyboard: each character becomes the key
// whose legend shows it, with Shift held for the upper legend, pressed and
// released at a steady pace on the keyboard matrix.
//
// The pace is counted in keyboard polls (one a frame in a headless run, one
// per pacing step in the window): character i of a text started at poll S
// is held during polls S + 6i to S + 6i + 2 and released during the next
// three, so the machine sees every key go down and up whatever it scans.
// Typed keys are pressed into the matrix after the host keys are polled,
// whatever the joystick mode and whether the menu is open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One key stroke: the key's matrix row and line bit, and whether Shift goes
// down with it.
struct KeyStroke {
  uint8_t row;
  uint16_t mask;
  uint8_t shift;
};

constexpr int kTypedHoldPolls = 3;
constexpr int kTypedReleasePolls = 3;

// The stroke that types the Unicode character `code` (letters in either
// case; '\n' and '\r' are Return). false when the keyboard has no key for it.
bool typing_stroke_for(uint32_t code, KeyStroke* stroke);

// A text as key strokes. With `escapes`, the two characters \n are a
// newline. A CR LF pair is one Return; a byte-order mark is skipped. `missing` lists, once each in the
// order met, the characters that have no key (skipped), with their counts.
struct TypedText {
  std::vector<KeyStroke> strokes;
  std::vector<std::pair<uint32_t, int>> missing;
};
TypedText typing_parse(const std::string& utf8, bool escapes);
// One line naming a character that has no key and how often it was skipped.
std::string typing_missing_line(uint32_t code, int count);

// Clears (active low) the matrix lines held at poll `k` by strokes started
// at poll `start`: the stroke's key, and Shift when it asks for it.
void typing_press(const std::vector<KeyStroke>& strokes, int64_t start, int64_t k,
                  uint16_t rows[8]);

// The machine's typing.
struct Typing {
  std::vector<KeyStroke> strokes;
  int64_t start = 0;  // the poll of the first stroke
  int64_t poll = 0;   // polls so far
};
extern Typing typing;

// Types `strokes` from poll `at` on (a text still being typed is finished
// first: the new strokes follow it).
void typing_start(const std::vector<KeyStroke>& strokes, int64_t at);
// 1 while strokes remain to be typed.
int typing_busy();
// One keyboard poll: the typed keys of this poll go into `rows`.
void typing_poll(uint16_t rows[8]);
