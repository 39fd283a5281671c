// Presenting a frame: the geometry of every blit mode and the filters' pixels,
// checked on the headless back buffer against a picture computed here.
#include <utility>
#include <vector>

#include "display/filters.h"
#include "display_fixture.h"

namespace {

enum Second { kSame, kBlack, kHalf, kThreeQuarter };  // the last screen row of each source row
struct Geometry {
  int width, height, mode;
  int sx, sy, sw, sh, dx, dy, scale;  // the source rectangle, where it lands, how many times
  Second second;
};

using PresentTest = DisplayTest;

TEST_F(PresentTest, GeometryAndFilterPixelsOfEveryMode) {
  const Geometry cases[] = {
      {512, 384, 0, 16, 24, 256, 192, 0, 0, 2, kHalf},  // the active area doubled, modes 0-4
      {512, 384, 1, 16, 24, 256, 192, 0, 0, 2, kBlack},
      {512, 384, 2, 16, 24, 256, 192, 0, 0, 2, kThreeQuarter},
      {512, 384, 3, 16, 24, 256, 192, 0, 0, 2, kSame},
      {512, 384, 4, 16, 24, 256, 192, 0, 0, 2, kSame},
      {640, 480, 3, 0, 12, 288, 216, 32, 24, 2, kSame},  // all columns, rows 12-227, centred
      {800, 600, 1, 0, 12, 288, 216, 112, 84, 2, kBlack},
      {512, 480, 4, 16, 12, 256, 216, 0, 24, 2, kSame},  // stretched to the full width
      {1024, 768, 0, 16, 24, 256, 192, 0, 0, 4, kBlack},  // x 4, every fourth row black
  };
  for (const Geometry& g : cases) {
    SCOPED_TRACE(testing::Message() << g.width << " x " << g.height << " mode " << g.mode);
    open(g.width, g.height, g.mode);
    fill_frame_with(pattern);
    app_present();
    EXPECT_EQ(display.last_result, 0);
    int bad = 0;  // pixels unlike the source rectangle scaled in place, black around it
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x) {
        const int u = x - g.dx, v = y - g.dy;
        uint16_t p = 0;
        if (u >= 0 && v >= 0 && u < g.scale * g.sw && v < g.scale * g.sh) {
          p = pattern(g.sx + u / g.scale, g.sy + v / g.scale);
          const uint16_t second[] = {p, 0, uint16_t((p >> 1) & 0x7BEF), uint16_t(p - ((p >> 2) & 0x39E7))};
          if (v % g.scale == g.scale - 1) p = second[g.second];
        }
        if (back(x, y) != p && bad++ == 0) ADD_FAILURE() << "first difference at " << x << ", " << y;
      }
    EXPECT_EQ(bad, 0);
    video_release();
  }
}

TEST_F(PresentTest, DarkenedRowsOfAWhitePixel) {
  open(640, 480, 0);
  fill_frame(0xFFFF);
  for (const auto& [mode, darker] : {std::pair{0, 0x7BEF}, std::pair{2, 0xC618}}) {
    app_settings.blit_mode = mode;
    app_present();
    const std::vector<uint16_t> got = {back(31, 25), back(32, 24), back(32, 25)};  // outside, first row, second row
    EXPECT_EQ(got, (std::vector<uint16_t>{0, 0xFFFF, uint16_t(darker)})) << "mode " << mode;
  }
}

// Modes 5 and 6 fill the screen: the whole frame stretched (16 / 288 of 800 is
// 44.4, 24 / 240 of 600 is 60), then the active area alone.
TEST_F(PresentTest, Modes5And6StretchToTheWholeScreen) {
  constexpr uint16_t kBorder = 0x1234, kActive = 0xABCD;
  open(800, 600, 5);
  fill_frame_with([](int x, int y) { return x >= 16 && x < 272 && y >= 24 && y < 216 ? kActive : kBorder; });
  for (int mode : {5, 6}) {
    app_settings.blit_mode = mode;
    app_present();
    int bad = 0;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) {
        const bool inside = mode == 6 || (x >= 46 && x < 754 && y >= 61 && y < 539);
        const bool outside = mode == 5 && (x < 44 || x >= 757 || y < 59 || y >= 541);
        const uint16_t p = back(x, y);
        bad += (p != kActive && p != kBorder) || (inside && p != kActive) || (outside && p != kBorder);
      }
    EXPECT_EQ(bad, 0) << "mode " << mode;
  }
}

// The load display's lines: black on white cells, the second (the tape's
// position) one text row below the first, over the picture.
TEST_F(PresentTest, LoadDisplayLinesStackUnderEachOther) {
  open(640, 480, 3);
  fill_frame(0x07E0);
  app_present();
  video_draw_cpu_load(7.25f);
  video_draw_load_line(1, "Tape 0:12 / 3:45");
  int bad = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 96; ++x) {
      const char* text = y < 8 ? "CPU%: 7.25      " : "Tape 0:12 / 3:45";
      const uint16_t want = (x < 60 || y >= 8) ? (load_text_ink(text, x, y % 8) ? 0 : 0xFFFF) : 0;
      bad += back(x, y) != want;
    }
  EXPECT_EQ(bad, 0);
}

// The modes' sizes always hold whole groups; of 263 pixels the filters draw 256
// (doubling) or 260, and no more.
TEST(Filters, RemaindersOfFewerThanAGroupAreNotDrawn) {
  constexpr int kWidth = 263;
  constexpr uint16_t kUntouched = 0x5555;
  const std::vector<uint16_t> src(kWidth, 0x7777);
  const auto* s = reinterpret_cast<const uint8_t*>(src.data());
  for (int f = 0; f < 5; ++f) {  // the four scanline filters (Double first), then x 4
    const int scale = f < 4 ? 2 : 4, drawn = f == 0 ? 256 : 260, pitch = scale * kWidth;
    std::vector<uint16_t> dst(scale * pitch, kUntouched);
    auto* d = reinterpret_cast<uint8_t*>(dst.data());
    if (f < 4) filter_scanlines(ScanlineFilter(f), s, 2 * kWidth, d, 2 * pitch, kWidth, 1, 0x7BEF, 0x39E7);
    else filter_quadruple(s, 2 * kWidth, d, 2 * pitch, kWidth, 1);
    for (int row = 0; row < scale; ++row)
      EXPECT_TRUE(dst[row * pitch + scale * drawn - 1] != kUntouched && dst[row * pitch + scale * drawn] == kUntouched)
          << "filter " << f << " row " << row;
  }
}

}  // namespace
