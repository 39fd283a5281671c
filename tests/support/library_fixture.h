// Helpers for the library tests: a scratch directory, image files of a
// given size with recognisable bytes, and the environment the ROM
// directory search reads, restored afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace library_test {

// A fresh directory under the system's temporary directory, removed (with
// everything in it) when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// `size` bytes that differ between nearby positions and between seeds.
std::vector<uint8_t> image_bytes(uint32_t size, uint32_t seed);
void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> read_file(const std::filesystem::path& path);

// Saves QUAV_ROMS, XDG_DATA_HOME, HOME and the working directory, clears the
// first two, and puts everything back (and --roms to none) when it goes.
class RomSearchEnvironment {
 public:
  RomSearchEnvironment();
  ~RomSearchEnvironment();
  RomSearchEnvironment(const RomSearchEnvironment&) = delete;
  RomSearchEnvironment& operator=(const RomSearchEnvironment&) = delete;

 private:
  struct Saved {
    bool set;
    std::string value;
  };
  Saved roms_, xdg_, home_;
  std::filesystem::path cwd_;
};

void set_env(const char* name, const std::string& value);
void unset_env(const char* name);

}  // namespace library_test
