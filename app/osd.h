// On-screen text: the message block, the help and about pages, drawn into
// the frame surface with our 6 x 8 font in VDP colours.
#pragma once

#include <cstdint>

#include "display/font.h"

constexpr int kOsdLines = 7;
constexpr int kOsdLineChars = 42;
constexpr int kOsdLineBytes = 44;  // 42 characters, a NUL, one spare byte

// The message block: lines 0 to osd_line_count - 1 are shown while
// osd_timer (frames) is above 0.
extern char osd_lines[kOsdLines][kOsdLineBytes];
extern int32_t osd_line_count;
extern int32_t osd_timer;

void osd_set_line(int index, const char* text);
void osd_show(int lines, int frames);
// Shows one message of any length, cut into as many lines as it needs.
void osd_show_long_line(const char* text, int frames);
void osd_draw_messages();
void osd_draw_text(int x, int y, const char* text, int foreground, int background);
void osd_draw_glyph(int x, int y, int code, int foreground, int background);
void osd_show_help();
void osd_show_about();
// Counts the message timer down once per frame.
void osd_tick();
