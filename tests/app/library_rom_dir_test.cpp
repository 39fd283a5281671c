// The ROM directory: which directory is used, the file name of every title,
// extensions in any case, short, long and unreadable files, and a missing
// image leaving the running program alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "bus/io.h"
#include "support/library_fixture.h"

namespace {

namespace fs = std::filesystem;
using library_test::image_bytes;
using library_test::RomSearchEnvironment;
using library_test::ScratchDir;
using library_test::set_env;
using library_test::write_file;

constexpr int kStarJacker = 12;  // 32 KB
constexpr int kBorderline = 2;   // 16 KB

TEST(RomNames, EveryTitleHasItsSlug) {
  const char* const kSlugs[kLibrarySize] = {
      "quav_logo",     "sega_basic_lv3", "borderline",    "congo_bongo",   "exerion",
      "monaco_gp",     "n_sub",          "orguss",        "pacar",         "pop_flamer",
      "safari_hunting", "sinbad_mistery", "star_jacker",  "bombjack",      "chackn_pop",
      "drol",          "elevator_action", "flicky",       "flipper",       "girls_garden",
      "golgo_13",      "gp_world",       "gulkave",       "hero",          "hang_on_2",
      "hustle_chummy", "ninja_princess", "pachinko_2",    "penguin_land",  "pitfall_2",
      "space_invaders", "star_force",    "super_galaga",  "zaxxon",
  };
  for (int i = 0; i < kLibrarySize; ++i) {
    EXPECT_EQ(library_slug(library_table[i]), kSlugs[i]) << "entry " << i;
  }
  EXPECT_EQ(library_file_name(kStarJacker), "star_jacker.sc");
}

class RomSearch : public ::testing::Test {
 protected:
  // Makes <base>/<name> and returns it.
  std::string make(const std::string& name) {
    const fs::path p = base_.path() / name;
    fs::create_directories(p);
    return p.string();
  }
  RomSearchEnvironment env_;
  ScratchDir base_;
};

TEST_F(RomSearch, FirstExistingDirectoryWinsInTheFixedOrder) {
  const std::string option = make("option");
  const std::string quav_roms = make("env");
  const std::string cwd = make("cwd");
  const std::string local = make("cwd/roms");
  const std::string xdg = make("xdg");
  const std::string xdg_roms = make("xdg/quav/roms");
  const std::string home_roms = make("home/.local/share/quav/roms");
  fs::current_path(cwd);
  set_env("HOME", base_.str() + "/home");

  library_set_rom_dir(option.c_str());
  set_env("QUAV_ROMS", quav_roms);
  set_env("XDG_DATA_HOME", xdg);
  EXPECT_EQ(library_rom_dir(), option);

  library_set_rom_dir((base_.str() + "/absent").c_str());  // does not exist: passed over
  EXPECT_EQ(library_rom_dir(), quav_roms);

  library_set_rom_dir(nullptr);
  EXPECT_EQ(library_rom_dir(), quav_roms);

  set_env("QUAV_ROMS", "");
  EXPECT_TRUE(fs::equivalent(library_rom_dir(), local));

  fs::remove(local);
  EXPECT_EQ(library_rom_dir(), xdg_roms);

  library_test::unset_env("XDG_DATA_HOME");
  EXPECT_EQ(library_rom_dir(), home_roms);

  fs::remove(home_roms);
  EXPECT_EQ(library_rom_dir(), "");
}

TEST_F(RomSearch, AFileIsNotADirectory) {
  write_file(base_.path() / "plain", {1, 2, 3});
  set_env("HOME", base_.str());
  fs::current_path(base_.path());  // no ./roms here
  library_set_rom_dir((base_.str() + "/plain").c_str());
  EXPECT_EQ(library_rom_dir(), "");
}

TEST_F(RomSearch, ExtensionsMatchInAnyCaseInTheirOrderOfPreference) {
  const std::string dir = make("roms");
  for (const char* name : {"Star_Jacker.SC", "star_jacker.Sg", "STAR_JACKER.bIN", "star_jacker.ROM"}) {
    ScratchDir one;
    write_file(one.path() / name, {0});
    EXPECT_EQ(library_find_image(one.str(), kStarJacker), (one.path() / name).string()) << name;
  }
  // Several candidates: .sc before .sg before .bin before .rom.
  for (const char* name : {"star_jacker.rom", "star_jacker.BIN", "star_jacker.sg"}) {
    write_file(fs::path(dir) / name, {0});
  }
  EXPECT_EQ(library_find_image(dir, kStarJacker), dir + "/star_jacker.sg");
  // Near misses are not the image.
  ScratchDir near;
  for (const char* name : {"star_jacker.scx", "star_jackersc", "xstar_jacker.sc", "star_jacker",
                           "star_jacker.sc.bak", "starjacker.sc"}) {
    write_file(near.path() / name, {0});
  }
  EXPECT_EQ(library_find_image(near.str(), kStarJacker), "");
}

// Loading through the ROM directory, from a machine already running a program.
class RomLoading : public RomSearch {
 protected:
  void SetUp() override {
    saved_settings_ = app_settings;
    saved_cursor_ = menu_cursor;
    roms_ = make("roms");
    library_set_rom_dir(roms_.c_str());
    app_boot_logo();
    MachineMemory[0x9000] = 0x42;  // the running program's RAM
    menu_cursor = 0;
  }
  void TearDown() override {
    app_settings = saved_settings_;
    menu_cursor = saved_cursor_;
  }
  std::vector<uint8_t> snapshot() const {
    return std::vector<uint8_t>(MachineMemory, MachineMemory + kMemorySize);
  }
  // Loads `index` and returns what it wrote to stderr.
  std::string load(int index) {
    testing::internal::CaptureStderr();
    app_load_game(index);
    return testing::internal::GetCapturedStderr();
  }
  std::string roms_;
  AppSettings saved_settings_;
  int32_t saved_cursor_ = 0;
};

TEST_F(RomLoading, ShortFileLeavesZerosAndIsStillMirrored) {
  const std::vector<uint8_t> bytes = image_bytes(1000, 7);
  write_file(fs::path(roms_) / "borderline.bin", bytes);
  EXPECT_EQ(load(kBorderline), "");
  EXPECT_EQ(std::memcmp(MachineMemory, bytes.data(), bytes.size()), 0);
  for (uint32_t a = 1000; a < 0x4000; ++a) ASSERT_EQ(MachineMemory[a], 0) << a;
  EXPECT_EQ(std::memcmp(MachineMemory + 0x4000, bytes.data(), bytes.size()), 0);
  EXPECT_EQ(MachineMemory[0x9000], 0);
}

TEST_F(RomLoading, LongFileIsCutWithAWarning) {
  const std::vector<uint8_t> bytes = image_bytes(kImage32K + 1, 8);
  write_file(fs::path(roms_) / "star_jacker.sc", bytes);
  const std::string err = load(kStarJacker);
  EXPECT_NE(err.find("star_jacker.sc"), std::string::npos) << err;
  EXPECT_NE(err.find("32768"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_EQ(std::memcmp(MachineMemory, bytes.data(), kImage32K), 0);
  EXPECT_EQ(MachineMemory[0x8000], 0);
  EXPECT_EQ(menu_cursor, kStarJacker);
}

TEST_F(RomLoading, MissingImageLeavesTheRunningProgramAlone) {
  const std::vector<uint8_t> before = snapshot();
  const std::string err = load(kStarJacker);
  EXPECT_NE(err.find("No image: star_jacker.sc"), std::string::npos) << err;
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(menu_cursor, 0);
}

TEST_F(RomLoading, NoDirectoryAnywhereIsAMissingImage) {
  library_set_rom_dir(nullptr);
  set_env("HOME", base_.str() + "/nowhere");
  fs::current_path(base_.path());
  fs::remove_all(roms_);
  const std::vector<uint8_t> before = snapshot();
  EXPECT_NE(load(kStarJacker).find("No image: star_jacker.sc"), std::string::npos);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(RomLoading, AnImageThatCannotBeReadIsMissing) {
  // A directory by the image's name opens but does not read, even for root.
  fs::create_directory(fs::path(roms_) / "star_jacker.sc");
  const std::vector<uint8_t> before = snapshot();
  EXPECT_NE(load(kStarJacker).find("No image"), std::string::npos);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(menu_cursor, 0);
}

TEST_F(RomLoading, UnlistableDirectoryIsMissingImages) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "running as root: permissions do not stop root reading a directory "
                    "(AnImageThatCannotBeReadIsMissing covers a failed read)";
  }
  write_file(fs::path(roms_) / "star_jacker.sc", image_bytes(kImage32K, 9));
  fs::permissions(roms_, fs::perms::none);
  const std::vector<uint8_t> before = snapshot();
  EXPECT_NE(load(kStarJacker).find("No image: star_jacker.sc"), std::string::npos);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(library_find_image(roms_, kStarJacker), "");
}

TEST_F(RomLoading, ListShowsEachEntryFoundOrMissing) {
  write_file(fs::path(roms_) / "Star_Jacker.SC", image_bytes(kImage32K, 10));
  char* text = nullptr;
  size_t length = 0;
  FILE* out = open_memstream(&text, &length);
  library_print(out);
  std::fclose(out);
  const std::string listing(text, length);
  std::free(text);

  EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 1 + kLibrarySize);
  EXPECT_NE(listing.find(roms_), std::string::npos) << "names the directory in use";
  EXPECT_NE(listing.find("  0     QUAV Logo!   "), std::string::npos);
  const size_t star = listing.find(" 12    Star Jacker   ");
  ASSERT_NE(star, std::string::npos);
  const std::string star_line = listing.substr(star, listing.find('\n', star) - star);
  EXPECT_NE(star_line.find("star_jacker.sc"), std::string::npos) << star_line;
  EXPECT_NE(star_line.find("found"), std::string::npos) << star_line;
  EXPECT_NE(star_line.find("Star_Jacker.SC"), std::string::npos) << star_line;
  const size_t hero = listing.find(" 23      H.E.R.O.    ");
  ASSERT_NE(hero, std::string::npos);
  const std::string hero_line = listing.substr(hero, listing.find('\n', hero) - hero);
  EXPECT_NE(hero_line.find("hero.sc"), std::string::npos) << hero_line;
  EXPECT_NE(hero_line.find("missing"), std::string::npos) << hero_line;
  int found = 0, missing = 0;
  for (size_t at = 0; (at = listing.find("found", at)) != std::string::npos; ++at) ++found;
  for (size_t at = 0; (at = listing.find("missing", at)) != std::string::npos; ++at) ++missing;
  EXPECT_EQ(found, 1);
  EXPECT_EQ(missing, kLibrarySize - 2);
}

}  // namespace
