// Helpers for the VDP tests: a fresh VDP on the in-memory frame surface, port
// level register and VRAM writes, and a reference picture computed pixel by
// pixel from the registers and VRAM alone.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>

#include "display/video.h"
#include "platform/platform.h"
#include "vdp/vdp.h"

constexpr uint16_t kSentinel = 0x1234;  // no palette colour has this pixel value

inline uint16_t pixel(int x, int row) { return *video_pixel_address(2, x, row); }
inline uint16_t screen(int x, int line) { return pixel(x + 16, line + 24); }

// A fresh VDP (registers and status zero), the frame locked and filled with kSentinel.
inline void vdp_test_start(VdpInterruptCallback callback = nullptr) {
  static bool platform_ready = false;
  if (!platform_ready) {
    platform_init(PlatformBackend::Headless, {});
    video_init(kFrameWidth, kFrameHeight);
    video_set_mode(640, 480);
    platform_ready = true;
  }
  vdp_release();
  vdp = VdpState{};
  vdp_init(callback);
  ASSERT_NE(video_lock_frame(), nullptr) << "the frame surface cannot be locked";
  for (int i = 0; i < kFrameWidth * kFrameHeight; ++i) *video_pixel_address(2, i % kFrameWidth, i / kFrameWidth) = kSentinel;
}

inline void set_register(int reg, int value) {
  vdp_write_control(static_cast<uint8_t>(value));
  vdp_write_control(static_cast<uint8_t>(0x80 | reg));
}

inline void write_vram(int address, std::initializer_list<uint8_t> bytes) {
  vdp_write_control(static_cast<uint8_t>(address));
  vdp_write_control(static_cast<uint8_t>(0x40 | (address >> 8)));
  for (uint8_t b : bytes) vdp_write_data(b);
}

inline void run_lines(int from, int to, int render = 1) {  // lines [from, to)
  for (vdp.current_line = from; vdp.current_line < to; ++vdp.current_line) vdp_render_line(render);
}

inline uint16_t colour_pixel(int colour) {
  static constexpr int kRgb[16][3] = {{0, 0, 0}, {0, 0, 0}, {32, 192, 32}, {96, 224, 96}, {32, 32, 224}, {64, 96, 224},
      {160, 32, 32}, {64, 192, 224}, {224, 32, 32}, {224, 96, 96}, {192, 192, 32}, {192, 192, 128}, {32, 128, 32},
      {192, 64, 160}, {160, 160, 160}, {224, 224, 224}};
  return static_cast<uint16_t>(video_rgb_to_pixel(kRgb[colour][0], kRgb[colour][1], kRgb[colour][2]));
}

// Graphics I: names 0x1800, colours 0x2000, patterns 0, sprites 0x1B00 and 0x3800.
constexpr std::array<int, 8> g1(int reg1 = 0x40, int reg7 = 0xF4) { return {0, reg1, 6, 0x80, 0, 0x36, 7, reg7}; }
inline void set_registers(const std::array<int, 8>& regs) {
  for (int r = 0; r < 8; ++r) set_register(r, regs[r]);
}

// The reference picture, from the registers and VRAM alone.
inline int reg(int n) { return vdp_peek_register(n); }
inline int mem(int address) { return vdp_peek_vram(static_cast<uint32_t>(address) & 0x3FFF); }
inline int backdrop() { return (reg(7) & 15) == 0 ? 1 : reg(7) & 15; }
// Set bits in the foreground (0 is black), clear bits in the background (0 shows the backdrop).
inline int cell_colour(int bg, int fg, int set) { return set ? (fg ? fg : 1) : (bg ? bg : backdrop()); }

// The colour of the first sprite (lowest number) with a pixel at (x, line), or -1.
inline int sprite_colour(int x, int line) {
  const int mag = (reg(1) & 1) ? 2 : 1, width = (reg(1) & 2) ? 16 : 8, size = width * mag;
  const int attr = (reg(5) & 0x7F) << 7, patterns = (reg(6) & 7) << 11;
  for (int n = 0, on_line = 0; n < 32; ++n) {
    int y = mem(attr + 4 * n);
    if (y == 0xD0) break;
    if (y > 256 - size) y -= 256;
    if (line < y + 1 || line >= y + 1 + size) continue;
    if (++on_line > 4 && vdp.sprite_limit) break;
    const int flags = mem(attr + 4 * n + 3), left = mem(attr + 4 * n + 1) - ((flags & 0x80) ? 32 : 0);
    if ((flags & 15) == 0 || x < left || x >= left + size) continue;
    const int px = (x - left) / mag, py = (line - y - 1) / mag;
    const int name = mem(attr + 4 * n + 2) & (width == 16 ? 0xFC : 0xFF);
    if ((mem(patterns + name * 8 + py + (px >= 8 ? 16 : 0)) >> (7 - px % 8)) & 1) return flags & 15;
  }
  return -1;
}

inline int background_colour(int x, int line, int mode) {
  const int names = (reg(2) & 15) << 10, patterns = (reg(4) & 7) << 11;
  if (mode == 0) {
    const int byte = mem(patterns + mem(names + (line / 8) * 40 + x / 6) * 8 + line % 8);
    return cell_colour(reg(7) & 15, reg(7) >> 4, (byte >> (7 - x % 6)) & 1);
  }
  const int name = mem(names + (line / 8) * 32 + x / 8);
  if (mode == 3) {
    const int colours = mem(patterns + name * 8 + (line / 8 % 4) * 2 + line / 4 % 2);
    const int c = x % 8 < 4 ? colours >> 4 : colours & 15;
    return c == 0 ? backdrop() : c;
  }
  const int offset = (line / 64) * 0x800 + name * 8 + line % 8;
  const int k = mode == 1 ? mem((reg(3) << 6) + name / 8) : mem(((reg(3) & 0x80) ? 0x2000 : 0) + offset);
  const int byte = mode == 1 ? mem(patterns + name * 8 + line % 8) : mem(((reg(4) & 4) ? 0x2000 : 0) + offset);
  const int set = (byte >> (7 - x % 8)) & 1;
  return k == 0 ? cell_colour(reg(7) & 15, reg(7) >> 4, set) : cell_colour(k & 15, k >> 4, set);
}

inline uint16_t reference_pixel(int x, int row) {
  const int line = row - 24, sx = x - 16;
  const int mode = (reg(1) & 0x10) ? 0 : (reg(1) & 0x08) ? 3 : (reg(0) & 0x02) ? 2 : 1;
  if (line < 0 || line >= 192 || sx < 0 || sx >= (mode == 0 ? 240 : 256) || (reg(1) & 0x40) == 0)
    return colour_pixel(backdrop());
  const int sprite = mode == 0 ? -1 : sprite_colour(sx, line);
  return colour_pixel(sprite >= 0 ? sprite : background_colour(sx, line, mode));
}

// Compares every pixel of frame rows [first, end) with the reference picture.
inline testing::AssertionResult rows_match_reference(int first, int end) {
  int bad = 0;
  testing::AssertionResult result = testing::AssertionFailure();
  for (int i = first * kFrameWidth, x = 0, row = first; i < end * kFrameWidth; x = ++i % kFrameWidth, row = i / kFrameWidth)
    if (reference_pixel(x, row) != pixel(x, row) && bad++ < 5)
      result << "(" << x << ", " << row << ") is " << pixel(x, row) << ", not " << reference_pixel(x, row) << "\n";
  return bad == 0 ? testing::AssertionSuccess() : result << bad << " pixels differ";
}

// Compares every pixel of the frame surface with the reference picture.
inline testing::AssertionResult frame_matches_reference() { return rows_match_reference(0, kFrameHeight); }
