// The SDL backend's one table from scancodes (USB usage numbers) to the
// DirectInput codes that the key table and the hotkeys use.
#include <gtest/gtest.h>

#include "bus/input.h"
#include "platform/sdl/sdl_internal.h"

namespace {

TEST(SdlScancodes, KeysWhosePlaceMatters) {
  struct Case {
    int usage;
    unsigned dik;
    const char* key;
  };
  const Case cases[] = {
      {0x04, 0x1E, "A"},           {0x1D, 0x2C, "Z"},         {0x1E, 0x02, "1"},
      {0x27, 0x0B, "0"},           {0x28, 0x1C, "Return"},    {0x2A, 0x0E, "Backspace"},
      {0x2F, 0x1A, "["},           {0x31, 0x2B, "backslash"}, {0x32, 0x2B, "ISO #"},
      {0x35, 0x29, "grave"},       {0x39, 0x3A, "Caps Lock"}, {0x3A, 0x3B, "F1"},
      {0x43, 0x44, "F10"},         {0x44, 0x57, "F11"},       {0x45, 0x58, "F12"},
      {0x49, 0xD2, "Insert"},      {0x4B, 0xC9, "Page Up"},   {0x4D, 0xCF, "End"},
      {0x4E, 0xD1, "Page Down"},   {0x4F, 0xCD, "Right"},     {0x50, 0xCB, "Left"},
      {0x51, 0xD0, "Down"},        {0x52, 0xC8, "Up"},        {0x58, 0x9C, "keypad Enter"},
      {0x64, 0x56, "102nd key"},   {0x65, 0xDD, "Application"},
      {0xE0, 0x1D, "left Ctrl"},   {0xE1, 0x2A, "left Shift"}, {0xE2, 0x38, "left Alt"},
      {0xE4, 0x9D, "right Ctrl"},  {0xE5, 0x36, "right Shift"}, {0xE6, 0xB8, "right Alt"},
  };
  for (const Case& c : cases) EXPECT_EQ(sdl_scancode_to_dik(c.usage), c.dik) << c.key;
  EXPECT_EQ(sdl_scancode_to_dik(0), 0u);
  EXPECT_EQ(sdl_scancode_to_dik(-1), 0u);
}

TEST(SdlScancodes, EveryMatrixKeyIsReachable) {
  bool reachable[256] = {};
  for (int usage = 0; usage < 512; ++usage) reachable[sdl_scancode_to_dik(usage)] = true;
  for (const KeyMapEntry& e : KeyMap) EXPECT_TRUE(reachable[e.dik_code]) << e.name;
  for (const JoystickKeyEntry& j : JoystickKeys) EXPECT_TRUE(reachable[j.dik_code]);
}

}  // namespace
