// Helpers shared by the sound tests: one emulated frame of the stream's
// schedule (no CPU), a scratch directory and whole-file reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "sound/stream.h"

constexpr int kTestLinesPerFrame = 312;

inline void run_sound_frame(int deliver) {
  snd_frame_begin();
  for (int line = 0; line < kTestLinesPerFrame; ++line) snd_line_done();
  snd_frame_end(deliver);
}

inline std::string scratch_path(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return ::testing::TempDir() + "quav_" + info->name() + "_" + name;
}

inline std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
