// The library tests' own world: a scratch directory made the working
// directory, HOME pointing inside it, QUAV_ROMS and XDG_DATA_HOME unset and
// --roms naming its roms/ subdirectory. The environment, working directory,
// settings, menu cursor and message timer are put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "app/menu.h"
#include "app/osd.h"

namespace library_test {

inline void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

class Fixture : public ::testing::Test {
 protected:
  Fixture() {
    for (int i = 0; i < 3; ++i) {
      if (const char* v = std::getenv(kEnv[i])) saved_env_[i] = v;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "quav-lib-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    dir_ = pattern;
    roms_ = dir_ / "roms";
    std::filesystem::create_directory(roms_);
    std::filesystem::current_path(dir_);
    unsetenv("QUAV_ROMS");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", (dir_ / "home").c_str(), 1);
    library_set_rom_dir(roms_.c_str());
  }
  ~Fixture() override {
    for (int i = 0; i < 3; ++i) {
      saved_env_[i] ? setenv(kEnv[i], saved_env_[i]->c_str(), 1) : unsetenv(kEnv[i]);
    }
    library_set_rom_dir(nullptr);
    app_settings = settings_;
    menu_cursor = cursor_;
    osd_timer = 0;
    std::error_code ec;
    std::filesystem::current_path(cwd_, ec);
    std::filesystem::permissions(roms_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  // Writes `size` bytes, differing between nearby positions and seeds, to roms/<name>.
  std::vector<uint8_t> put(const std::string& name, uint32_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint32_t i = 0; i < size; ++i) bytes[i] = (i * 131 + (i >> 8) * 7 + seed * 29 + 1) & 0xFF;
    write_file(roms_ / name, bytes);
    return bytes;
  }

  std::filesystem::path dir_, roms_;

 private:
  static constexpr const char* kEnv[3] = {"QUAV_ROMS", "XDG_DATA_HOME", "HOME"};
  std::optional<std::string> saved_env_[3];
  const std::filesystem::path cwd_ = std::filesystem::current_path();
  const AppSettings settings_ = app_settings;
  const int32_t cursor_ = menu_cursor;
};

}  // namespace library_test
