// The picture of each screen mode: random VRAM and registers against the
// reference picture, and the cases where a cell's colours are easy to get wrong.
#include <random>

#include "vdp_test_util.h"

namespace {

class VdpRender : public testing::Test {
 protected:
  void SetUp() override { vdp_test_start(); }
};

struct ModeBits {
  const char* name;
  uint8_t reg0, reg1;
};

TEST_F(VdpRender, RandomScreensMatchTheReference) {
  const ModeBits modes[] = {{"Text", 0x00, 0x10}, {"Graphics I", 0x00, 0x00}, {"Graphics II", 0x02, 0x00},
                            {"Multicolor", 0x00, 0x08}};
  std::mt19937 rng(5);
  for (const ModeBits& mode : modes) {
    for (int round = 0; round < 6; ++round) {
      vdp_test_start();
      for (uint8_t& byte : vdp.vram) byte = static_cast<uint8_t>(rng());
      for (int r = 2; r < 8; ++r) set_register(r, static_cast<uint8_t>(rng()));
      set_register(0, static_cast<uint8_t>((rng() & 0xFD) | mode.reg0));
      set_register(1, static_cast<uint8_t>((rng() & 0x23) | 0x40 | mode.reg1));
      if (round & 1) vdp_toggle_sprite_limit();
      run_lines(0, 312);
      ASSERT_TRUE(frame_matches_reference()) << mode.name << " round " << round;
    }
  }
}

TEST_F(VdpRender, GraphicsOneColourBytes) {
  setup_graphics1();
  set_register(7, 0x94);  // text colour 9, backdrop 4
  write_vram(0x1800, {0, 8, 16});  // names 0, 8, 16: colour bytes 0, 1, 2
  write_vram(0x2000, {0x00, 0x0F, 0xF0});
  for (int name : {0, 8, 16}) write_vram(static_cast<uint16_t>(name * 8 + 3), {0xA5});
  run_lines(0, 8);
  const int cells[3][2] = {{4, 9}, {15, 1}, {4, 15}};  // 0-bits, 1-bits of each cell
  for (int c = 0; c < 3; ++c) {
    for (int k = 0; k < 8; ++k) {
      const int bit = (0xA5 >> (7 - k)) & 1;
      EXPECT_EQ(screen(c * 8 + k, 3), colour_pixel(cells[c][bit])) << "cell " << c << " pixel " << k;
      EXPECT_EQ(screen(c * 8 + k, 2), colour_pixel(cells[c][0]));
    }
  }
  EXPECT_EQ(pixel(0, 27), colour_pixel(4));
  EXPECT_EQ(pixel(287, 27), colour_pixel(4));
}

TEST_F(VdpRender, GraphicsTwoThirds) {
  set_register(0, 0x02);
  set_register(1, 0x40);
  set_register(2, 0x0E);  // names at 0x3800
  set_register(3, 0xFF);  // colours at 0x2000
  set_register(4, 0x03);  // patterns at 0x0000
  set_register(7, 0x01);
  write_vram(0x3800 + 7 * 32, {5});
  write_vram(0x3800 + 8 * 32, {5});
  write_vram(0x3800 + 16 * 32, {5});
  const uint16_t first = 5 * 8 + 7, second = 0x800 + 5 * 8, third = 0x1000 + 5 * 8;
  write_vram(first, {0x80});
  write_vram(second, {0x40});
  write_vram(third, {0x20});
  write_vram(0x2000 + first, {0x21});
  write_vram(0x2000 + second, {0x31});
  write_vram(0x2000 + third, {0x61});
  run_lines(0, 192);
  EXPECT_EQ(screen(0, 63), colour_pixel(2));
  EXPECT_EQ(screen(1, 64), colour_pixel(3));
  EXPECT_EQ(screen(0, 64), colour_pixel(1));
  EXPECT_EQ(screen(2, 128), colour_pixel(6));
  EXPECT_EQ(screen(1, 128), colour_pixel(1));
}

TEST_F(VdpRender, TextCellsAreSixPixelsWithARightBorder) {
  set_register(1, 0x50);
  set_register(2, 0x02);  // names at 0x0800
  set_register(4, 0x02);  // patterns at 0x1000
  set_register(7, 0xF4);
  write_vram(0x0800 + 39, {1});
  write_vram(0x0800, {1});
  write_vram(0x1008, {0xFF});  // name 1, row 0: all eight bits set
  run_lines(0, 1);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(screen(x, 0), colour_pixel(15));
  EXPECT_EQ(screen(6, 0), colour_pixel(4));
  EXPECT_EQ(pixel(16 + 39 * 6 + 5, 24), colour_pixel(15));  // column 255
  for (int x = 256; x < 288; ++x) EXPECT_EQ(pixel(x, 24), colour_pixel(4)) << x;
}

TEST_F(VdpRender, MulticolorBlocks) {
  set_register(1, 0x48);
  set_register(2, 0x06);
  set_register(4, 0x00);
  set_register(7, 0x07);
  write_vram(0x1800 + 32 + 1, {3});  // name row 1, column 1
  write_vram(3 * 8 + 2, {0x2D, 0x05});  // block rows for lines 8..11 and 12..15
  run_lines(0, 16);
  EXPECT_EQ(screen(8, 8), colour_pixel(2));
  EXPECT_EQ(screen(11, 11), colour_pixel(2));
  EXPECT_EQ(screen(12, 8), colour_pixel(13));
  EXPECT_EQ(screen(8, 12), colour_pixel(7));  // colour 0: the backdrop
  EXPECT_EQ(screen(15, 15), colour_pixel(5));
}

TEST_F(VdpRender, SkippedFramesDisplayOffAndBorders) {
  setup_graphics1();
  write_vram(0x1B00, {10, 10, 0, 0x0F, 0xD0});
  write_vram(0x3800, {0xFF});
  run_lines(0, 312, 0);
  for (int row : {0, 23, 216, 239}) EXPECT_EQ(pixel(100, row), colour_pixel(4)) << row;
  EXPECT_EQ(pixel(100, 100), kSentinel);
  EXPECT_EQ(pixel(0, 24), kSentinel);
  set_register(1, 0x00);  // display off
  run_lines(0, 312);
  EXPECT_TRUE(frame_matches_reference());
  EXPECT_EQ(screen(10, 11), colour_pixel(4));
}

}  // namespace
