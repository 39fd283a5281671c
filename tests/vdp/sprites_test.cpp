// Sprites over the background: placement, early clock, clipping, sizes,
// priority, the four-per-line limit and the coincidence flag.
#include <array>
#include <random>
#include <set>
#include <vector>

#include "vdp_test_util.h"

namespace {

class VdpSprites : public testing::Test {
 protected:
  void SetUp() override { vdp_test_start(); }
  static void sprite(int n, int y, int x, int name, int flags) {
    write_vram(static_cast<uint16_t>(0x1B00 + 4 * n),
               {uint8_t(y), uint8_t(x), uint8_t(name), uint8_t(flags)});
  }
  static void pattern(int name, std::initializer_list<uint8_t> rows) {
    write_vram(static_cast<uint16_t>(0x3800 + name * 8), rows);
  }
  // The lines on which column x shows colour c.
  static std::vector<int> lines_with(int x, int c) {
    std::vector<int> lines;
    for (int line = 0; line < 192; ++line)
      if (screen(x, line) == colour_pixel(c)) lines.push_back(line);
    return lines;
  }
  static void frame() {
    run_lines(0, 312);
    EXPECT_TRUE(frame_matches_reference());
  }
};

TEST_F(VdpSprites, VerticalPlacementAndTerminator) {
  setup_graphics1();
  pattern(0, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  sprite(0, 0xFF, 0, 0, 2);
  sprite(1, 0, 8, 0, 3);
  sprite(2, 190, 16, 0, 5);
  sprite(3, 0xF8, 40, 0, 8);  // lines 249..256: never seen
  sprite(4, 0xD0, 24, 0, 6);
  sprite(5, 50, 32, 0, 7);  // after the terminator
  frame();
  EXPECT_EQ(lines_with(0, 2), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(lines_with(8, 3), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(lines_with(16, 5), std::vector<int>{191});
  EXPECT_TRUE(lines_with(32, 7).empty());
  EXPECT_TRUE(lines_with(40, 8).empty());
  sprite(0, 0xD0, 0, 0, 2);
  frame();
  EXPECT_TRUE(lines_with(8, 3).empty());
}

TEST_F(VdpSprites, EarlyClockAndClipping) {
  setup_graphics1(0x02);  // 16 x 16
  pattern(4, {0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // left half, first row only
              0xFF});                                              // right half, first row
  sprite(0, 9, 24, 5, 0x8A);  // early clock: x = -8
  sprite(1, 19, 0, 4, 0x8B);  // early clock with x = 0: off the screen
  pattern(8, {0xFF});
  sprite(2, 29, 250, 9, 0x0C);  // pixels 0..7 at 250..257
  frame();
  for (int x = 0; x < 8; ++x) EXPECT_EQ(screen(x, 10), colour_pixel(10)) << x;
  EXPECT_NE(screen(8, 10), colour_pixel(10));
  for (int x = 0; x < 256; ++x) EXPECT_NE(screen(x, 20), colour_pixel(11)) << x;
  for (int x = 250; x < 256; ++x) EXPECT_EQ(screen(x, 30), colour_pixel(12)) << x;
  EXPECT_EQ(pixel(16 + 256, 54), colour_pixel(4));  // clipped: the border stays
}

TEST_F(VdpSprites, MagnifiedAndPriority) {
  setup_graphics1(0x01);  // 8 x 8 magnified
  pattern(1, {0x80, 0x40});
  pattern(2, {0xC0});
  sprite(0, 99, 100, 1, 9);
  sprite(1, 99, 101, 2, 13);  // under sprite 0
  frame();
  for (int line : {100, 101})
    for (int x : {100, 101}) EXPECT_EQ(screen(x, line), colour_pixel(9)) << x << "," << line;
  EXPECT_EQ(screen(102, 100), colour_pixel(13));
  EXPECT_EQ(screen(104, 101), colour_pixel(13));
  EXPECT_EQ(screen(102, 102), colour_pixel(9));
  EXPECT_EQ(screen(104, 104), colour_pixel(4));
}

TEST_F(VdpSprites, FourPerLineCountsColourZero) {
  setup_graphics1();
  pattern(0, {0xFF});
  for (int n = 0; n < 5; ++n) sprite(n, 59, n * 16, 0, n == 1 ? 0 : 3 + n);
  sprite(5, 0xD0, 0, 0, 0);
  frame();
  EXPECT_EQ(screen(64, 60), colour_pixel(7));
  EXPECT_EQ(screen(16, 60), colour_pixel(4));
  EXPECT_EQ(vdp_toggle_sprite_limit(), 1u);
  frame();
  EXPECT_EQ(screen(48, 60), colour_pixel(6));
  EXPECT_EQ(screen(64, 60), colour_pixel(4));
}

TEST_F(VdpSprites, CoincidenceOverTheWholeFrame) {
  setup_graphics1();
  pattern(0, {0x80});
  sprite(0, 200, 10, 0, 2);  // both below the screen, sharing pixel x 10
  sprite(1, 200, 10, 0, 3);
  sprite(2, 0xD0, 0, 0, 0);
  run_lines(0, 213);
  EXPECT_EQ(vdp_peek_status(), 0xA0);
  run_lines(213, 312);
  EXPECT_EQ(vdp_peek_status(), 0x20);  // line 261 keeps the coincidence
  EXPECT_EQ(vdp_read_status(), 0x20);

  write_vram(0x1B05, {11});  // one apart; magnified, the doubled pixels touch
  set_register(1, 0x41);
  run_lines(0, 213);
  EXPECT_EQ(vdp_read_status(), 0x80);
  write_vram(0x1B05, {10, 0, 0});  // shared pixel again, but colour 0
  run_lines(0, 213);
  EXPECT_EQ(vdp_read_status(), 0x80);

  // Text mode tests the entries at VRAM address 0.
  vdp_test_start();
  set_register(1, 0x10);
  set_register(6, 0x07);
  write_vram(0, {5, 5, 0, 1, 5, 5, 0, 1, 0xD0});
  write_vram(0x3800, {0x10});
  run_lines(0, 213);
  EXPECT_EQ(vdp_read_status(), 0xA0);
}

// Two sprites coincide when their set pattern pixels share a position, X and
// Y taken modulo 256; magnification plays no part.
TEST_F(VdpSprites, CoincidenceMatchesPixelOverlap) {
  std::mt19937 rng(7);
  for (int round = 0; round < 400; ++round) {
    vdp_test_start();
    const int width = (round & 1) ? 16 : 8;
    setup_graphics1(static_cast<uint8_t>((round & 1) ? 0x02 : 0x00));
    for (int i = 0; i < 64; ++i) vdp.vram[0x3800 + i] = static_cast<uint8_t>(rng() & rng() & rng());
    const int count = 2 + round % 3;
    std::vector<std::array<int, 4>> sprites;
    for (int n = 0; n < count; ++n) {
      const int y = (static_cast<int>(rng() % 40) - 20) & 255, x = (static_cast<int>(rng() % 40) - 20) & 255;
      const int colour = rng() % 5 == 0 ? 0 : 1;
      sprites.push_back({y, x, static_cast<int>(rng() % 8), colour});
      sprite(n, y, x, sprites.back()[2], colour);
    }
    sprite(count, 0xD0, 0, 0, 0);
    std::set<int> seen, both;
    for (const auto& s : sprites) {
      if (s[3] == 0) continue;
      std::set<int> mine;
      for (int r = 0; r < width; ++r)
        for (int k = 0; k < width; ++k) {
          const int name = width == 16 ? s[2] & 0xFC : s[2];
          if ((vdp.vram[0x3800 + name * 8 + r + (k >= 8 ? 16 : 0)] >> (7 - k % 8)) & 1)
            mine.insert(((s[0] + r) & 255) * 256 + ((s[1] + k) & 255));
        }
      for (int p : mine)
        if (!seen.insert(p).second) both.insert(p);
    }
    ASSERT_EQ(vdp_check_collision(), both.empty() ? 0 : 1) << "round " << round;
  }
}

}  // namespace
