// Presenting a frame: the geometry of every blit mode and the filters' pixels,
// checked on the headless back buffer against a picture computed here.
#include <functional>
#include <vector>

#include "display/filters.h"
#include "display_fixture.h"

namespace {

using Picture = std::function<uint16_t(int x, int y)>;

// Back-buffer pixels that differ from the expected picture; reports the first.
int mismatches(const Picture& want) {
  int bad = 0;
  video_lock_surface(1);
  for (int y = 0; y < display.current_height; ++y)
    for (int x = 0; x < display.current_width; ++x)
      if (*video_pixel_address(1, x, y) != want(x, y) && bad++ == 0)
        ADD_FAILURE() << "first difference at (" << x << ", " << y << "): 0x" << std::hex
                      << *video_pixel_address(1, x, y) << " instead of 0x" << want(x, y);
  video_unlock_surface(1);
  return bad;
}

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
    video_present();
    EXPECT_EQ(display.last_result, 0);
    EXPECT_EQ(mismatches([&g](int x, int y) -> uint16_t {
                const int u = x - g.dx, v = y - g.dy;
                if (u < 0 || v < 0 || u >= g.scale * g.sw || v >= g.scale * g.sh) return 0;
                const uint16_t p = pattern(g.sx + u / g.scale, g.sy + v / g.scale);
                if (v % g.scale != g.scale - 1) return p;
                const uint16_t second[] = {p, 0, static_cast<uint16_t>((p >> 1) & 0x7BEF),
                                           static_cast<uint16_t>(p - ((p >> 2) & 0x39E7))};
                return second[g.second];
              }),
              0);
    if (g.width == 640) {  // the flip shows the same picture
      EXPECT_EQ(video_flip(1), 1);
      ASSERT_NE(video_lock_surface(0), nullptr);
      EXPECT_EQ(*video_pixel_address(0, 32, 24), pattern(0, 12));
      video_unlock_surface(0);
    }
    video_release();
  }
}

TEST_F(PresentTest, DarkenedRowsOfAWhitePixel) {
  open(640, 480, 0);
  fill_frame(0xFFFF);
  video_present();
  EXPECT_EQ(back(32, 24), 0xFFFF);
  EXPECT_EQ(back(32, 25), 0x7BEF);
  app_settings.blit_mode = 2;
  video_present();
  EXPECT_EQ(back(33, 24), 0xFFFF);
  EXPECT_EQ(back(33, 25), 0xC618);
  EXPECT_EQ(back(31, 25), 0);  // outside the picture
}

TEST_F(PresentTest, Modes5And6StretchToTheWholeScreen) {
  constexpr uint16_t kBorder = 0x1234, kActive = 0xABCD;
  open(800, 600, 5);
  fill_frame_with([](int x, int y) { return x >= 16 && x < 272 && y >= 24 && y < 216 ? kActive : kBorder; });
  video_present();
  int bad = 0;  // the border is stretched too: 16 / 288 of 800 is 44.4, 24 / 240 of 600 is 60
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const uint16_t p = back(x, y);
      const bool inside = x >= 46 && x < 754 && y >= 61 && y < 539;
      const bool outside = x < 44 || x >= 757 || y < 59 || y >= 541;
      bad += (p != kActive && p != kBorder) || (inside && p != kActive) || (outside && p != kBorder);
    }
  EXPECT_EQ(bad, 0);
  app_settings.blit_mode = 6;  // the active area alone
  video_present();
  EXPECT_EQ(mismatches([](int, int) { return kActive; }), 0);
}

// The modes' sizes always hold whole groups; other widths leave remainders.
TEST(Filters, RemaindersOfFewerThanAGroupAreNotDrawn) {
  constexpr int kWidth = 263;
  constexpr uint16_t kUntouched = 0x5555;
  const std::vector<uint16_t> src(kWidth, 0x7777);
  const auto* s = reinterpret_cast<const uint8_t*>(src.data());
  const std::pair<ScanlineFilter, int> cases[] = {{ScanlineFilter::Double, 256}, {ScanlineFilter::Black, 260},
                                                  {ScanlineFilter::Half, 260}, {ScanlineFilter::ThreeQuarter, 260}};
  for (const auto& [filter, drawn] : cases) {  // two rows of twice the width
    std::vector<uint16_t> dst(2 * 2 * kWidth, kUntouched);
    filter_scanlines(filter, s, kWidth * 2, reinterpret_cast<uint8_t*>(dst.data()), 4 * kWidth, kWidth, 1, 0x7BEF,
                     0x39E7);
    for (int row = 0; row < 2; ++row) {
      EXPECT_NE(dst[row * 2 * kWidth + 2 * drawn - 1], kUntouched) << drawn;
      EXPECT_EQ(dst[row * 2 * kWidth + 2 * drawn], kUntouched) << drawn;
    }
  }
  std::vector<uint16_t> quad(4 * 4 * 7, kUntouched);  // x 4: 7 pixels, one group of 4
  filter_quadruple(s, 14, reinterpret_cast<uint8_t*>(quad.data()), 4 * 7 * 2, 7, 1);
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(quad[row * 28 + 15], row == 3 ? 0 : 0x7777);
    EXPECT_EQ(quad[row * 28 + 16], kUntouched);
  }
}

// "CPU%: 37.50" in the 6 x 8 font at the top-left corner, black ink on white.
TEST_F(PresentTest, LoadTextAtTheTopLeftCorner) {
  open(640, 480, 3);
  fill_frame(0x4321);
  video_present();
  video_draw_cpu_load(37.5f);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 66; ++x) ASSERT_EQ(back(x, y), load_text_ink("CPU%: 37.50", x, y) ? 0 : 0xFFFF) << x << ", " << y;
  EXPECT_EQ(back(66, 0), 0);  // the picture's black surround starts right after the text
  EXPECT_EQ(back(0, 8), 0);
  EXPECT_EQ(back(40, 30), 0x4321);
}

}  // namespace
