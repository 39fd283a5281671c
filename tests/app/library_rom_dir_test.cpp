// The ROM directory: the order it is looked for in, file names with any
// extension case, and images that are missing or cannot be read leaving the
// running program alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "app/osd.h"
#include "bus/io.h"
#include "support/library_fixture.h"

namespace {

namespace fs = std::filesystem;
using library_test::write_file;

constexpr int kStarJacker = 12;

class RomSearch : public library_test::Fixture {};

// --roms, $QUAV_ROMS, ./roms, $XDG_DATA_HOME/quav/roms, ~/.local/share/quav/roms:
// the first that is an existing directory.
TEST_F(RomSearch, FirstExistingDirectoryWinsInTheFixedOrder) {
  auto make = [this](const char* name) {
    fs::create_directories(dir_ / name);
    return (dir_ / name).string();
  };
  const std::string option = make("option"), quav_roms = make("env"), xdg = make("xdg");
  const std::string xdg_roms = make("xdg/quav/roms"), home = make("home/.local/share/quav/roms");
  write_file(dir_ / "plain", {1, 2, 3});
  setenv("QUAV_ROMS", quav_roms.c_str(), 1);
  setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  library_set_rom_dir(option.c_str());
  EXPECT_EQ(library_rom_dir(), option);
  library_set_rom_dir((dir_ / "absent").c_str());
  EXPECT_EQ(library_rom_dir(), quav_roms);
  library_set_rom_dir((dir_ / "plain").c_str());  // a file is not a directory
  EXPECT_EQ(library_rom_dir(), quav_roms);
  setenv("QUAV_ROMS", "", 1);
  EXPECT_TRUE(fs::equivalent(library_rom_dir(), roms_));  // ./roms
  fs::remove(roms_);
  EXPECT_EQ(library_rom_dir(), xdg_roms);
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(library_rom_dir(), home);
  fs::remove(home);
  EXPECT_EQ(library_rom_dir(), "");
}

// Each extension in odd case is found, and wins over those added before it
// (.sc before .sg before .bin before .rom); near misses are not the image.
TEST_F(RomSearch, ExtensionsMatchInAnyCaseInTheirOrderOfPreference) {
  for (const char* name : {"star_jacker.ROM", "STAR_JACKER.bIN", "star_jacker.Sg", "Star_Jacker.SC"}) {
    write_file(roms_ / name, {0});
    EXPECT_EQ(library_find_image(roms_.string(), kStarJacker), (roms_ / name).string()) << name;
  }
  fs::create_directory(dir_ / "near");
  for (const char* name : {"star_jacker.scx", "star_jackersc", "xstar_jacker.sc", "star_jacker",
                           "star_jacker.sc.bak", "starjacker.sc"}) {
    write_file(dir_ / "near" / name, {0});
  }
  EXPECT_EQ(library_find_image((dir_ / "near").string(), kStarJacker), "");
}

// No file, no directory anywhere, a directory by the image's name (opens but
// cannot be read, even by root) and a directory that cannot be listed.
TEST_F(RomSearch, MissingOrUnreadableImagesLeaveTheRunningProgramAlone) {
  for (const char* what : {"no file", "no directory", "unreadable file", "unlistable directory"}) {
    const std::string c = what;
    if (c == "unlistable directory" && geteuid() == 0) {
      std::printf("root reads any directory: the unlistable case is not checked\n");
      continue;
    }
    fs::create_directory(roms_);
    if (c == "no directory") fs::remove(roms_);
    if (c == "unreadable file") fs::create_directory(roms_ / "star_jacker.sc");
    if (c == "unlistable directory") {
      put("star_jacker.sc", kImage32K, 9);
      fs::permissions(roms_, fs::perms::none);
    }
    app_boot_logo();
    MachineMemory[0x9000] = 0x42;  // the running program's RAM
    menu_cursor = 0;
    osd_lines[0][0] = '\0';
    osd_line_count = 0;
    osd_timer = 0;
    const std::vector<uint8_t> before(MachineMemory, MachineMemory + kMemorySize);
    testing::internal::CaptureStderr();
    app_load_game(kStarJacker);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("No image"), std::string::npos) << what << ": " << err;
    EXPECT_EQ(std::vector<uint8_t>(MachineMemory, MachineMemory + kMemorySize), before) << what;
    EXPECT_EQ(menu_cursor, 0) << what;
    EXPECT_STREQ(osd_lines[0], "No image: star_jacker.sc") << what;
    EXPECT_EQ(osd_line_count, 1) << what;
    EXPECT_EQ(osd_timer, 160) << what;
    std::error_code ec;
    fs::permissions(roms_, fs::perms::owner_all, ec);
    fs::remove_all(roms_);
  }
}

}  // namespace
