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
  // Runs `move` once from `from` with the delay clear; returns the cursor.
  static int after(void (*move)(), int from) {
    key_delay = 0;
    menu_cursor = from;
    move();
    return menu_cursor;
  }
};

TEST_F(Menu, CursorMovesAndStopsAtTheEnds) {
  EXPECT_EQ(after(menu_down, 0), 1);
  EXPECT_EQ(key_delay, 6);
  EXPECT_EQ(after(menu_up, 7), 6);
  EXPECT_EQ(after(menu_up, 0), 0);
  EXPECT_EQ(key_delay, 6);  // set even when the cursor cannot move
  EXPECT_EQ(after(menu_down, 33), 33);
  EXPECT_EQ(key_delay, 6);
}

TEST_F(Menu, PageKeys) {
  EXPECT_EQ(after(menu_page_down, 30), 33);
  EXPECT_EQ(key_delay, 16);
  EXPECT_EQ(after(menu_page_down, 23), 33);
  EXPECT_EQ(after(menu_page_down, 12), 22);
  EXPECT_EQ(after(menu_page_up, 5), 0);
  EXPECT_EQ(key_delay, 16);
  EXPECT_EQ(after(menu_page_up, 10), 0);
  EXPECT_EQ(after(menu_page_up, 33), 23);
}

TEST_F(Menu, MovesWaitForTheKeyDelay) {
  menu_cursor = 10;
  key_delay = 1;
  menu_up();
  menu_down();
  menu_page_up();
  menu_page_down();
  EXPECT_EQ(menu_cursor, 10);
  EXPECT_EQ(key_delay, 1);
}

TEST_F(Menu, ToggleTakesTheKeyboardFromTheMachine) {
  menu_toggle();
  EXPECT_EQ(menu_visible, 1);
  EXPECT_EQ(ppi.input_enabled, 0u);
  EXPECT_EQ(key_delay, 20);
  menu_toggle();  // within the delay: nothing
  EXPECT_EQ(menu_visible, 1);
  key_delay = 0;
  menu_toggle();
  EXPECT_EQ(menu_visible, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
}

TEST_F(Menu, CloseIgnoresTheDelayAndClearsMessages) {
  menu_toggle();
  osd_show(5, 180);
  ASSERT_EQ(key_delay, 20);
  menu_close();
  EXPECT_EQ(menu_visible, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
  EXPECT_EQ(osd_timer, 0);
  // With the menu closed it still clears a message and frees the keyboard.
  ppi.input_enabled = 0;
  osd_show(1, 40);
  menu_close();
  EXPECT_EQ(osd_timer, 0);
  EXPECT_EQ(ppi.input_enabled, 1u);
}

}  // namespace
