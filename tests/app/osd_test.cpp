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

std::string line(int i) { return std::string(osd_lines[i]); }

TEST_F(Osd, LinesAreCutAt42AndPaddedWithNul) {
  const std::string exact(42, 'x');
  osd_set_line(0, exact.c_str());
  EXPECT_EQ(line(0), exact);
  osd_set_line(1, (exact + "Y").c_str());
  EXPECT_EQ(line(1), exact);
  osd_set_line(2, std::string(42, 'z').c_str());
  osd_set_line(2, "ab");
  EXPECT_EQ(line(2), "ab");
  for (int i = 2; i < kOsdLineBytes - 1; ++i) EXPECT_EQ(osd_lines[2][i], '\0') << i;
  osd_set_line(7, "out of range");
  osd_set_line(-1, "out of range");
  osd_set_line(3, nullptr);
  EXPECT_EQ(line(3), "");
}

TEST_F(Osd, TimerCountsDownToZeroAndStops) {
  osd_set_line(0, "Hard Reset");
  osd_show(1, 2);
  osd_tick();
  EXPECT_EQ(osd_timer, 1);
  osd_tick();
  EXPECT_EQ(osd_timer, 0);
  osd_tick();
  EXPECT_EQ(osd_timer, 0);
}

TEST_F(Osd, HelpPage) {
  const char* expected[5] = {
      "F1  HELP        F2 MENU      F3 HARD RESET", "F4  JOY/KEYB    F5 BLITMODE  F6 SPR LIMIT ",
      "F7  VGM ON/OFF  F8 SCRNSHOT  F9 RES SWITCH", "F10 QUIT        F11 VID/SYS  F12 ABOUT    ",
      "INS SW RESET    ESC MENU OFF              "};
  osd_show_help();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(line(i), expected[i]) << i;
  EXPECT_EQ(osd_line_count, 5);
  EXPECT_EQ(osd_timer, 180);
  EXPECT_EQ(key_delay, 10);
}

TEST_F(Osd, PagesWaitForTheKeyDelay) {
  key_delay = 3;
  osd_show_help();
  osd_show_about();
  EXPECT_EQ(osd_timer, 0);
  EXPECT_EQ(line(0), "");
  EXPECT_EQ(key_delay, 3);
}

TEST_F(Osd, AboutPageIsASolidCentredBox) {
  osd_show_about();
  EXPECT_EQ(osd_line_count, 7);
  EXPECT_EQ(osd_timer, 140);
  EXPECT_EQ(key_delay, 10);
  const std::string blank(42, ' ');
  for (int i : {0, 2, 4, 6}) EXPECT_EQ(line(i), blank) << i;
  EXPECT_EQ(line(5), "    press F1 for HELP and F2 for MENU     ");
  for (int i : {1, 3}) {
    const std::string s = line(i);
    ASSERT_EQ(s.size(), 42u) << i;
    const size_t left = s.find_first_not_of(' ');
    const size_t right = 41 - s.find_last_not_of(' ');
    ASSERT_NE(left, std::string::npos);
    EXPECT_LE(left > right ? left - right : right - left, 1u) << "centred: " << s;
  }
  const std::string title = line(1).substr(line(1).find('*'));
  EXPECT_EQ(title.front(), '*');
  EXPECT_EQ(title.substr(0, title.find_last_not_of(' ') + 1).back(), '*');
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

TEST(OsdFontShape, SixColumnsAndSpacing) {
  for (int code = 32; code < 256; ++code) {
    for (int r = 0; r < 8; ++r) EXPECT_EQ(glyph(code)[r] & 0x03, 0) << "code " << code;
  }
  // Printable ASCII keeps its sixth column blank as spacing.
  for (int code = 32; code < 127; ++code) {
    for (int r = 0; r < 8; ++r) EXPECT_EQ(glyph(code)[r] & 0x04, 0) << "code " << code;
  }
}

TEST(OsdFontShape, PrintableAsciiIsDrawnAndDistinct) {
  EXPECT_TRUE(empty(' '));
  for (int code = 33; code < 127; ++code) {
    EXPECT_FALSE(empty(code)) << "code " << code;
    for (int other = 33; other < code; ++other) {
      EXPECT_NE(std::memcmp(glyph(code), glyph(other), 8), 0) << code << " vs " << other;
    }
  }
  int drawn = 0;
  for (int code = 127; code < 256; ++code) drawn += empty(code) ? 0 : 1;
  EXPECT_EQ(drawn, 129);
}

TEST(OsdFontShape, LettersStandOnOneBaseline) {
  // Capitals and digits fill rows 0-6 and leave row 7 for descenders.
  for (const char* s : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "0123456789"}) {
    for (const char* c = s; *c; ++c) {
      EXPECT_NE(glyph(*c)[0], 0) << *c;
      EXPECT_NE(glyph(*c)[6], 0) << *c;
      EXPECT_EQ(glyph(*c)[7], 0) << *c;
    }
  }
  for (char c : std::string("gjpqy")) EXPECT_NE(glyph(c)[7], 0) << c;
}

TEST(OsdFontShape, BoxDrawingJoinsAcrossCells) {
  const int horizontal = 0xC4, vertical = 0xB3, cross = 0xC5, double_h = 0xCD,
            double_v = 0xBA;
  int row = -1;
  for (int r = 0; r < 8; ++r) {
    if (glyph(horizontal)[r] == 0xFC) row = r;  // all six drawn columns
  }
  ASSERT_GE(row, 0);
  const uint8_t column = glyph(vertical)[0];
  for (int r = 0; r < 8; ++r) EXPECT_EQ(glyph(vertical)[r], column) << r;
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(glyph(cross)[r], r == row ? 0xFC : column) << r;
    EXPECT_EQ(glyph(double_v)[r], glyph(double_v)[0]) << r;
  }
  int full_rows = 0;
  for (int r = 0; r < 8; ++r) full_rows += glyph(double_h)[r] == 0xFC ? 1 : 0;
  EXPECT_EQ(full_rows, 2);
  for (int code = 0xB3; code <= 0xDA; ++code) EXPECT_FALSE(empty(code)) << code;
}

TEST(OsdFontShape, YenSignAndArrows) {
  // The yen: a Y over two bars, symmetric about its middle column.
  const uint8_t* yen = glyph(0x9D);
  EXPECT_NE(std::memcmp(yen, glyph('Y'), 8), 0);
  for (int r = 0; r < 7; ++r) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ((yen[r] >> (7 - x)) & 1, (yen[r] >> (3 + x)) & 1) << r << "," << x;
    }
  }
  // Up and down arrows mirror each other vertically, left and right
  // horizontally.
  const uint8_t *up = glyph(0xF4), *down = glyph(0xF5), *right = glyph(0xF6),
                *left = glyph(0xF7);
  for (int r = 0; r < 7; ++r) EXPECT_EQ(up[r], down[6 - r]) << r;
  for (int r = 0; r < 8; ++r) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ((right[r] >> (7 - x)) & 1, (left[r] >> (3 + x)) & 1) << r << "," << x;
    }
  }
}

}  // namespace
