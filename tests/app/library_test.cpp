// The library table, "gamelist.txt", loading entries (mirror, clearing,
// the 40 KB tail), the hard reset and the "/file" image.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "bus/io.h"
#include "support/library_fixture.h"

namespace {

using library_test::image_bytes;
using library_test::read_file;
using library_test::RomSearchEnvironment;
using library_test::ScratchDir;
using library_test::write_file;

struct ExpectedEntry {
  const char* title;
  uint32_t size;
};
const ExpectedEntry kExpected[kLibrarySize] = {
    {"   QUAV Logo!   ", 16384}, {" SEGA Basic Lv3 ", 32768}, {"   Borderline   ", 16384},
    {"  Congo Bongo   ", 32768}, {"    Exerion     ", 16384}, {"   Monaco GP    ", 40960},
    {"     N-Sub      ", 16384}, {"     Orguss     ", 32768}, {"     Pacar      ", 16384},
    {"   Pop Flamer   ", 16384}, {" Safari Hunting ", 16384}, {" Sinbad Mistery ", 32768},
    {"  Star Jacker   ", 32768}, {"    Bombjack    ", 32768}, {"  Chack'n Pop   ", 32768},
    {"      Drol      ", 32768}, {"Elevator Action ", 32768}, {"     Flicky     ", 32768},
    {"    Flipper     ", 16384}, {" Girl's Garden  ", 32768}, {"    Golgo 13    ", 32768},
    {"    GP World    ", 32768}, {"    Gulkave     ", 32768}, {"    H.E.R.O.    ", 32768},
    {"    Hang On 2   ", 32768}, {" Hustle Chummy  ", 16384}, {" Ninja Princess ", 32768},
    {"   Pachinko 2   ", 32768}, {"  Penguin Land  ", 32768}, {"    Pitfall 2   ", 32768},
    {" Space Invaders ", 16384}, {"   Star Force   ", 32768}, {"  Super Galaga  ", 16384},
    {"     Zaxxon     ", 32768},
};

constexpr int kBorderline = 2;   // 16 KB
constexpr int kMonacoGp = 5;     // 40 KB
constexpr int kStarJacker = 12;  // 32 KB

TEST(LibraryTable, ThirtyFourRowsWithTitlesSizesAndZeroReserved) {
  for (int i = 0; i < kLibrarySize; ++i) {
    const GameEntry& e = library_table[i];
    EXPECT_EQ(std::string(e.title, kTitleLength), kExpected[i].title) << "entry " << i;
    EXPECT_EQ(e.size, kExpected[i].size) << "entry " << i;
    EXPECT_EQ(e.reserved, 0u) << "entry " << i;
    // The title read as a string ends at the reserved field.
    EXPECT_EQ(std::strlen(e.title), static_cast<size_t>(kTitleLength)) << "entry " << i;
    EXPECT_EQ(e.image == nullptr, i != 0) << "only the logo is built in; entry " << i;
  }
  EXPECT_EQ(library_table[0].image, kLogoImage);
  EXPECT_EQ(kLogoImage_size, kImage16K);
}

TEST(LibraryTable, GameListHasOneLinePerEntryInTableOrder) {
  RomSearchEnvironment env;
  ScratchDir dir;
  std::filesystem::current_path(dir.path());
  app_write_game_list();
  const std::vector<uint8_t> bytes = read_file(dir.path() / "gamelist.txt");
  std::string want;
  for (int i = 0; i < kLibrarySize; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "%3d  %s\n", i, kExpected[i].title);
    want += line;
  }
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), want);
  EXPECT_EQ(want.substr(0, 22), "  0     QUAV Logo!   \n");
}

TEST(LibraryTable, GameListIntoAnUnwritableDirectoryDoesNothing) {
  RomSearchEnvironment env;
  ScratchDir dir;
  std::filesystem::create_directory(dir.path() / "gamelist.txt");  // a name fopen cannot write
  std::filesystem::current_path(dir.path());
  app_write_game_list();
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "gamelist.txt"));
}

// Loads entries from a scratch ROM directory and keeps the shell's state.
class Loading : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_settings_ = app_settings;
    saved_cursor_ = menu_cursor;
    library_set_rom_dir(roms_.str().c_str());
  }
  void TearDown() override {
    app_settings = saved_settings_;
    menu_cursor = saved_cursor_;
  }
  std::vector<uint8_t> put(int index, uint32_t size, uint32_t seed) {
    std::vector<uint8_t> bytes = image_bytes(size, seed);
    write_file(roms_.path() / library_file_name(index), bytes);
    return bytes;
  }
  static bool memory_is(uint32_t from, const std::vector<uint8_t>& bytes, uint32_t offset,
                        uint32_t length) {
    return std::memcmp(MachineMemory + from, bytes.data() + offset, length) == 0;
  }
  static bool memory_zero(uint32_t from, uint32_t to) {
    for (uint32_t a = from; a < to; ++a) {
      if (MachineMemory[a] != 0) return false;
    }
    return true;
  }

  RomSearchEnvironment env_;
  ScratchDir roms_;
  AppSettings saved_settings_;
  int32_t saved_cursor_ = 0;
};

TEST_F(Loading, BootPutsTheLogoAloneIntoClearedMemory) {
  std::memset(MachineMemory, 0x5A, kMemorySize);
  app_boot_logo();
  EXPECT_EQ(std::memcmp(MachineMemory, kLogoImage, kImage16K), 0);
  EXPECT_TRUE(memory_zero(0x4000, kMemorySize)) << "no mirror, RAM cleared";
}

TEST_F(Loading, SixteenKilobytesAppearTwiceInTheCartridgeArea) {
  const std::vector<uint8_t> image = put(kBorderline, kImage16K, 1);
  std::memset(MachineMemory, 0x5A, kMemorySize);
  app_load_game(kBorderline);
  EXPECT_EQ(menu_cursor, kBorderline);
  for (uint32_t n = 0; n < kImage16K; ++n) {
    ASSERT_EQ(MachineMemory[n], image[n]) << "address " << n;
    ASSERT_EQ(MachineMemory[0x4000 + n], image[n]) << "address 0x4000 + " << n;
  }
  EXPECT_TRUE(memory_zero(0x8000, kMemorySize));
}

TEST_F(Loading, ThirtyTwoKilobytesAfterSixteenLeaveNothingOfTheMirror) {
  put(kBorderline, kImage16K, 1);
  const std::vector<uint8_t> image = put(kStarJacker, kImage32K, 2);
  app_load_game(kBorderline);
  MachineMemory[0xC000] = 0x77;  // something the first program left in RAM
  app_load_game(kStarJacker);
  EXPECT_EQ(menu_cursor, kStarJacker);
  EXPECT_TRUE(memory_is(0x0000, image, 0, kImage32K));
  EXPECT_TRUE(memory_zero(0x8000, kMemorySize));
}

TEST_F(Loading, FortyKilobytesRunIntoRam) {
  const std::vector<uint8_t> image = put(kMonacoGp, kImage40K, 3);
  app_load_game(kMonacoGp);
  EXPECT_TRUE(memory_is(0x0000, image, 0, kImage40K));
  EXPECT_TRUE(memory_zero(0xA000, kMemorySize));
}

TEST_F(Loading, TheLogoFromTheMenuIsMirrored) {
  app_load_game(0);
  EXPECT_EQ(menu_cursor, 0);
  EXPECT_EQ(std::memcmp(MachineMemory, kLogoImage, kImage16K), 0);
  EXPECT_EQ(std::memcmp(MachineMemory + 0x4000, kLogoImage, kImage16K), 0);
}

TEST_F(Loading, HardResetKeepsImageAndRam) {
  const std::vector<uint8_t> image = put(kBorderline, kImage16K, 4);
  app_load_game(kBorderline);
  MachineMemory[0x8000] = 0x11;
  MachineMemory[0xFFFF] = 0x22;
  std::vector<uint8_t> before(MachineMemory, MachineMemory + kMemorySize);
  app_hard_reset();
  EXPECT_EQ(std::vector<uint8_t>(MachineMemory, MachineMemory + kMemorySize), before);
  EXPECT_EQ(menu_cursor, kBorderline);
}

class FileImage : public Loading {
 protected:
  void SetUp() override {
    Loading::SetUp();
    app_boot_logo();
    app_settings.logo_phase = 1;
  }
  std::string file(uint32_t size, uint32_t seed) {
    const std::string path = (roms_.path() / "image.bin").string();
    write_file(path, image_bytes(size, seed));
    return path;
  }
};

TEST_F(FileImage, ShortFileReplacesOnlyItsOwnBytes) {
  const std::vector<uint8_t> bytes = image_bytes(3000, 5);
  EXPECT_EQ(app_load_file(file(3000, 5).c_str()), 1);
  EXPECT_TRUE(memory_is(0, bytes, 0, 3000));
  EXPECT_EQ(std::memcmp(MachineMemory + 3000, kLogoImage + 3000, kImage16K - 3000), 0);
  EXPECT_TRUE(memory_zero(0x4000, kMemorySize));
  EXPECT_EQ(app_settings.logo_phase, 0);
}

TEST_F(FileImage, EmptyFileStillEndsTheLogoPhase) {
  EXPECT_EQ(app_load_file(file(0, 0).c_str()), 1);
  EXPECT_EQ(app_settings.logo_phase, 0);
  EXPECT_EQ(std::memcmp(MachineMemory, kLogoImage, kImage16K), 0);
}

TEST_F(FileImage, LongFileIsCutAtThirtyTwoKilobytes) {
  const std::vector<uint8_t> bytes = image_bytes(kImage40K, 6);
  EXPECT_EQ(app_load_file(file(kImage40K, 6).c_str()), 1);
  EXPECT_TRUE(memory_is(0, bytes, 0, kFileImageLimit));
  EXPECT_TRUE(memory_zero(0x8000, kMemorySize));
}

TEST_F(FileImage, MissingFileChangesNothing) {
  EXPECT_EQ(app_load_file((roms_.path() / "no-such.sc").c_str()), 0);
  EXPECT_EQ(app_settings.logo_phase, 1);
  EXPECT_EQ(std::memcmp(MachineMemory, kLogoImage, kImage16K), 0);
}

}  // namespace
