// The display device: modes and their fallbacks, placement, colour to pixel,
// the frame surface before the first mode, and release.
#include "display_fixture.h"
#include "vdp/vdp.h"

namespace {

using VideoSetup = DisplayTest;

TEST_F(VideoSetup, ListsTheFiveShellSizesAndFindsTheFirstMatch) {
  ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
  EXPECT_EQ(display.mode_count, 5);
  EXPECT_EQ(display.mode_index, -1);
  EXPECT_EQ(video_has_mode(640, 480), 0);
  EXPECT_EQ(video_has_mode(512, 384), 2);
  EXPECT_EQ(video_has_mode(1024, 768), 4);
  EXPECT_EQ(video_has_mode(1280, 1024), -1);
  EXPECT_EQ(video_has_mode(480, 640), -1);
}

// The size in force is left alone; another size clears every surface.
TEST_F(VideoSetup, OnlyANewSizeRebuildsTheSurfaces) {
  open(800, 600, 0);
  EXPECT_EQ(display.mode_index, 3);
  fill_frame(0x1111);
  video_fill_surface(1, 0x2222);
  EXPECT_EQ(video_set_mode(800, 600), 0);
  EXPECT_EQ(back(799, 599), 0x2222);
  ASSERT_EQ(video_set_mode(1024, 768), 1);
  EXPECT_EQ(display.current_width, 1024);
  EXPECT_EQ(display.current_height, 768);
  EXPECT_EQ(display.mode_index, 4);
  EXPECT_EQ(back(1023, 767), 0);
  video_lock_frame();
  EXPECT_EQ(*video_pixel_address(2, 287, 239), 0);
  video_unlock_frame();
}

TEST_F(VideoSetup, AnUnknownSizeFallsBackTo640By480ThenToTheFirstMode) {
  const int two[][2] = {{800, 600}, {640, 480}};
  headless_display_offer_modes(two, 2);
  ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
  EXPECT_EQ(video_set_mode(1280, 1024), 1);
  EXPECT_EQ(display.current_width, 640);
  EXPECT_EQ(display.current_height, 480);
  EXPECT_EQ(display.mode_index, 1);
  video_release();

  const int no_vga[][2] = {{800, 600}, {1024, 768}};
  headless_display_offer_modes(no_vga, 2);
  ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
  EXPECT_EQ(video_set_mode(1280, 1024), 1);
  EXPECT_EQ(display.current_width, 800);
  EXPECT_EQ(display.mode_index, 0);
}

TEST_F(VideoSetup, ADisplayWithoutModesOffersNothing) {
  headless_display_offer_modes(nullptr, 0);
  ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
  EXPECT_EQ(display.mode_count, 0);
  EXPECT_EQ(video_has_mode(640, 480), -1);
  EXPECT_EQ(video_set_mode(640, 480), 0);
  EXPECT_EQ(display.surfaces_ready, 0);
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
  // A later mode change needs a frame surface too, and fails without one.
  EXPECT_EQ(video_set_mode(800, 600), 0);
  EXPECT_EQ(display.surfaces_ready, 0);
  EXPECT_EQ(video_lock_frame(), nullptr);
}

TEST_F(VideoSetup, ColoursBecomeRgb565AndTheMasksFollow) {
  EXPECT_EQ(video_rgb_to_pixel(255, 255, 255), -1);  // no display yet
  open(640, 480, 0);
  EXPECT_EQ(video_rgb_to_pixel(255, 255, 255), 0xFFFF);
  EXPECT_EQ(video_rgb_to_pixel(224, 32, 32), 0xE104);
  EXPECT_EQ(video_rgb_to_pixel(32, 192, 32), 0x2604);
  EXPECT_EQ(video_rgb_to_pixel(7, 3, 7), 0);
  EXPECT_EQ(display.grey_half_mask, 0x7BEF7BEF7BEF7BEFull);
  EXPECT_EQ(display.grey_quarter_mask, 0x39E739E739E739E7ull);
}

TEST_F(VideoSetup, TheFrameSurfaceCanBeDrawnBeforeTheFirstMode) {
  ASSERT_EQ(video_init(kFrameW, kFrameH), 1);
  EXPECT_EQ(display.surfaces_ready, 0);
  uint8_t* base = video_lock_frame();
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(vdp.frame_pitch, display.pitch[2]);
  EXPECT_GE(vdp.frame_pitch, kFrameW * 2);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(video_pixel_address(2, 3, 2)),
            base + 2 * vdp.frame_pitch + 6);
  *video_pixel_address(2, 287, 239) = 0xBEEF;
  video_unlock_frame();
  EXPECT_EQ(*video_pixel_address(2, 287, 239), 0xBEEF);  // readable after the unlock
  EXPECT_EQ(video_lock_surface(1), nullptr);
  EXPECT_EQ(video_lock_surface(0), nullptr);
  video_present();  // nothing to present on
  EXPECT_EQ(video_flip(1), 0);
  EXPECT_EQ(headless_display_flip_count(), 0);
}

TEST_F(VideoSetup, ReleaseUndoesEverythingAndIsSafeTwice) {
  video_release();  // nothing created yet
  open(640, 480, 0);
  video_release();
  EXPECT_EQ(display.surfaces_ready, 0);
  EXPECT_EQ(video_lock_frame(), nullptr);
  EXPECT_EQ(video_pixel_address(2, 0, 0), nullptr);
  EXPECT_EQ(video_unlock_frame(), 0);
  EXPECT_EQ(video_rgb_to_pixel(1, 2, 3), -1);
  video_release();
  EXPECT_EQ(video_flip(1), 0);
  // And the display can be opened again.
  open(512, 384, 0);
  EXPECT_EQ(display.current_width, 512);
}

}  // namespace
