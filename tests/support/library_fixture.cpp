#include "support/library_fixture.h"

#include <cstdio>
#include <cstdlib>

#include "app/library.h"
#include "app/menu.h"
#include "app/osd.h"

namespace library_test {

namespace fs = std::filesystem;

std::vector<uint8_t> image_bytes(uint32_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  for (uint32_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<uint8_t>((i * 131u + (i >> 8) * 7u + seed * 29u + 1u) & 0xFF);
  }
  return bytes;
}

void write_file(const fs::path& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

Fixture::Fixture() : cwd_(fs::current_path()), settings_(app_settings), cursor_(menu_cursor) {
  for (const char* name : {"QUAV_ROMS", "XDG_DATA_HOME", "HOME"}) {
    const char* v = std::getenv(name);
    env_.push_back({name, v != nullptr, v != nullptr ? v : ""});
  }
  std::string pattern = (fs::temp_directory_path() / "quav-library-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  dir_ = pattern;
  roms_ = dir_ / "roms";
  fs::create_directory(roms_);
  fs::current_path(dir_);
  unsetenv("QUAV_ROMS");
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", (dir_ / "home").c_str(), 1);
  library_set_rom_dir(roms_.c_str());
}

Fixture::~Fixture() {
  for (const Saved& s : env_) {
    if (s.set) {
      setenv(s.name, s.value.c_str(), 1);
    } else {
      unsetenv(s.name);
    }
  }
  library_set_rom_dir(nullptr);
  app_settings = settings_;
  menu_cursor = cursor_;
  osd_timer = 0;
  std::error_code ec;
  fs::current_path(cwd_, ec);
  fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
  for (const auto& e : fs::recursive_directory_iterator(dir_, ec)) {
    fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(dir_, ec);
}

std::vector<uint8_t> Fixture::put(const std::string& name, uint32_t size, uint32_t seed) {
  std::vector<uint8_t> bytes = image_bytes(size, seed);
  write_file(roms_ / name, bytes);
  return bytes;
}

}  // namespace library_test
