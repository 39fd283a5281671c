// The picture: random VRAM and registers in each mode, and hand-made scenes
// pinning the cells and sprites that are easy to get wrong. Every frame is
// compared whole with the reference picture; the probes fix the figures.
#include <array>
#include <functional>
#include <random>
#include <vector>

#include "vdp_test_util.h"

namespace {

TEST(VdpPicture, RandomScreensMatchTheReference) {
  const int mode_bits[4][2] = {{0x00, 0x10}, {0x00, 0x00}, {0x02, 0x00}, {0x00, 0x08}};  // reg 0, reg 1
  std::mt19937 rng(5);
  for (int mode = 0; mode < 4; ++mode) {
    for (int round = 0; round < 6; ++round) {
      vdp_test_start();
      for (uint8_t& byte : vdp.vram) byte = static_cast<uint8_t>(rng());
      for (int r = 2; r < 8; ++r) set_register(r, static_cast<uint8_t>(rng()));
      set_register(0, static_cast<int>(rng() & 0xFD) | mode_bits[mode][0]);
      set_register(1, static_cast<int>(rng() & 0x23) | 0x40 | mode_bits[mode][1]);
      if (round & 1) vdp_toggle_sprite_limit();
      run_lines(0, kLinesPerFrame);
      ASSERT_TRUE(frame_matches_reference()) << "mode " << mode << " round " << round;
    }
  }
}

struct Write { int address; std::vector<uint8_t> bytes; };
struct Probe { int x, line, colour; };  // in the active area; x 256.. is the right border
struct Scene {
  const char* what;
  std::array<int, 8> regs;
  int sprite_limit;
  std::vector<Write> writes;
  std::vector<Probe> probes;
};

const std::vector<uint8_t> kFull(8, 0xFF);
const std::vector<uint8_t> kFiveOnLine60 = {59, 0,  0, 3, 59, 16, 0, 0, 59, 32, 0, 5,
                                            59, 48, 0, 6, 59, 64, 0, 7, 0xD0};  // the second is colour 0

const Scene kScenes[] = {
    {"Graphics I colour bytes 0x00, 0x0F, 0xF0", g1(0x40, 0x94), 0,
     {{0x1800, {0, 8, 16}}, {0x2000, {0x00, 0x0F, 0xF0}}, {3, {0xA5}}, {67, {0xA5}}, {131, {0xA5}}},
     {{0, 3, 9}, {1, 3, 4}, {0, 2, 4}, {8, 3, 1}, {9, 3, 15}, {8, 2, 15}, {16, 3, 15}, {17, 3, 4},
      {16, 2, 4}, {-16, 3, 4}, {271, 3, 4}}},
    {"Graphics II thirds at lines 64 and 128", {0x02, 0x40, 0x0E, 0xFF, 0x03, 0, 0, 0x01}, 0,
     {{0x3800 + 7 * 32, {5}}, {0x3800 + 8 * 32, {5}}, {0x3800 + 16 * 32, {5}}, {5 * 8 + 7, {0x80}},
      {0x800 + 5 * 8, {0x40}}, {0x1000 + 5 * 8, {0x20}}, {0x2000 + 5 * 8 + 7, {0x21}},
      {0x2800 + 5 * 8, {0x31}}, {0x3000 + 5 * 8, {0x61}}},
     {{0, 63, 2}, {1, 64, 3}, {0, 64, 1}, {2, 128, 6}, {1, 128, 1}}},
    {"Text cells of 6 pixels, right border; backdrop 0 is black", {0, 0x50, 0x02, 0, 0x02, 0, 0, 0xF0}, 0,
     {{0x0800, {1}}, {0x0800 + 39, {1}}, {0x1008, {0xFF}}},
     {{0, 0, 15}, {5, 0, 15}, {6, 0, 1}, {234, 0, 15}, {239, 0, 15}, {240, 0, 1}, {271, 0, 1}, {0, -1, 1}}},
    {"Multicolor blocks", {0, 0x48, 0x06, 0, 0, 0, 0, 0x07}, 0,
     {{0x1800 + 32 + 1, {3}}, {3 * 8 + 2, {0x2D, 0x05}}},  // name 3 at row 1, column 1: lines 8..15
     {{8, 8, 2}, {11, 11, 2}, {12, 8, 13}, {8, 12, 7}, {15, 15, 5}}},
    {"sprite Y 0xFF, 0, 190; hidden at 0xF8; the terminator", g1(0x40), 0,
     {{0x3800, kFull},
      {0x1B00, {0xFF, 0, 0, 2, 0, 8, 0, 3, 190, 16, 0, 5, 0xF8, 40, 0, 8, 0xD0, 24, 0, 6, 50, 32, 0, 7}}},
     {{0, 0, 2}, {0, 7, 2}, {0, 8, 4}, {8, 0, 4}, {8, 1, 3}, {8, 8, 3}, {8, 9, 4}, {16, 190, 4}, {16, 191, 5},
      {40, 0, 4}, {32, 51, 4}}},
    {"the terminator first", g1(0x40), 0, {{0x3800, kFull}, {0x1B00, {0xD0, 8, 0, 3}}}, {{8, 1, 4}}},
    {"early clock with X 24 and 0, X 250", g1(0x42), 0,
     {{0x3820, {0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF}}, {0x3840, {0xFF}},
      {0x1B00, {9, 24, 5, 0x8A, 19, 0, 4, 0x8B, 29, 250, 9, 0x0C}}},
     {{0, 10, 10}, {7, 10, 10}, {8, 10, 4}, {0, 20, 4}, {250, 30, 12}, {255, 30, 12}, {256, 30, 4}}},
    {"magnified 8 x 8, sprite 0 over sprite 1", g1(0x41), 0,
     {{0x3808, {0x80, 0x40}}, {0x3810, {0xC0}}, {0x1B00, {99, 100, 1, 9, 99, 101, 2, 13}}},
     {{100, 100, 9}, {101, 101, 9}, {102, 100, 13}, {104, 101, 13}, {102, 102, 9}, {104, 104, 4}}},
    {"no limit: the fifth sprite shows", g1(0x40), 0, {{0x3800, kFull}, {0x1B00, kFiveOnLine60}},
     {{64, 60, 7}, {16, 60, 4}}},
    {"four per line counting colour 0", g1(0x40), 1, {{0x3800, kFull}, {0x1B00, kFiveOnLine60}},
     {{48, 60, 6}, {64, 60, 4}}},
};

TEST(VdpPicture, Scenes) {
  for (const Scene& s : kScenes) {
    SCOPED_TRACE(s.what);
    vdp_test_start();
    set_registers(s.regs);
    for (const Write& w : s.writes)
      for (size_t i = 0; i < w.bytes.size(); ++i) vdp.vram[w.address + i] = w.bytes[i];
    if (s.sprite_limit) vdp_toggle_sprite_limit();
    run_lines(0, kLinesPerFrame);
    EXPECT_TRUE(frame_matches_reference());
    for (const Probe& p : s.probes)
      EXPECT_EQ(screen(p.x, p.line), colour_pixel(p.colour)) << p.x << ", " << p.line;
  }
}

// A change between two lines shows from the next line on: the sprite
// entries, the attribute table's address, the sprite size, the text and
// backdrop colours. Each band of lines is compared with the reference of the
// VRAM and registers it was drawn with.
TEST(VdpPicture, ChangesBetweenLinesShowFromTheNextLine) {
  std::mt19937 rng(11);
  const std::function<void()> changes[] = {
      [] { write_vram(0x1B00 + 4 * 3, {70}), write_vram(0x1B00 + 4 * 9, {75, 0, 0, 0x8F}); },
      [] { write_vram(0x1B00 + 4 * 12, {0xD0}); },  // a new terminator
      [] { set_register(5, 0x37); },                 // the table at 0x1B80
      [] { set_register(1, 0x41); },                 // 8 x 8, magnified
      [] { set_register(7, 0x5A); },                 // text 5 on backdrop 10
      [] { set_register(7, 0x3A); },                 // text 3 on the same backdrop
      [] { set_register(7, 0x30); },                 // backdrop 0 shows black
  };
  for (const int reg0 : {0x00, 0x02}) {  // Graphics I, Graphics II
    for (const bool limit : {false, true}) {
      SCOPED_TRACE(reg0 == 0 ? "Graphics I" : "Graphics II");
      vdp_test_start();
      for (uint8_t& byte : vdp.vram) byte = static_cast<uint8_t>(rng());
      for (int n = 0; n < 64; ++n) vdp.vram[0x1B00 + 4 * n] = static_cast<uint8_t>(rng() % 200);
      for (int a = 0x2000; a < 0x2400; a += 3) vdp.vram[a] = 0;  // colour bytes 0: text on backdrop
      vdp.vram[0x3FC0] = 0;
      set_registers({reg0, 0x42, 0x06, 0xFF, 0x03, 0x36, 0x07, 0xF4});
      if (limit) vdp_toggle_sprite_limit();
      int line = 0;
      for (const auto& change : changes) {
        run_lines(line, line + 24);
        ASSERT_TRUE(rows_match_reference(line + kActiveTop, line + 24 + kActiveTop)) << "lines " << line;
        change();
        line += 24;
      }
      run_lines(line, kActiveLines);
      ASSERT_TRUE(rows_match_reference(line + kActiveTop, kActiveLines + kActiveTop)) << "lines " << line;
    }
  }
}

TEST(VdpPicture, SkippedFramesDisplayOffAndBorders) {
  vdp_test_start();
  set_registers(g1());
  write_vram(0x1B00, {10, 10, 0, 0x0F, 0xD0});
  write_vram(0x3800, {0xFF});
  run_lines(0, kLinesPerFrame, 0);  // not rendered: only the borders are filled
  for (int row : {0, 23, 216, 239}) EXPECT_EQ(pixel(100, row), colour_pixel(4)) << row;
  EXPECT_EQ(pixel(100, 100), kSentinel);
  EXPECT_EQ(pixel(0, 24), kSentinel);
  set_register(1, 0x00);  // display off
  run_lines(0, kLinesPerFrame);
  EXPECT_TRUE(frame_matches_reference());
  EXPECT_EQ(screen(10, 11), colour_pixel(4));
}

// The coincidence flag: set over the whole frame, also below the screen; not
// by magnification alone nor by colour-0 sprites; kept past line 261.
TEST(VdpPicture, Coincidence) {
  vdp_test_start();
  set_registers(g1());
  write_vram(0x3800, {0x80});
  write_vram(0x1B00, {200, 10, 0, 2, 200, 10, 0, 3, 0xD0});  // both below the screen, sharing x 10
  run_lines(0, 213);
  EXPECT_EQ(vdp_peek_status(), 0xA0);
  run_lines(213, kLinesPerFrame);
  EXPECT_EQ(vdp_read_status(), 0x20);
  const int cases[][3] = {{11, 3, 0x80}, {10, 0, 0x80}};  // magnified one apart; colour 0: x, colour, status
  for (const auto& c : cases) {
    write_vram(0x1B05, {uint8_t(c[0]), 0, uint8_t(c[1])});
    set_register(1, 0x41);
    run_lines(0, 213);
    EXPECT_EQ(vdp_read_status(), c[2]) << c[0] << " " << c[1];
  }
  vdp_test_start();  // Text mode tests the entries at VRAM address 0
  set_register(1, 0x10);
  set_register(6, 0x07);
  write_vram(0, {5, 5, 0, 1, 5, 5, 0, 1, 0xD0});
  write_vram(0x3800, {0x10});
  run_lines(0, 213);
  EXPECT_EQ(vdp_read_status(), 0xA0);
}

}  // namespace
