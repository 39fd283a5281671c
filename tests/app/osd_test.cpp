// The message block's text and timer, the help and about pages, and the
// shape of our font.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app.h"
#include "app/osd.h"

namespace {

class Osd : public ::testing::Test {
 protected:
  void SetUp() override {
    key_delay = 0;
    for (int i = 0; i < kOsdLines; ++i) osd_set_line(i, "");
    osd_show(1, 0);
  }
  void TearDown() override { key_delay = 0; }
};

std::string line(int i) { return osd_lines[i]; }

TEST_F(Osd, BadLineIndexOrNullText) {
  osd_set_line(7, "out of range");
  osd_set_line(-1, "out of range");
  osd_set_line(2, "x");
  osd_set_line(2, nullptr);
  EXPECT_EQ(line(2), "");
}

TEST_F(Osd, HelpPageAfterTheKeyDelay) {
  key_delay = 3;
  osd_show_help();
  osd_show_about();
  EXPECT_EQ(osd_timer, 0);
  key_delay = 0;
  osd_show_help();
  const char* expected[5] = {
      "F1  HELP        F2 MENU      F3 HARD RESET", "F4  JOY/KEYB    F5 BLITMODE  F6 SPR LIMIT ",
      "F7  VGM ON/OFF  F8 SCRNSHOT  F9 RES SWITCH", "F10 QUIT        F11 VID/SYS  F12 ABOUT    ",
      "INS SW RESET    ESC MENU OFF              "};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(line(i), expected[i]) << i;
  EXPECT_EQ(osd_line_count, 5);
  EXPECT_EQ(osd_timer, 180);
  EXPECT_EQ(key_delay, 10);
}

TEST_F(Osd, AboutPageIsASolidCentredBox) {
  osd_show_about();
  EXPECT_EQ(osd_line_count, 7);
  EXPECT_EQ(osd_timer, 140);
  EXPECT_EQ(key_delay, 10);
  for (int i : {0, 2, 4, 6}) EXPECT_EQ(line(i), std::string(42, ' ')) << i;
  EXPECT_EQ(line(5), "    press F1 for HELP and F2 for MENU     ");
  for (int i : {1, 3}) {
    const std::string s = line(i);
    ASSERT_EQ(s.size(), 42u) << i;
    const size_t left = s.find_first_not_of(' '), right = 41 - s.find_last_not_of(' ');
    EXPECT_LE(left > right ? left - right : right - left, 1u) << "centred: " << s;
  }
  const std::string title = line(1).substr(line(1).find_first_not_of(' '));
  EXPECT_EQ(title.front(), '*');
  EXPECT_EQ(title[title.find_last_not_of(' ')], '*');
  EXPECT_NE(title.find(std::string("QUAV ") + QUAV_VERSION), std::string::npos) << title;
}

// ---- the font ----

const uint8_t* glyph(int code) { return OsdFont + (code - 32) * 8; }
bool empty(int code) {
  for (int r = 0; r < 8; ++r) {
    if (glyph(code)[r]) return false;
  }
  return true;
}
// Pixel x (0 leftmost) of row r.
int px(const uint8_t* g, int r, int x) { return (g[r] >> (7 - x)) & 1; }

TEST(OsdFontShape, SixColumnsLegibleAscii) {
  int drawn = 0;
  for (int code = 32; code < 256; ++code) {
    drawn += empty(code) ? 0 : 1;
    // Six columns are drawn; printable ASCII keeps the sixth blank as spacing.
    const uint8_t unused = code < 127 ? 0x07 : 0x03;
    for (int r = 0; r < 8; ++r) EXPECT_EQ(glyph(code)[r] & unused, 0) << "code " << code;
  }
  EXPECT_EQ(drawn, 223);  // every glyph but the space
  for (int code = 33; code < 127; ++code) {
    for (int other = 33; other < code; ++other) {
      EXPECT_NE(std::memcmp(glyph(code), glyph(other), 8), 0) << code << " vs " << other;
    }
  }
  // Capitals and digits stand on row 6; descenders reach row 7.
  for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
    EXPECT_TRUE(glyph(c)[0] && glyph(c)[6] && !glyph(c)[7]) << c;
  }
  for (char c : std::string("gjpqy")) EXPECT_NE(glyph(c)[7], 0) << c;
}

TEST(OsdFontShape, BoxDrawingJoinsAcrossCells) {
  const uint8_t *horizontal = glyph(0xC4), *vertical = glyph(0xB3), *cross = glyph(0xC5);
  int row = -1, double_rows = 0;
  for (int r = 0; r < 8; ++r) {
    if (horizontal[r] == 0xFC) row = r;  // all six drawn columns
    double_rows += glyph(0xCD)[r] == 0xFC ? 1 : 0;
    EXPECT_EQ(vertical[r], vertical[0]) << r;
    EXPECT_EQ(glyph(0xBA)[r], glyph(0xBA)[0]) << r;  // double vertical
  }
  ASSERT_GE(row, 0);
  EXPECT_EQ(double_rows, 2);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(cross[r], r == row ? 0xFC : vertical[0]) << r;
  for (int code = 0xB3; code <= 0xDA; ++code) EXPECT_FALSE(empty(code)) << code;
}

TEST(OsdFontShape, YenSignAndArrows) {
  const uint8_t *yen = glyph(0x9D), *up = glyph(0xF4), *down = glyph(0xF5),
                *right = glyph(0xF6), *left = glyph(0xF7);
  EXPECT_NE(std::memcmp(yen, glyph('Y'), 8), 0);
  for (int r = 0; r < 8; ++r) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(px(yen, r, x), px(yen, r, 4 - x)) << r << "," << x;  // symmetric
      EXPECT_EQ(px(right, r, x), px(left, r, 4 - x)) << r << "," << x;
      if (r < 7) {
        EXPECT_EQ(px(up, r, x), px(down, 6 - r, x)) << r << "," << x;
      }
    }
  }
}

}  // namespace
