// The library table with its slugs and "gamelist.txt", loading entries (the
// 16 KB mirror, 32 KB after 16 KB, the 40 KB image, short and long files)
// and the "/file" image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "bus/io.h"
#include "support/library_fixture.h"

namespace {

struct ExpectedEntry {
  const char* title;
  uint32_t size;
  const char* slug;
};
const ExpectedEntry kExpected[kLibrarySize] = {
    {"   QUAV Logo!   ", 16384, "quav_logo"},       {" SEGA Basic Lv3 ", 32768, "sega_basic_lv3"},
    {"   Borderline   ", 16384, "borderline"},      {"  Congo Bongo   ", 32768, "congo_bongo"},
    {"    Exerion     ", 16384, "exerion"},         {"   Monaco GP    ", 40960, "monaco_gp"},
    {"     N-Sub      ", 16384, "n_sub"},           {"     Orguss     ", 32768, "orguss"},
    {"     Pacar      ", 16384, "pacar"},           {"   Pop Flamer   ", 16384, "pop_flamer"},
    {" Safari Hunting ", 16384, "safari_hunting"},  {" Sinbad Mistery ", 32768, "sinbad_mistery"},
    {"  Star Jacker   ", 32768, "star_jacker"},     {"    Bombjack    ", 32768, "bombjack"},
    {"  Chack'n Pop   ", 32768, "chackn_pop"},      {"      Drol      ", 32768, "drol"},
    {"Elevator Action ", 32768, "elevator_action"}, {"     Flicky     ", 32768, "flicky"},
    {"    Flipper     ", 16384, "flipper"},         {" Girl's Garden  ", 32768, "girls_garden"},
    {"    Golgo 13    ", 32768, "golgo_13"},        {"    GP World    ", 32768, "gp_world"},
    {"    Gulkave     ", 32768, "gulkave"},         {"    H.E.R.O.    ", 32768, "hero"},
    {"    Hang On 2   ", 32768, "hang_on_2"},       {" Hustle Chummy  ", 16384, "hustle_chummy"},
    {" Ninja Princess ", 32768, "ninja_princess"},  {"   Pachinko 2   ", 32768, "pachinko_2"},
    {"  Penguin Land  ", 32768, "penguin_land"},    {"    Pitfall 2   ", 32768, "pitfall_2"},
    {" Space Invaders ", 16384, "space_invaders"},  {"   Star Force   ", 32768, "star_force"},
    {"  Super Galaga  ", 16384, "super_galaga"},    {"     Zaxxon     ", 32768, "zaxxon"},
};

class Library : public library_test::Fixture {};

TEST_F(Library, TableSlugsAndGameList) {
  std::string want;
  for (int i = 0; i < kLibrarySize; ++i) {
    const GameEntry& e = library_table[i];
    EXPECT_EQ(std::string(e.title, kTitleLength), kExpected[i].title) << "entry " << i;
    EXPECT_EQ(std::strlen(e.title), size_t{kTitleLength}) << "reserved ends the title; " << i;
    EXPECT_EQ(e.reserved, 0u) << "entry " << i;
    EXPECT_EQ(e.size, kExpected[i].size) << "entry " << i;
    EXPECT_EQ(e.image == nullptr, i != 0) << "only the logo is built in; entry " << i;
    EXPECT_EQ(library_slug(e), kExpected[i].slug) << "entry " << i;
    char line[32];
    std::snprintf(line, sizeof line, "%3d  %s\n", i, kExpected[i].title);
    want += line;
  }
  EXPECT_EQ(library_table[0].image, kLogoImage);
  EXPECT_EQ(kLogoImage_size, kImage16K);
  app_write_game_list();  // into the scratch working directory
  std::ifstream in("gamelist.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), want);
}

const std::vector<uint8_t> kLogo(kLogoImage, kLogoImage + kImage16K);

// All 64 KB as a load leaves them: `image` cut or padded with zeros to
// `size`, again at 0x4000 when mirrored, zeros after.
std::vector<uint8_t> loaded(const std::vector<uint8_t>& image, uint32_t size, bool mirror) {
  std::vector<uint8_t> memory(kMemorySize, 0);
  std::copy_n(image.begin(), std::min<size_t>(image.size(), size), memory.begin());
  if (mirror) std::copy_n(memory.begin(), kImage16K, memory.begin() + 0x4000);
  return memory;
}

void expect_memory(const std::vector<uint8_t>& want, const std::string& what) {
  const auto at = std::mismatch(want.begin(), want.end(), MachineMemory).first - want.begin();
  EXPECT_EQ(static_cast<size_t>(at), want.size()) << what << ": differs at 0x" << std::hex << at;
}

// Boot, then loads one after another, each over what the last left behind.
TEST_F(Library, LoadsClearMemoryAndPlaceTheImage) {
  std::memset(MachineMemory, 0x5A, kMemorySize);
  app_boot_logo();
  expect_memory(loaded(kLogo, kImage16K, false), "boot (no mirror)");
  struct Load {
    int index;
    const char* file;  // in the ROM directory; null for the built-in logo
    uint32_t bytes;
  };
  const Load kLoads[] = {
      {2, "borderline.sc", kImage16K},          {12, "STAR_JACKER.Sc", kImage32K},
      {5, "monaco_gp.rom", kImage40K},          {2, "borderline.bin", 1000},
      {12, "star_jacker.sc", kImage32K + 1},    {0, nullptr, 0},
  };
  for (const Load& l : kLoads) {
    const std::string row = l.file != nullptr ? l.file : "the logo";
    const uint32_t size = library_table[l.index].size;
    const std::vector<uint8_t> image = l.file != nullptr ? put(l.file, l.bytes, l.bytes) : kLogo;
    MachineMemory[0xC000] = 0x77;  // the running program's RAM
    testing::internal::CaptureStderr();
    app_load_game(l.index);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(menu_cursor, l.index) << row;
    expect_memory(loaded(image, size, size == kImage16K), row);
    if (l.bytes > size) {
      EXPECT_NE(err.find(l.file), std::string::npos) << err;
      EXPECT_NE(err.find("32768"), std::string::npos) << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    } else {
      EXPECT_EQ(err, "") << row;
    }
    if (l.file != nullptr) std::filesystem::remove(roms_ / l.file);
  }
}

// "/file" over the booted logo replaces as many bytes as it holds, at most
// 32 KB, and ends the logo phase even when empty; a missing file does nothing.
TEST_F(Library, FileImageOverwritesTheBootedLogo) {
  struct File {
    uint32_t bytes;
    bool exists;
  };
  for (const File f : {File{3000, true}, File{0, true}, File{kImage40K, true}, File{0, false}}) {
    app_boot_logo();
    app_settings.logo_phase = 1;
    const std::string what = f.exists ? std::to_string(f.bytes) + " bytes" : "no file";
    std::vector<uint8_t> want = loaded(kLogo, kImage16K, false);
    if (f.exists) {
      const std::vector<uint8_t> file = put("image.bin", f.bytes, f.bytes);
      std::copy_n(file.begin(), std::min(f.bytes, kFileImageLimit), want.begin());
    }
    EXPECT_EQ(app_load_file((roms_ / "image.bin").c_str()), f.exists ? 1 : 0) << what;
    EXPECT_EQ(app_settings.logo_phase, f.exists ? 0 : 1) << what;
    expect_memory(want, what);
    std::filesystem::remove(roms_ / "image.bin");
  }
}

}  // namespace
