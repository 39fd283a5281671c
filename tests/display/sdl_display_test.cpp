// The SDL2 display on SDL's dummy video driver (no X server needed).
#include <cstdlib>

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
};

// The host-memory path and the renderer path give the same back buffer, the
// load text lands on top of a renderer blit, the cursor is hidden while a mode is in force.
TEST_F(SdlDisplay, HostAndRendererBlitsGiveTheSameBackBuffer) {
  open(640, 480, 3);
  EXPECT_EQ(SDL_ShowCursor(kQueryCursor), 0);
  for (int placement = 0; placement < 2; ++placement) {  // host memory, mode 3; renderer, mode 4
    ASSERT_EQ(video_set_placement(placement), 1);
    app_settings.blit_mode = 3 + placement;
    fill_frame_with(pattern);  // a new frame surface holds nothing until drawn
    app_present();
    EXPECT_EQ(display.last_result, 0);
    int bad = 0;  // the frame from (0, 12) doubled at (32, 24), black around it
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) {
        const int u = x - 32, v = y - 24;
        bad += back(x, y) != (u >= 0 && v >= 0 && u < 576 && v < 432 ? pattern(u / 2, 12 + v / 2) : 0);
      }
    EXPECT_EQ(bad, 0) << "placement " << placement;
    EXPECT_EQ(video_flip(1), 1);
  }
  video_release();
  EXPECT_EQ(SDL_ShowCursor(kQueryCursor), 1);
  open(512, 384, 6);
  ASSERT_EQ(video_set_placement(1), 1);
  fill_frame(0x07E0);
  app_present();
  video_draw_cpu_load(12.5f);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 66; ++x)
      ASSERT_EQ(back(x, y), load_text_ink("CPU%: 12.50", x, y) ? 0 : 0xFFFF) << x << ", " << y;
  EXPECT_EQ(back(66, 0), 0x07E0);  // the stretched active area all around
  EXPECT_EQ(back(511, 383), 0x07E0);
  EXPECT_EQ(video_flip(0), 1);
}

}  // namespace
