// The row cache: after frames in which nothing changed, a change of any kind
// shows in the next frame, which is compared whole with the reference
// picture of the VRAM and registers; so does what others drew over the rows.
#include <functional>
#include <iterator>
#include <random>
#include <vector>

#include "app/osd.h"
#include "vdp/row_cache.h"
#include "vdp_test_util.h"

namespace {

constexpr int kModeBits[4][2] = {{0x00, 0x10}, {0x00, 0x00}, {0x02, 0x00}, {0x00, 0x08}};  // reg 0, reg 1

void run_frame(int render = 1) { run_lines(0, kLinesPerFrame, render); }

// A random screen in `mode`, its tables where a program puts them.
void start_screen(int mode, std::mt19937& rng) {
  vdp_test_start();
  for (uint8_t& byte : vdp.vram) byte = static_cast<uint8_t>(rng());
  for (int n = 0; n < 32; ++n) vdp.vram[0x1B00 + 4 * n] = static_cast<uint8_t>(rng() % 200);
  set_registers({kModeBits[mode][0], 0x42 | kModeBits[mode][1], 0x06, 0xFF, 0x03, 0x36, 0x07, 0xF4});
}

// One address in a table the mode reads (Graphics I: names 0x1800, colours
// 0x2000, patterns 0; Graphics II: patterns 0, colours 0x2000; sprites
// 0x1B00 and 0x3800), or anywhere.
int table_address(std::mt19937& rng) {
  const int bases[][2] = {{0x1800, 0x300}, {0x2000, 0x1800}, {0x0000, 0x1800},
                          {0x1B00, 0x80},  {0x3800, 0x800},  {0x0000, 0x4000}};
  const auto& b = bases[rng() % 6];
  return b[0] + static_cast<int>(rng() % b[1]);
}

TEST(VdpRowCache, EveryChangeShowsInTheNextFrame) {
  std::mt19937 rng(7);
  int mode = 0;
  const std::function<void()> others[] = {
      [&] { write_vram(0x1B00 + 4 * int(rng() % 8), {uint8_t(rng() % 192), uint8_t(rng())}); },
      [&] { set_register(7, int(rng())); },
      [&] { set_register(1, kModeBits[mode][1] | 0x40 | int(rng() & 3)); },  // sprite size, magnification
      [&] { set_register(4, int(rng() & 0x07)); },
      [] { vdp_toggle_sprite_limit(); },
      [&] { run_frame(0); write_vram(table_address(rng), {uint8_t(rng())}); },  // a frame not drawn
  };
  for (mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE(mode);
    start_screen(mode, rng);
    int changed = 0;
    for (int step = 0; step < 60; ++step) {
      for (int still = 0; still < 2; ++still) run_frame();
      const std::vector<uint16_t> before(video_pixel_address(2, 0, 0), video_pixel_address(2, 0, kFrameHeight));
      write_vram(table_address(rng), {uint8_t(rng()), uint8_t(rng())});
      if (rng() % 3 == 0) others[rng() % std::size(others)]();
      run_frame();
      ASSERT_TRUE(frame_matches_reference()) << "step " << step;
      const std::vector<uint16_t> after(video_pixel_address(2, 0, 0), video_pixel_address(2, 0, kFrameHeight));
      changed += before != after;
    }
    EXPECT_GT(changed, 15) << "many of the changes are seen on the screen";
  }
}

// Rows written by others (the on-screen text, a fill of the surface) are
// drawn again by the next frame, though nothing in the VDP changed.
TEST(VdpRowCache, RowsDrawnOverByOthersAreDrawnAgain) {
  std::mt19937 rng(3);
  start_screen(1, rng);
  run_frame();
  run_frame();
  osd_draw_text(18, 100, "STALE ROWS", 1, 3);
  osd_draw_text(18, 232, "BORDER", 1, 3);
  run_frame();
  EXPECT_TRUE(frame_matches_reference());
  video_fill_surface(2, kSentinel);
  run_frame();
  EXPECT_TRUE(frame_matches_reference());
  EXPECT_NE(vdp_row_cache.drawn_at[100], 0u) << "drawn rows are known";
}

}  // namespace
