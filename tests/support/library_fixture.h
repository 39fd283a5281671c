// The library tests' own world: a scratch directory made the working
// directory, HOME pointing inside it, QUAV_ROMS and XDG_DATA_HOME unset and
// --roms naming its roms/ subdirectory. The environment, working directory,
// settings, menu cursor and message timer are put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"

namespace library_test {

// `size` bytes that differ between nearby positions and between seeds.
std::vector<uint8_t> image_bytes(uint32_t size, uint32_t seed);
void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

class Fixture : public ::testing::Test {
 protected:
  Fixture();
  ~Fixture() override;
  // Writes image_bytes(size, seed) to roms/<name> and returns them.
  std::vector<uint8_t> put(const std::string& name, uint32_t size, uint32_t seed);

  std::filesystem::path dir_, roms_;

 private:
  struct Saved {
    const char* name;
    bool set;
    std::string value;
  };
  std::vector<Saved> env_;
  std::filesystem::path cwd_;
  AppSettings settings_;
  int32_t cursor_;
};

}  // namespace library_test
