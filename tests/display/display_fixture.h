// Shared by the display tests: a headless display with a chosen mode, frames
// filled from a function of the position, and a reader of the back buffer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "app/app.h"
#include "app/osd.h"
#include "display/video.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

constexpr int kFrameW = 288, kFrameH = 240;

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, PlatformOptions{});
    saved_ = app_settings;
  }
  void TearDown() override {
    video_release();
    headless_display_offer_modes(nullptr, -1);
    headless_display_fail_frame_creation(0);
    app_settings = saved_;
    platform_quit();
  }
  // Opens the display in width x height and selects the blit mode.
  void open(int width, int height, int blit_mode) {
    ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
    ASSERT_EQ(video_set_mode(width, height), 1);
    app_settings.display_width = width;
    app_settings.display_height = height;
    app_settings.blit_mode = blit_mode;
  }
  // Never 0, and each pixel differs from its neighbours in both directions.
  static uint16_t pattern(int x, int y) { return static_cast<uint16_t>(((x * 7 + y * 1031) & 0xFFFF) | 0x0821); }
  template <typename Pixel>
  static void fill_frame_with(Pixel pixel) {
    ASSERT_NE(video_lock_frame(), nullptr);
    for (int y = 0; y < kFrameH; ++y)
      for (int x = 0; x < kFrameW; ++x) *video_pixel_address(2, x, y) = static_cast<uint16_t>(pixel(x, y));
    video_unlock_frame();
  }
  static void fill_frame(uint16_t value) { fill_frame_with([value](int, int) { return value; }); }
  static uint16_t back(int x, int y) {
    video_lock_surface(1);
    const uint16_t v = *video_pixel_address(1, x, y);
    video_unlock_surface(1);
    return v;
  }
  // Whether the load text, black on white in the 6 x 8 font, has ink at (x, y).
  static bool load_text_ink(const char* text, int x, int y) {
    return (OsdFont[(static_cast<uint8_t>(text[x / 6]) - 32) * 8 + y] << (x % 6)) & 0x80;
  }
  AppSettings saved_;
};
