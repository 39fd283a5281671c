// The display device: modes and their fallbacks, placement, colour to pixel,
// the frame surface before the first mode, and release.
#include "display_fixture.h"
#include "vdp/vdp.h"

namespace {

using VideoSetup = DisplayTest;

TEST_F(VideoSetup, ModesSizesAndFallbacks) {
  ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
  EXPECT_EQ(display.mode_count, 5);
  const int sizes[][3] = {{640, 480, 0}, {512, 384, 2}, {1024, 768, 4}, {1280, 1024, -1}, {480, 640, -1}};
  for (const auto& s : sizes) EXPECT_EQ(video_has_mode(s[0], s[1]), s[2]) << s[0] << " x " << s[1];
  ASSERT_EQ(video_set_mode(800, 600), 1);  // the size in force is kept; another clears every surface
  video_fill_surface(1, 0x2222);
  EXPECT_EQ(video_set_mode(800, 600), 0);
  EXPECT_EQ(back(799, 599), 0x2222);
  ASSERT_EQ(video_set_mode(1024, 768), 1);
  EXPECT_EQ(back(1023, 767) + display.mode_index, 4);
  video_release();

  // An unknown size falls back to 640 x 480, then to the first mode; no modes, no display.
  const int two[][2] = {{800, 600}, {640, 480}}, no_vga[][2] = {{800, 600}, {1024, 768}};
  const struct { const int (*modes)[2]; int count, set, width, index; } cases[] = {
      {two, 2, 1, 640, 1}, {no_vga, 2, 1, 800, 0}, {nullptr, 0, 0, 0, -1}};
  for (const auto& c : cases) {
    headless_display_offer_modes(c.modes, c.count);
    ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
    EXPECT_EQ(video_set_mode(1280, 1024), c.set);
    EXPECT_EQ(display.current_width * 1000 + display.mode_index, c.width * 1000 + c.index) << c.count;
    video_release();
  }
}

TEST_F(VideoSetup, PlacementIsKeptEvenWhenTheNewSurfaceFails) {
  open(640, 480, 0);
  EXPECT_EQ(video_get_placement(), 0);
  EXPECT_EQ(video_set_placement(1), 1);
  EXPECT_EQ(video_get_placement(), 1);
  fill_frame(0x0F0F);
  headless_display_fail_frame_creation(1);
  EXPECT_EQ(video_set_placement(0), 0);
  EXPECT_EQ(video_get_placement(), 0);
  ASSERT_NE(video_lock_frame(), nullptr);  // the old surface stays in use
  EXPECT_EQ(*video_pixel_address(2, 100, 100), 0x0F0F);
  video_unlock_frame();
  EXPECT_EQ(video_set_mode(800, 600), 0);  // a mode change needs a frame surface too
  EXPECT_EQ(video_lock_frame(), nullptr);
}

TEST_F(VideoSetup, ColoursBecomeRgb565) {
  EXPECT_EQ(video_rgb_to_pixel(255, 255, 255), -1);  // no display yet
  open(640, 480, 0);
  const int colours[][4] = {{255, 255, 255, 0xFFFF}, {224, 32, 32, 0xE104}, {32, 192, 32, 0x2604}, {7, 3, 7, 0}};
  for (const auto& c : colours) EXPECT_EQ(video_rgb_to_pixel(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1];
  video_release();
  EXPECT_EQ(video_rgb_to_pixel(1, 2, 3), -1);
}

// Before the first mode the frame surface can be drawn, and nothing presented;
// release undoes everything, is safe twice, and the display opens again.
TEST_F(VideoSetup, BeforeTheFirstModeAndAfterRelease) {
  video_release();
  ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
  uint8_t* base = video_lock_frame();
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(vdp.frame_pitch, display.pitch[2]);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(video_pixel_address(2, 3, 2)), base + 2 * vdp.frame_pitch + 6);
  *video_pixel_address(2, 287, 239) = 0xBEEF;
  video_unlock_frame();
  EXPECT_EQ(*video_pixel_address(2, 287, 239), 0xBEEF);  // readable after the unlock
  EXPECT_EQ(video_lock_surface(1), nullptr);
  app_present();
  EXPECT_EQ(video_flip(1), 0);
  EXPECT_EQ(headless_display_flip_count(), 0);
  ASSERT_EQ(video_set_mode(640, 480), 1);
  video_release();
  EXPECT_EQ(video_lock_frame(), nullptr);
  EXPECT_EQ(video_pixel_address(2, 0, 0), nullptr);
  video_release();
  EXPECT_EQ(video_flip(1), 0);
  open(512, 384, 0);
  EXPECT_EQ(display.current_width, 512);
}

}  // namespace
