// The VDP's line renderer: one whole frame (312 lines) of Graphics II with
// 32 visible 16 x 16 sprites over a busy background.
#include <benchmark/benchmark.h>

#include <random>

#include "display/video.h"
#include "platform/platform.h"
#include "vdp/vdp.h"

namespace {

void set_register(int reg, uint8_t value) {
  vdp_write_control(value);
  vdp_write_control(static_cast<uint8_t>(0x80 | reg));
}

void graphics2_scene() {
  platform_init(PlatformBackend::Headless, {});
  video_init(kFrameWidth, kFrameHeight);
  video_set_mode(640, 480);
  vdp_init(nullptr);
  std::mt19937 rng(1);
  for (uint8_t& byte : vdp.vram) byte = static_cast<uint8_t>(rng());
  set_register(0, 0x02);
  set_register(1, 0x62);  // display on, interrupt enabled, 16 x 16 sprites
  set_register(2, 0x0E);  // names 0x3800
  set_register(3, 0xFF);  // colours 0x2000
  set_register(4, 0x03);  // patterns 0x0000
  set_register(5, 0x76);  // attributes 0x3B00
  set_register(6, 0x03);  // sprite patterns 0x1800
  set_register(7, 0xF4);
  for (int n = 0; n < 32; ++n) {
    uint8_t* entry = &vdp.vram[0x3B00 + 4 * n];
    entry[0] = static_cast<uint8_t>(n * 5 + 10);  // spread down the screen, overlapping
    entry[1] = static_cast<uint8_t>(n * 7);
    entry[2] = static_cast<uint8_t>(n * 4);
    entry[3] = static_cast<uint8_t>(1 + n % 15);
  }
}

void BM_VdpFrameGraphics2Sprites(benchmark::State& state) {
  graphics2_scene();
  video_lock_frame();
  for (auto _ : state) {
    for (vdp.current_line = 0; vdp.current_line < kLinesPerFrame; ++vdp.current_line) vdp_render_line(1);
    vdp_read_status();
    benchmark::ClobberMemory();
  }
  video_unlock_frame();
  vdp_release();
}
BENCHMARK(BM_VdpFrameGraphics2Sprites)->Unit(benchmark::kMicrosecond);

}  // namespace
