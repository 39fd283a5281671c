// video_present per blit mode at 640 x 480 and 1024 x 768 on the headless
// display, with a frame that changes every pixel. Target: under 1 ms a frame.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/app.h"
#include "display/video.h"
#include "platform/platform.h"

namespace {

void BM_VideoPresent(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const int width = static_cast<int>(state.range(1));
  const int height = static_cast<int>(state.range(2));
  platform_init(PlatformBackend::Headless, PlatformOptions{});
  video_init(288, 240);
  video_set_mode(width, height);
  video_set_placement(mode >= 4 ? 1 : 0);
  const AppSettings saved = app_settings;
  app_settings.display_width = width;
  app_settings.display_height = height;
  app_settings.blit_mode = mode;
  video_lock_frame();
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 288; ++x)
      *video_pixel_address(2, x, y) = static_cast<uint16_t>(x * 37 + y * 1031);
  video_unlock_frame();
  for (auto _ : state) {
    app_present();
    video_lock_surface(1);
    benchmark::DoNotOptimize(*video_pixel_address(1, width / 2, height / 2));
    video_unlock_surface(1);
  }
  app_settings = saved;
  video_release();
  platform_quit();
}

void present_sizes(benchmark::internal::Benchmark* b) {
  for (int mode = 0; mode <= 6; ++mode) {
    b->Args({mode, 640, 480});
    b->Args({mode, 1024, 768});
  }
  b->ArgNames({"mode", "w", "h"})->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_VideoPresent)->Apply(present_sizes);

namespace {

// The SDL2 display on SDL's dummy video driver: the present, the conversion
// to the renderer's pixels and the flip, in a filter mode and in a mode the
// renderer scales.
void BM_SdlPresentAndFlip(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  PlatformOptions options;
  options.windowed = 1;
  if (!platform_init(PlatformBackend::Sdl, options) || !platform_window_open("QUAV bench") ||
      !video_init(288, 240) || !video_set_mode(1024, 768)) {
    state.SkipWithError("the SDL dummy display cannot be opened");
    platform_quit();
    return;
  }
  video_set_placement(mode >= 4 ? 1 : 0);
  const AppSettings saved = app_settings;
  app_settings.display_width = 1024;
  app_settings.display_height = 768;
  app_settings.blit_mode = mode;
  for (auto _ : state) {
    video_lock_frame();
    *video_pixel_address(2, 100, 100) += 1;  // a new frame each time
    video_unlock_frame();
    app_present();
    video_flip(0);
  }
  app_settings = saved;
  video_release();
  platform_window_close();
  platform_quit();
}

}  // namespace

BENCHMARK(BM_SdlPresentAndFlip)->Arg(3)->Arg(5)->ArgName("mode")->Unit(benchmark::kMicrosecond);
