// The host processor's blit filters: each source pixel becomes a 2 x 2 block
// (the second row plain, black, at half or at three-quarter brightness), or a
// 4 x 4 block whose last row is black. Rows are walked in groups of 8 source
// pixels (doubling) or 4 (the others); a shorter remainder is not drawn.
#pragma once

#include <cstdint>

enum class ScanlineFilter { Double, Black, Half, ThreeQuarter };

constexpr int kDoubleGroup = 8;
constexpr int kScanlineGroup = 4;

// The rectangle a filter wrote whole, relative to its destination.
struct FilterArea {
  int x, y, width, height;
};

// src: first source pixel, width x rows source pixels, pitches in bytes.
// half_mask and quarter_mask keep the bits that survive a shift of each
// colour channel by one and by two places.
FilterArea filter_scanlines(ScanlineFilter filter, const uint8_t* src, int src_pitch, uint8_t* dst,
                            int dst_pitch, int width, int rows, uint16_t half_mask,
                            uint16_t quarter_mask);
FilterArea filter_quadruple(const uint8_t* src, int src_pitch, uint8_t* dst, int dst_pitch,
                            int width, int rows);
