// Text in the frame surface: glyph cells through the VDP's expansion table,
// the message block's placement and width, the timer's last frame, and the
// menu's rows. Expected pixels come from the font and the VDP colours'
// RGB values.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "app/osd.h"
#include "display/video.h"
#include "platform/platform.h"
#include "vdp/vdp.h"

namespace {

constexpr uint16_t kUntouched = 0x1234;
constexpr int kWidth = 288, kHeight = 240;

uint16_t rgb(int r, int g, int b) { return static_cast<uint16_t>(video_rgb_to_pixel(r, g, b)); }
uint16_t black() { return rgb(0, 0, 0); }          // colour 1
uint16_t light_green() { return rgb(96, 224, 96); }  // colour 3
uint16_t dark_green() { return rgb(32, 128, 32); }   // colour 12

class OsdDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    ASSERT_TRUE(video_init(kWidth, kHeight));
    app_list_resolutions();
    video_set_mode(640, 480);
    vdp_init(app_vdp_interrupt);
    ASSERT_NE(video_lock_frame(), nullptr);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) *video_pixel_address(2, x, y) = kUntouched;
    }
    key_delay = 0;
    menu_visible = 0;
    menu_cursor = 0;
    for (int i = 0; i < kOsdLines; ++i) osd_set_line(i, "");
    osd_show(1, 0);
  }
  void TearDown() override {
    video_unlock_frame();
    vdp_release();
    video_release();
    key_delay = 0;
    menu_visible = 0;
  }
  static uint16_t at(int x, int y) { return *video_pixel_address(2, x, y); }
  // Pixels of the cells of `text` at (x, y) that differ from the font.
  static int mismatches(int x, int y, const std::string& text, uint16_t fg, uint16_t bg) {
    int bad = 0;
    for (size_t n = 0; n < text.size(); ++n) {
      const int code = static_cast<unsigned char>(text[n]);
      for (int r = 0; r < 8; ++r) {
        const uint8_t bits = code >= 32 ? OsdFont[(code - 32) * 8 + r] : 0;
        for (int c = 0; c < 6; ++c) {
          const uint16_t want = (bits & (0x80 >> c)) ? fg : bg;
          if (at(x + 6 * static_cast<int>(n) + c, y + r) != want) bad += 1;
        }
      }
    }
    return bad;
  }
  static int untouched_in(int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) n += at(x, y) == kUntouched ? 1 : 0;
    }
    return n;
  }
};

TEST_F(OsdDraw, GlyphCellIsOpaqueAndSixWide) {
  osd_draw_glyph(40, 50, 'A', 1, 3);
  EXPECT_EQ(mismatches(40, 50, "A", black(), light_green()), 0);
  EXPECT_EQ(untouched_in(40, 50, 46, 58), 0);
  EXPECT_EQ(untouched_in(46, 50, 48, 58), 2 * 8);  // the seventh column is left alone
  EXPECT_EQ(untouched_in(40, 58, 46, 59), 6);
  // Colours are taken modulo 16; glyph 255 is the last of the font.
  osd_draw_glyph(60, 50, 255, 17, 12 + 32);
  EXPECT_EQ(mismatches(60, 50, "\xFF", black(), dark_green()), 0);
  // Codes below 32 have no glyph: a blank cell.
  osd_draw_glyph(80, 50, 7, 1, 3);
  EXPECT_EQ(mismatches(80, 50, " ", black(), light_green()), 0);
}

TEST_F(OsdDraw, BlockEndsAtRow215) {
  osd_show_about();
  osd_draw_messages();
  EXPECT_EQ(untouched_in(18, 160, 270, 216), 0);  // a solid 252 x 56 box
  EXPECT_EQ(untouched_in(0, 159, kWidth, 160), kWidth);
  EXPECT_EQ(untouched_in(0, 216, kWidth, 217), kWidth);
  EXPECT_EQ(untouched_in(17, 160, 18, 216) + untouched_in(270, 160, 271, 216), 2 * 56);
  EXPECT_EQ(mismatches(18, 200, osd_lines[5], black(), light_green()), 0);
  SetUp();
  osd_set_line(0, "Hard Reset");
  osd_show(1, 40);
  osd_draw_messages();
  EXPECT_EQ(mismatches(18, 208, "Hard Reset", black(), light_green()), 0);
  EXPECT_EQ(untouched_in(0, 0, kWidth, 208), kWidth * 208);
  // Only its own cells: the picture shows through to the right.
  EXPECT_EQ(untouched_in(18 + 60, 208, kWidth, 216), (kWidth - 78) * 8);
}

TEST_F(OsdDraw, LongLinesAreCutAt42Characters) {
  std::string text;
  for (int i = 0; i < 43; ++i) text += static_cast<char>('A' + i % 26);
  osd_set_line(0, text.c_str());
  osd_show(1, 1);
  osd_draw_messages();
  EXPECT_EQ(mismatches(18, 208, text.substr(0, 42), black(), light_green()), 0);
  EXPECT_EQ(untouched_in(270, 208, kWidth, 216), (kWidth - 270) * 8);
}

TEST_F(OsdDraw, TimerShowsTheLastFrameThenNothing) {
  osd_set_line(0, "Keyboard Mode");
  osd_show(1, 1);
  osd_tick();
  osd_draw_messages();
  EXPECT_EQ(untouched_in(0, 0, kWidth, kHeight), kWidth * kHeight);
  osd_show(1, 1);
  osd_draw_messages();
  EXPECT_EQ(mismatches(18, 208, "Keyboard Mode", black(), light_green()), 0);
}

TEST_F(OsdDraw, MenuRowsAroundTheCursor) {
  menu_draw();
  EXPECT_EQ(untouched_in(0, 0, kWidth, kHeight), kWidth * kHeight);  // closed
  menu_visible = 1;
  menu_cursor = 0;
  menu_draw();
  const std::string blank(16, ' ');
  EXPECT_EQ(mismatches(18, 26, blank, black(), dark_green()), 0);
  EXPECT_EQ(mismatches(18, 34, blank, black(), dark_green()), 0);
  EXPECT_EQ(mismatches(18, 42, std::string(library_table[0].title, 16), black(), light_green()), 0);
  EXPECT_EQ(mismatches(18, 50, std::string(library_table[1].title, 16), black(), dark_green()), 0);
  EXPECT_EQ(mismatches(18, 58, std::string(library_table[2].title, 16), black(), dark_green()), 0);
  EXPECT_EQ(untouched_in(18 + 96, 26, kWidth, 66), (kWidth - 114) * 40);
  menu_cursor = 33;
  menu_draw();
  EXPECT_EQ(mismatches(18, 42, std::string(library_table[33].title, 16), black(), light_green()), 0);
  EXPECT_EQ(mismatches(18, 50, blank, black(), dark_green()), 0);
  EXPECT_EQ(mismatches(18, 58, blank, black(), dark_green()), 0);
}

}  // namespace
