// The library's messages in the on-screen message block: a hard reset and a
// missing image.
#include <gtest/gtest.h>

#include <string>

#include "app/library.h"
#include "app/osd.h"
#include "support/library_fixture.h"

namespace {

using library_test::RomSearchEnvironment;
using library_test::ScratchDir;

class LibraryMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    osd_timer = 0;
    osd_line_count = 0;
  }
  void TearDown() override { osd_timer = 0; }
};

TEST_F(LibraryMessages, HardResetShowsOneLineForFortyFrames) {
  app_hard_reset();
  EXPECT_EQ(std::string(osd_lines[0]), "Hard Reset");
  EXPECT_EQ(osd_line_count, 1);
  EXPECT_EQ(osd_timer, 40);
}

TEST_F(LibraryMessages, MissingImageNamesTheFileForOneHundredSixtyFrames) {
  RomSearchEnvironment env;
  ScratchDir empty;
  library_set_rom_dir(empty.str().c_str());
  testing::internal::CaptureStderr();
  app_load_game(23);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::string(osd_lines[0]), "No image: hero.sc");
  EXPECT_EQ(osd_line_count, 1);
  EXPECT_EQ(osd_timer, 160);
}

}  // namespace
