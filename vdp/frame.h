// The frame surface the VDP draws into: 288 x 240 pixels of 16 bits (RGB565),
// the 256 x 192 active area at column 16, row 24, the border around it. Lines
// 0-191 draw the active rows 24-215, lines 192-215 the bottom border rows
// 216-239 and lines 216-239 the top border rows 0-23.
#pragma once

constexpr int kFrameWidth = 288;
constexpr int kFrameHeight = 240;
constexpr int kActiveLeft = 16;
constexpr int kActiveTop = 24;
constexpr int kActiveWidth = 256;
constexpr int kActiveLines = 192;
constexpr int kBottomBorderEnd = 216;  // lines 192..215 draw rows 216..239
constexpr int kTopBorderEnd = 240;     // lines 216..239 draw rows 0..23
