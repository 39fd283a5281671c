// Screenshots: 24-bit BMP files of the frame's 288 x 216 visible rows.
#pragma once

void shot_build_colour_table();
void shot_save();
