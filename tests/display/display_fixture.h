// Shared by the display tests: a headless display with a chosen mode, a frame
// filled with a pattern whose neighbouring pixels all differ, and readers of
// the back buffer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "app/app.h"
#include "display/video.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

constexpr int kFrameW = 288;
constexpr int kFrameH = 240;

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, PlatformOptions{});
    headless_display_offer_modes(nullptr, -1);
    headless_display_fail_frame_creation(0);
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

  // A pixel value for each frame position; never 0, and each differs from its
  // neighbours in both directions.
  static uint16_t pattern(int x, int y) {
    return static_cast<uint16_t>(((x * 7 + y * 1031) & 0xFFFF) | 0x0821);
  }

  static void fill_frame_pattern() {
    ASSERT_NE(video_lock_frame(), nullptr);
    for (int y = 0; y < kFrameH; ++y)
      for (int x = 0; x < kFrameW; ++x) *video_pixel_address(2, x, y) = pattern(x, y);
    video_unlock_frame();
  }

  static void fill_frame(uint16_t value) {
    ASSERT_NE(video_lock_frame(), nullptr);
    for (int y = 0; y < kFrameH; ++y)
      for (int x = 0; x < kFrameW; ++x) *video_pixel_address(2, x, y) = value;
    video_unlock_frame();
  }

  static uint16_t back(int x, int y) {
    video_lock_surface(1);
    const uint16_t v = *video_pixel_address(1, x, y);
    video_unlock_surface(1);
    return v;
  }

  AppSettings saved_;
};
