// The game menu's cursor, its keys' delays and the open/close toggle.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/menu.h"
#include "app/osd.h"
#include "bus/ppi.h"

namespace {

class Menu : public ::testing::Test {
 protected:
  void SetUp() override {
    key_delay = 0;
    menu_visible = 0;
    menu_cursor = 0;
    ppi = PpiState{};
  }
  void TearDown() override { SetUp(); }
};

TEST_F(Menu, CursorMovesStopAtTheEndsAndAlwaysSetTheDelay) {
  const struct {
    void (*move)();
    int from, to, delay;
  } cases[] = {
      {menu_down, 0, 1, 6},       {menu_up, 7, 6, 6},         {menu_up, 0, 0, 6},
      {menu_down, 33, 33, 6},     {menu_page_down, 30, 33, 16}, {menu_page_down, 12, 22, 16},
      {menu_page_up, 5, 0, 16},   {menu_page_up, 33, 23, 16},
  };
  for (const auto& c : cases) {
    key_delay = 0;
    menu_cursor = c.from;
    c.move();
    EXPECT_EQ(menu_cursor, c.to) << "from " << c.from;
    EXPECT_EQ(key_delay, c.delay) << "from " << c.from;
    key_delay = 1;  // within the delay: nothing moves
    c.move();
    EXPECT_EQ(menu_cursor, c.to) << "from " << c.from;
  }
}

TEST_F(Menu, ToggleTakesTheKeyboardAndCloseGivesItBack) {
  menu_toggle();
  EXPECT_EQ(menu_visible, 1);
  EXPECT_EQ(ppi.input_enabled, 0u);
  EXPECT_EQ(key_delay, 20);
  menu_toggle();  // within the delay: nothing
  EXPECT_EQ(menu_visible, 1);
  osd_show(5, 180);
  menu_close();  // no delay check
  EXPECT_EQ(menu_visible, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
  EXPECT_EQ(osd_timer, 0);
  // With the menu closed it still clears a message and frees the keyboard.
  ppi.input_enabled = 0;
  osd_show(1, 40);
  menu_close();
  EXPECT_EQ(osd_timer, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
  key_delay = 0;
  menu_toggle();
  menu_toggle();  // delay 20 set by the first
  key_delay = 0;
  menu_toggle();
  EXPECT_EQ(menu_visible, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
}

}  // namespace
