// Screenshots: 24-bit BMP files of the frame's 288 x 216 visible rows.
#pragma once

#include <cstdint>

constexpr int kShotColours = 65536;
// The colour the display shows for each 16-bit pixel value, as 0x00BBGGRR.
// Built at the first screenshot (or by shot_build_colour_table).
extern uint32_t shot_colour_table[kShotColours];

void shot_build_colour_table();
void shot_save();
// Headless runs: the frame's screenshot to a named file, and the back buffer
// after the last present as a 24-bit BMP. 1 when the file was written; a
// failure is reported in one line naming the file and the reason.
int shot_save_to(const char* path);
int shot_save_back_buffer(const char* path);
