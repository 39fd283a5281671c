// The message block, the help and about pages, our font and the game menu;
// expected pixels come from the font and the VDP colours' RGB values.
#include <gtest/gtest.h>

#include <algorithm>
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
const uint8_t* glyph(int code) { return OsdFont + (code - 32) * 8; }
std::string line(int i) { return osd_lines[i]; }

class Osd : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    ASSERT_TRUE(video_init(kWidth, kHeight));
    app_list_resolutions();
    video_set_mode(640, 480);
    vdp_init(machine_vdp_interrupt);
    ASSERT_NE(video_lock_frame(), nullptr);
    clear();
  }
  void TearDown() override {
    video_unlock_frame();
    vdp_release();
    video_release();
    key_delay = menu_visible = menu_cursor = 0;
    osd_show(1, 0);
  }
  static void clear() {
    for (int n = 0; n < kWidth * kHeight; ++n) *px(n % kWidth, n / kWidth) = kUntouched;
    osd_show(1, 0);
  }
  static uint16_t* px(int x, int y) { return video_pixel_address(2, x, y); }
  // Pixels of the cells of `text` at (x, y) that differ from the font in
  // colour 1 on `bg` (3 light green, 12 dark green).
  static int mismatches(int x, int y, const std::string& text, int bg = 3) {
    const uint16_t fg = rgb(0, 0, 0), back = bg == 3 ? rgb(96, 224, 96) : rgb(32, 128, 32);
    int bad = 0;
    for (size_t n = 0; n < text.size(); ++n) {
      const int code = static_cast<unsigned char>(text[n]);
      for (int r = 0; r < 8; ++r) {
        const uint8_t bits = code >= 32 ? glyph(code)[r] : 0;
        for (int c = 0; c < 6; ++c) {
          bad += *px(x + 6 * static_cast<int>(n) + c, y + r) != ((bits & (0x80 >> c)) ? fg : back);
        }
      }
    }
    return bad;
  }
  static int drawn() {
    int n = 0;
    for (int i = 0; i < kWidth * kHeight; ++i) n += *px(i % kWidth, i / kWidth) != kUntouched;
    return n;
  }
};

// The about page waits for the key delay and is a solid box with its title
// (the help page is checked on screenshots by input_screen.sh).
TEST_F(Osd, AboutPage) {
  osd_set_line(7, "out of range");
  osd_set_line(0, nullptr);
  key_delay = 3;
  osd_show_about();
  EXPECT_EQ(osd_timer, 0);
  key_delay = 0;
  osd_show_about();
  EXPECT_EQ(osd_line_count * 1000 + osd_timer * 10 + key_delay, 7000 + 1400 + 10);
  const std::string title = line(1).substr(line(1).find_first_not_of(' '));
  EXPECT_EQ(title.substr(0, 7) + title[title.find_last_not_of(' ')], std::string("* QUAV *"));
  EXPECT_NE(title.find(std::string("QUAV ") + QUAV_VERSION), std::string::npos) << title;
  osd_draw_messages();  // a solid 252 x 56 box ending at row 215
  EXPECT_EQ(drawn(), 252 * 56);
  EXPECT_EQ(mismatches(18, 160, line(0)) + mismatches(18, 168, line(1)), 0);
}

// One line: at row 208, cut at 42 characters, only its own cells, drawn in the timer's last frame.
TEST_F(Osd, MessageLinePlacementCutAndTimer) {
  const struct { std::string text; int frames, ticks; bool drawn; } cases[] = {
      {"Hard Reset", 40, 0, true}, {"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQ", 1, 0, true},
      {"Keyboard Mode", 1, 0, true}, {"Keyboard Mode", 1, 1, false}};
  for (const auto& c : cases) {
    clear();
    osd_set_line(0, c.text.c_str());
    osd_show(1, c.frames);
    for (int t = 0; t < c.ticks; ++t) osd_tick();
    osd_draw_messages();
    const int cells = std::min<int>(42, static_cast<int>(c.text.size())) * 6;
    EXPECT_EQ(drawn(), c.drawn ? cells * 8 : 0) << c.text;
    EXPECT_TRUE(!c.drawn || mismatches(18, 208, c.text.substr(0, 42)) == 0) << c.text;
  }
}

// Our font: six columns, every glyph but the space drawn, ASCII glyphs distinct.
TEST(OsdFont, Shape) {
  int drawn = 0;
  for (int code = 32; code < 256; ++code) {
    const uint8_t unused = code < 127 ? 0x07 : 0x03;  // ASCII keeps a blank spacing column
    for (int r = 0; r < 8; ++r) EXPECT_EQ(glyph(code)[r] & unused, 0) << code;
    drawn += std::any_of(glyph(code), glyph(code) + 8, [](uint8_t row) { return row != 0; });
    for (int other = 33; code < 127 && other < code; ++other) {
      EXPECT_NE(std::memcmp(glyph(code), glyph(other), 8), 0) << code << " vs " << other;
    }
  }
  EXPECT_EQ(drawn, 223);  // every glyph but the space
}

// Cursor moves stop at the ends, always set their delay and wait for it (the toggle and
// ENTER are driven through the keys in hotkeys_test.cpp).
TEST_F(Osd, MenuCursorAndRows) {
  const struct { void (*move)(); int from, to, delay; } cases[] = {
      {menu_down, 0, 1, 6},         {menu_up, 7, 6, 6},           {menu_up, 0, 0, 6},
      {menu_down, 33, 33, 6},       {menu_page_down, 30, 33, 16}, {menu_page_down, 12, 22, 16},
      {menu_page_up, 5, 0, 16},     {menu_page_up, 33, 23, 16},
  };
  for (const auto& c : cases) {
    key_delay = 0;
    menu_cursor = c.from;
    c.move();
    EXPECT_EQ(menu_cursor * 100 + key_delay, c.to * 100 + c.delay) << "from " << c.from;
    key_delay = 1;
    c.move();
    EXPECT_EQ(menu_cursor, c.to) << "from " << c.from;
  }

  // Five rows around the cursor, selected in colour 3, others 12, empty outside 0..33.
  menu_draw();
  EXPECT_EQ(drawn(), 0);  // closed
  menu_visible = 1;
  for (int cursor : {0, 33}) {
    menu_cursor = cursor;
    menu_draw();
    for (int row = 0; row < 5; ++row) {
      const int entry = cursor + row - 2;
      const std::string text = entry < 0 || entry > 33 ? std::string(16, ' ')
                                                       : std::string(library_table[entry].title, 16);
      EXPECT_EQ(mismatches(18, 26 + 8 * row, text, row == 2 ? 3 : 12), 0) << cursor << "," << row;
    }
    EXPECT_EQ(drawn(), 96 * 40) << "only the rows";
  }
}

}  // namespace
