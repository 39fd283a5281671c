// The library table and "gamelist.txt", loading entries and the "/file" image,
// the ROM directory, and loading and F3 on the real machine.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "app/osd.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStarJacker = 12;

void write_file(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// A scratch working directory holding HOME and roms/ (named by --roms), QUAV_ROMS and
// XDG_DATA_HOME unset; environment, directory, settings, cursor and timer put back after.
class Library : public ::testing::Test {
 protected:
  Library() {
    for (int i = 0; i < 3; ++i) {
      if (const char* v = std::getenv(kEnv[i])) saved_env_[i] = v;
      unsetenv(kEnv[i]);
    }
    fs::remove_all(dir_);
    fs::create_directories(roms_);
    fs::current_path(dir_);
    setenv("HOME", (dir_ / "home").c_str(), 1);
    library_set_rom_dir(roms_.c_str());
  }
  ~Library() override {
    for (int i = 0; i < 3; ++i) {
      saved_env_[i] ? setenv(kEnv[i], saved_env_[i]->c_str(), 1) : unsetenv(kEnv[i]);
    }
    library_set_rom_dir(nullptr);
    app_settings = settings_;
    menu_cursor = cursor_;
    osd_timer = 0;
    std::error_code ec;
    fs::current_path(cwd_, ec);
    fs::permissions(roms_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  // Writes `size` bytes, differing between nearby positions and seeds, to roms/<name>.
  std::vector<uint8_t> put(const std::string& name, uint32_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint32_t i = 0; i < size; ++i) bytes[i] = (i * 131 + (i >> 8) * 7 + seed * 29 + 1) & 0xFF;
    write_file(roms_ / name, bytes);
    return bytes;
  }
  static std::vector<uint8_t> memory() { return {MachineMemory, MachineMemory + kMemorySize}; }

  const fs::path dir_ = fs::temp_directory_path() / ("quav-library-" + std::to_string(getpid()));
  const fs::path roms_ = dir_ / "roms";

 private:
  static constexpr const char* kEnv[3] = {"QUAV_ROMS", "XDG_DATA_HOME", "HOME"};
  std::optional<std::string> saved_env_[3];
  const fs::path cwd_ = fs::current_path();
  const AppSettings settings_ = app_settings;
  const int32_t cursor_ = menu_cursor;
};

// The slugs (the file names looked for) of the titles with a capital, a
// digit, an apostrophe, dots or a hyphen; the game list gives each entry's
// number and title. Only the logo is built in; reserved ends each title.
TEST_F(Library, SlugsAndGameList) {
  const std::pair<int, const char*> slugs[] = {{0, "quav_logo"}, {1, "sega_basic_lv3"}, {6, "n_sub"},
                                               {14, "chackn_pop"}, {23, "hero"}, {33, "zaxxon"}};
  for (const auto& [i, slug] : slugs) EXPECT_EQ(library_slug(library_table[i]), slug) << i;
  std::string want;
  for (int i = 0; i < kLibrarySize; ++i) {
    const GameEntry& e = library_table[i];
    EXPECT_EQ(std::pair(e.reserved, !!e.image), std::pair(0u, i == 0)) << i;
    want += std::string(i < 10 ? 2 : 1, ' ') + std::to_string(i) + "  " + std::string(e.title, kTitleLength) + "\n";
  }
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

// Boot, then loads one after another, each over what the last left behind. Index -1 is
// "/file": it overwrites as many bytes as it holds, at most 32 KB, and ends the logo
// phase even when empty; a missing one (bytes -1) does nothing.
TEST_F(Library, LoadsClearMemoryAndPlaceTheImage) {
  std::memset(MachineMemory, 0x5A, kMemorySize);
  app_boot_logo();
  EXPECT_TRUE(memory() == loaded(kLogo, kImage16K, false)) << "boot (no mirror)";
  struct Load { int index; const char* file; int64_t bytes; };  // file null: the built-in logo
  const Load kLoads[] = {
      {-1, "image.bin", 3000},               {-1, "image.bin", 0},
      {-1, "image.bin", -1},                 {2, "borderline.sc", kImage16K},
      {12, "STAR_JACKER.Sc", kImage32K},     {5, "monaco_gp.rom", kImage40K},
      {2, "borderline.bin", 1000},           {12, "star_jacker.sc", kImage32K + 1},
      {0, nullptr, 0},                       {-1, "image.bin", kImage40K},
  };
  for (const Load& l : kLoads) {
    const std::string row = l.file != nullptr ? l.file + (" " + std::to_string(l.bytes)) : "logo";
    const std::vector<uint8_t> image =
        l.file == nullptr ? kLogo : l.bytes >= 0 ? put(l.file, l.bytes, l.bytes) : memory();
    if (l.index < 0) {
      std::vector<uint8_t> want = memory();
      std::copy_n(image.begin(), std::min<size_t>(image.size(), kFileImageLimit), want.begin());
      app_settings.logo_phase = 1;
      EXPECT_EQ(app_load_file((roms_ / l.file).c_str()) * 10 + app_settings.logo_phase,
                l.bytes >= 0 ? 10 : 1) << row << ": loaded, logo phase";
      EXPECT_TRUE(memory() == want) << row;
      fs::remove(roms_ / l.file);
      continue;
    }
    const uint32_t size = library_table[l.index].size;
    MachineMemory[0xC000] = 0x77;  // the running program's RAM
    testing::internal::CaptureStderr();
    app_load_game(l.index);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(menu_cursor, l.index) << row;
    EXPECT_TRUE(memory() == loaded(image, size, size == kImage16K)) << row;
    // Only a long file says something: one line naming it and where it is cut.
    const bool names_it =
        l.bytes <= size || (err.find(l.file) != err.npos && err.find("32768") != err.npos);
    EXPECT_TRUE(std::count(err.begin(), err.end(), '\n') == (l.bytes > size) && names_it)
        << row << ": " << err;
    if (l.file != nullptr) fs::remove(roms_ / l.file);
  }
}

// A bare image meets the 8255 as it powers on (row 7, port C 0xFF), whatever its map, and so
// does F3 on it; "/file" and the library keep the machine's own PPI, and its row, as before.
TEST_F(Library, EachWayOfLoadingHasItsPpi) {
  const PpiState saved = ppi;
  auto kind = [] { return ppi.power_on_8255 << 12 | ppi.port_c_latch << 4 | ppi.selected_row; };
  ppi_write_port_c(0x02);
  put("small.sg", 20000, 1);
  put("rom48.sg", 0xC000, 2);
  put("sega.sg", 0x20000, 3);
  app_load_file((roms_ / "small.sg").c_str());
  EXPECT_EQ(kind(), 0x0022u) << "/file";
  for (const char* image : {"small.sg", "rom48.sg", "sega.sg"}) {
    ppi_write_port_c(0x02);
    ASSERT_EQ(app_load_image((roms_ / image).c_str(), MapperChoice::Auto), 1) << image;
    EXPECT_EQ(kind(), 0x1FF7u) << image;
    ppi_write_control(0x80);
    EXPECT_EQ(kind(), 0x1000u) << image << ": a mode set";
    app_hard_reset();
    EXPECT_EQ(kind(), 0x1FF7u) << image << ": F3";
  }
  ppi_write_port_c(0x03);
  app_load_game(0);
  app_hard_reset();
  EXPECT_EQ(kind(), 0x0033u) << "the logo";
  ppi = saved;
}

// --roms, $QUAV_ROMS, ./roms, $XDG_DATA_HOME/quav/roms, ~/.local/share/quav/roms:
// the first that is an existing directory; then the image's name in it.
TEST_F(Library, RomDirectoryOrderAndImageNames) {
  const std::string option = dir_ / "option", quav_roms = dir_ / "env", xdg = dir_ / "xdg";
  const std::string xdg_roms = xdg + "/quav/roms", home = dir_ / "home/.local/share/quav/roms";
  for (const std::string& d : {option, quav_roms, xdg_roms, home}) fs::create_directories(d);
  write_file(dir_ / "plain", {1, 2, 3});
  setenv("QUAV_ROMS", quav_roms.c_str(), 1);
  setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  library_set_rom_dir(option.c_str());
  EXPECT_EQ(library_rom_dir(), option);
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

  // Near misses are not the image; each extension in odd case is found and wins over those
  // added before it (.sc before .sg before .bin before .rom).
  fs::create_directory(roms_);
  for (const char* name : {"star_jacker.scx", "star_jackersc", "xstar_jacker.sc", "star_jacker",
                           "star_jacker.sc.bak", "starjacker.sc"}) {
    write_file(roms_ / name, {0});
  }
  EXPECT_EQ(library_find_image(roms_.string(), kStarJacker), "") << "near misses only";
  for (const char* name :
       {"star_jacker.ROM", "STAR_JACKER.bIN", "star_jacker.Sg", "Star_Jacker.SC"}) {
    write_file(roms_ / name, {0});
    EXPECT_EQ(library_find_image(roms_.string(), kStarJacker), (roms_ / name).string()) << name;
  }
}

// Over the running logo, an image missing or unreadable (also a directory by its name or an
// unlistable ROM directory) changes only the message; then a program runs, F3 restarts it
// keeping image and RAM, and a 40 KB image's tail is RAM.
TEST_F(Library, OnTheMachine) {
  auto frames = [](int n) { while (n-- > 0) bus_machine::run_frame(); };
  auto osd = [] {  // the message, its line count and its frames
    return osd_lines[0] + (" x" + std::to_string(osd_line_count)) + " for " +
           std::to_string(osd_timer);
  };
  bus_machine::setup(io_read_port, io_write_port);
  app_boot_logo();
  frames(6);
  menu_cursor = 0;
  const CpuState logo = cpu;
  const uint8_t picture = vdp_peek_vram(0x0800 + 8 * 10);
  for (const std::string what : {"no file", "no directory", "unreadable", "unlistable"}) {
    if (what == "unlistable" && geteuid() == 0) continue;  // root lists any directory
    if (what == "no directory") fs::remove(roms_);
    if (what == "unreadable") fs::create_directory(roms_ / "star_jacker.sc");
    if (what == "unlistable") {
      put("star_jacker.sc", kImage32K, 9);
      fs::permissions(roms_, fs::perms::none);
    }
    const std::vector<uint8_t> before = memory();
    osd_line_count = osd_timer = 0;
    testing::internal::CaptureStderr();
    app_load_game(kStarJacker);
    const bool said = testing::internal::GetCapturedStderr().find("No image") != std::string::npos;
    EXPECT_TRUE(said && memory() == before) << what << ": a diagnostic, memory untouched";
    EXPECT_EQ(osd(), "No image: star_jacker.sc x1 for 160") << what;
    std::error_code ec;
    fs::permissions(roms_, fs::perms::owner_all, ec);
    fs::remove_all(roms_);
    fs::create_directory(roms_);
  }
  EXPECT_TRUE(cpu.pc == logo.pc && cpu.sp == logo.sp && cpu.af == logo.af && picture != 0 &&
              vdp_peek_vram(0x0800 + 8 * 10) == picture && menu_cursor == 0) << "nothing reset";

  write_file(roms_ / "Star_Jacker.Sc", bus_machine::test_rom("star_jacker"));
  app_load_game(kStarJacker);
  frames(2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(MachineMemory) + 0xC000, 16) +
                std::string(reinterpret_cast<char*>(MachineMemory) + 0x7FF0, 16),
            "STAR JACKER TESTEND OF 32 KB    ") << "it runs, all 32 KB of it";
  auto counter = [] { return MachineMemory[0xC010] | MachineMemory[0xC011] << 8; };
  const int counted = counter();
  ASSERT_TRUE(counted > 100 && vdp.display_enabled == 1);

  MachineMemory[0xE000] = 0x3C;  // anything the program left in RAM
  const std::vector<uint8_t> before = memory();
  app_hard_reset();
  EXPECT_EQ(memory(), before);
  EXPECT_TRUE(cpu.pc == 0x0000 && menu_cursor == kStarJacker && vdp.display_enabled == 0);
  EXPECT_EQ(osd(), "Hard Reset x1 for 40");
  frames(1);
  EXPECT_LT(counter(), counted) << "the program started again from the beginning";

  write_file(roms_ / "monaco_gp.rom", bus_machine::test_rom("bus_ram_tail"));
  app_load_game(5);
  ASSERT_EQ(std::memcmp(MachineMemory + 0x8000, "TAIL", 4), 0) << "the 40 KB image's tail";
  frames(1);
  EXPECT_TRUE(MachineMemory[0x8000] == 0x5A && MachineMemory[0] == 0xF3) << "tail RAM, rest not";
}

}  // namespace
