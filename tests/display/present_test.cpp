// Presenting a frame: the geometry of every blit mode and the filters' pixels,
// checked on the headless back buffer against a picture computed here.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/osd.h"
#include "display/filters.h"
#include "display/load_text.h"
#include "display_fixture.h"

namespace {

using SecondRow = std::function<uint16_t(uint16_t)>;
const SecondRow kSame = [](uint16_t p) { return p; };
const SecondRow kBlack = [](uint16_t) { return uint16_t{0}; };

// A doubled picture: the sw x sh source rectangle at (sx, sy) lands at
// (dx, dy); each source pixel gives p on the first screen row and second(p)
// on the next. Everything else on the screen is black.
struct Doubled {
  int sx, sy, sw, sh, dx, dy;
};

class PresentTest : public DisplayTest {
 protected:
  // Counts the back-buffer pixels that differ from the expected picture and
  // reports the first.
  static int mismatches(const Doubled& d, const SecondRow& second) {
    int bad = 0;
    video_lock_surface(1);
    for (int y = 0; y < display.current_height; ++y) {
      for (int x = 0; x < display.current_width; ++x) {
        uint16_t want = 0;
        const int u = x - d.dx, v = y - d.dy;
        if (u >= 0 && v >= 0 && u < 2 * d.sw && v < 2 * d.sh) {
          const uint16_t p = pattern(d.sx + u / 2, d.sy + v / 2);
          want = v % 2 == 0 ? p : second(p);
        }
        const uint16_t got = *video_pixel_address(1, x, y);
        if (got != want && bad++ == 0) {
          ADD_FAILURE() << "first difference at (" << x << ", " << y << "): 0x" << std::hex
                        << got << " instead of 0x" << want;
        }
      }
    }
    video_unlock_surface(1);
    return bad;
  }

  void present_pattern() {
    fill_frame_pattern();
    video_present();
  }
};

TEST_F(PresentTest, SmallScreenShowsExactlyTheActiveAreaDoubledInModes0To4) {
  const SecondRow second[5] = {
      [](uint16_t p) { return static_cast<uint16_t>((p >> 1) & 0x7BEF); }, kBlack,
      [](uint16_t p) { return static_cast<uint16_t>(p - ((p >> 2) & 0x39E7)); }, kSame, kSame};
  for (int mode = 0; mode <= 4; ++mode) {
    SCOPED_TRACE("blit mode " + std::to_string(mode));
    open(512, 384, mode);
    present_pattern();
    EXPECT_EQ(mismatches({16, 24, 256, 192, 0, 0}, second[mode]), 0);
    video_release();
  }
}

TEST_F(PresentTest, WideScreensCentreAllColumnsAndRows12To227) {
  open(640, 480, 3);
  present_pattern();
  EXPECT_EQ(mismatches({0, 12, 288, 216, 32, 24}, kSame), 0);
  EXPECT_EQ(video_flip(1), 1);  // the screen now shows the same picture
  ASSERT_NE(video_lock_surface(0), nullptr);
  EXPECT_EQ(*video_pixel_address(0, 32, 24), pattern(0, 12));
  video_unlock_surface(0);
  video_release();

  open(800, 600, 1);
  present_pattern();
  EXPECT_EQ(mismatches({0, 12, 288, 216, 112, 84}, kBlack), 0);
}

TEST_F(PresentTest, Mode0At1024FillsTheScreenFourTimesWithEveryFourthRowBlack) {
  open(1024, 768, 0);
  present_pattern();
  int bad = 0;
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      const uint16_t want = y % 4 == 3 ? 0 : pattern(16 + x / 4, 24 + y / 4);
      bad += back(x, y) != want;
    }
  }
  EXPECT_EQ(bad, 0);
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

TEST_F(PresentTest, Mode4StretchesRows12To227ToTheFullWidthOf512By480) {
  open(512, 480, 4);
  present_pattern();
  EXPECT_EQ(mismatches({16, 12, 256, 216, 0, 24}, kSame), 0);
  EXPECT_EQ(display.last_result, 0);
}

TEST_F(PresentTest, Modes5And6StretchToTheWholeScreen) {
  // Border pixels one colour, the active area another.
  constexpr uint16_t kBorder = 0x1234, kActive = 0xABCD;
  open(800, 600, 5);
  ASSERT_NE(video_lock_frame(), nullptr);
  for (int y = 0; y < kFrameH; ++y)
    for (int x = 0; x < kFrameW; ++x) {
      const bool active = x >= 16 && x < 272 && y >= 24 && y < 216;
      *video_pixel_address(2, x, y) = active ? kActive : kBorder;
    }
  video_unlock_frame();
  video_present();
  int black = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) black += back(x, y) == 0;
  EXPECT_EQ(black, 0);
  EXPECT_EQ(back(0, 0), kBorder);
  EXPECT_EQ(back(799, 599), kBorder);
  EXPECT_EQ(back(400, 300), kActive);
  EXPECT_EQ(back(400, 10), kBorder);    // the top border, stretched
  EXPECT_EQ(back(60, 300), kActive);    // 16 / 288 of 800 is 44.4

  app_settings.blit_mode = 6;
  video_present();
  int active = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) active += back(x, y) == kActive;
  EXPECT_EQ(active, 800 * 600);
}

// The modes' sizes always hold whole groups; other widths leave remainders.
TEST(Filters, RemaindersOfFewerThanAGroupAreNotDrawn) {
  constexpr int kWidth = 263, kSentinel = 0x5555;
  std::vector<uint16_t> src(kWidth, 0x7777);
  std::vector<uint16_t> dst(2 * 2 * kWidth, kSentinel);
  const auto* s = reinterpret_cast<const uint8_t*>(src.data());
  auto* d = reinterpret_cast<uint8_t*>(dst.data());
  const int pitch = 2 * kWidth * 2;
  struct Case {
    ScanlineFilter filter;
    int drawn;
  };
  for (const Case c : {Case{ScanlineFilter::Double, 256}, Case{ScanlineFilter::Black, 260},
                       Case{ScanlineFilter::Half, 260}, Case{ScanlineFilter::ThreeQuarter, 260}}) {
    std::fill(dst.begin(), dst.end(), kSentinel);
    filter_scanlines(c.filter, s, kWidth * 2, d, pitch, kWidth, 1, 0x7BEF, 0x39E7);
    for (int row = 0; row < 2; ++row) {
      EXPECT_NE(dst[row * 2 * kWidth + 2 * c.drawn - 1], kSentinel);
      EXPECT_EQ(dst[row * 2 * kWidth + 2 * c.drawn], kSentinel);
    }
  }
  std::vector<uint16_t> quad(4 * 4 * 7, kSentinel);
  filter_quadruple(s, 14, reinterpret_cast<uint8_t*>(quad.data()), 4 * 7 * 2, 7, 1);
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(quad[row * 28 + 15], row == 3 ? 0 : 0x7777);
    EXPECT_EQ(quad[row * 28 + 16], kSentinel);
  }
}

TEST(LoadText, GlyphBitsGiveInkOnPaperCutAtTheSurfacesEdge) {
  // Glyph rows that differ by code and row; bit 7 is the leftmost pixel.
  uint8_t font[224 * 8];
  for (int i = 0; i < 224 * 8; ++i) font[i] = static_cast<uint8_t>(i / 8 + 32 + i % 8);
  constexpr int kPitchPixels = 20, kWidth = 16;  // the third cell is cut after 4 columns
  std::vector<uint16_t> surface(kPitchPixels * 10, 0x1111);
  draw_load_text(reinterpret_cast<uint8_t*>(surface.data()), kPitchPixels * 2, kWidth, 10, "A7Z",
                 font, 0, 0xFFFF);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < kPitchPixels; ++x) {
      const int code = static_cast<uint8_t>("A7Z"[x / 6 < 3 ? x / 6 : 0]);
      const bool drawn = x < kWidth && y < 8;
      const uint16_t want = !drawn ? 0x1111 : (((code + y) << (x % 6)) & 0x80) ? 0 : 0xFFFF;
      EXPECT_EQ(surface[y * kPitchPixels + x], want) << "(" << x << ", " << y << ")";
    }
  }
}

TEST_F(PresentTest, LoadTextCoversElevenCellsAtTheTopLeftCorner) {
  open(640, 480, 3);
  fill_frame(0x4321);
  video_present();
  video_draw_cpu_load(37.5f);
  // Reference: the same text drawn with the same font on a plain surface.
  std::vector<uint16_t> ref(80 * 8, 0x4321);
  draw_load_text(reinterpret_cast<uint8_t*>(ref.data()), 160, 80, 8, "CPU%: 37.50", OsdFont, 0,
                 0xFFFF);
  int ink = 0;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 66; ++x) {
      ASSERT_EQ(back(x, y), ref[y * 80 + x]) << x << ", " << y;
      ink += back(x, y) == 0;
    }
  }
  EXPECT_GT(ink, 11 * 2);  // every glyph of the text leaves ink
  EXPECT_EQ(back(66, 0), 0);  // the picture's black surround starts right after the text
  EXPECT_EQ(back(0, 8), 0);
  EXPECT_EQ(back(40, 30), 0x4321);
}

}  // namespace
