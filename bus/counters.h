// The VDP's counter ports as this machine wires them: the vertical counter
// follows a 262-line count through VCounterTable (lines 262-311 read 0x00);
// no horizontal position is modelled, so the horizontal counter reads 0x00.
#pragma once

#include <array>
#include <cstdint>

constexpr int kVCounterEntries = 512;
extern const std::array<uint8_t, kVCounterEntries> VCounterTable;

// The counter byte for the scanline the frame loop is running.
uint8_t vdp_read_v_counter();
uint8_t vdp_read_h_counter();
