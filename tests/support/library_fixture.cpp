#include "support/library_fixture.h"

#include <cstdio>
#include <cstdlib>

#include "app/library.h"

namespace library_test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "quav-library-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  for (const auto& e : fs::recursive_directory_iterator(path_, ec)) {
    fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

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

std::vector<uint8_t> read_file(const fs::path& path) {
  std::vector<uint8_t> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  int c;
  while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  return bytes;
}

void set_env(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
void unset_env(const char* name) { unsetenv(name); }

namespace {

void restore(const char* name, bool set, const std::string& value) {
  if (set) {
    set_env(name, value);
  } else {
    unset_env(name);
  }
}

}  // namespace

RomSearchEnvironment::RomSearchEnvironment() {
  auto save = [](const char* name) {
    const char* v = std::getenv(name);
    return Saved{v != nullptr, v != nullptr ? v : ""};
  };
  roms_ = save("QUAV_ROMS");
  xdg_ = save("XDG_DATA_HOME");
  home_ = save("HOME");
  cwd_ = fs::current_path();
  unset_env("QUAV_ROMS");
  unset_env("XDG_DATA_HOME");
  library_set_rom_dir(nullptr);
}

RomSearchEnvironment::~RomSearchEnvironment() {
  restore("QUAV_ROMS", roms_.set, roms_.value);
  restore("XDG_DATA_HOME", xdg_.set, xdg_.value);
  restore("HOME", home_.set, home_.value);
  std::error_code ec;
  fs::current_path(cwd_, ec);
  library_set_rom_dir(nullptr);
}

}  // namespace library_test
