// The SDL2 display on SDL's dummy video driver (no X server needed): the
// host-memory path and the renderer path give the same back buffer, a lock
// after a renderer blit sees its picture, and the cursor is hidden while a
// mode is in force.
#include <cstdlib>

#include "app/osd.h"
#include "display/load_text.h"
#include "display_fixture.h"

// The cursor's state is read through SDL itself; the test has no SDL headers.
extern "C" int SDL_ShowCursor(int toggle);

namespace {

constexpr int kQueryCursor = -1;

class SdlDisplay : public DisplayTest {
 protected:
  void SetUp() override {
    saved_ = app_settings;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    PlatformOptions options;
    options.windowed = 1;
    ASSERT_EQ(platform_init(PlatformBackend::Sdl, options), 1);
    ASSERT_EQ(platform_window_open("QUAV display test"), 1);
  }
  void TearDown() override {
    video_release();
    platform_window_close();
    platform_quit();
    app_settings = saved_;
  }

  // Pixels of the back buffer that differ from the frame pattern doubled from
  // frame (0, 12) to (32, 24), black around it.
  static int mismatches_640() {
    int bad = 0;
    video_lock_surface(1);
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        const int u = x - 32, v = y - 24;
        const bool inside = u >= 0 && v >= 0 && u < 576 && v < 432;
        const uint16_t want = inside ? pattern(u / 2, 12 + v / 2) : 0;
        bad += *video_pixel_address(1, x, y) != want;
      }
    }
    video_unlock_surface(1);
    return bad;
  }
};

TEST_F(SdlDisplay, HostAndRendererBlitsGiveTheSameBackBuffer) {
  open(640, 480, 3);
  EXPECT_GE(video_has_mode(640, 480), 0);
  EXPECT_EQ(SDL_ShowCursor(kQueryCursor), 0);
  fill_frame_pattern();
  video_present();
  EXPECT_EQ(mismatches_640(), 0);
  EXPECT_EQ(video_flip(1), 1);

  ASSERT_EQ(video_set_placement(1), 1);
  app_settings.blit_mode = 4;
  fill_frame_pattern();  // a new frame surface holds nothing until drawn
  video_present();
  EXPECT_EQ(display.last_result, 0);
  EXPECT_EQ(mismatches_640(), 0);
  EXPECT_EQ(video_flip(1), 1);

  video_release();
  EXPECT_EQ(SDL_ShowCursor(kQueryCursor), 1);
}

TEST_F(SdlDisplay, TheLoadTextLandsOnTopOfARendererBlit) {
  open(512, 384, 6);
  ASSERT_EQ(video_set_placement(1), 1);
  fill_frame(0x07E0);
  video_present();
  video_draw_cpu_load(12.5f);
  std::vector<uint16_t> ref(66 * 8, 0x07E0);
  draw_load_text(reinterpret_cast<uint8_t*>(ref.data()), 132, 66, 8, "CPU%: 12.50", OsdFont, 0,
                 0xFFFF);
  int bad = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 66; ++x) bad += back(x, y) != ref[y * 66 + x];
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(back(66, 0), 0x07E0);  // the stretched active area all around
  EXPECT_EQ(back(511, 383), 0x07E0);
  EXPECT_EQ(video_flip(0), 1);
}

}  // namespace
