// Screenshots: the numbered names, the file's layout, and a read-back by an independent BMP reader.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "display/screenshot.h"
#include "display_fixture.h"

namespace {

namespace fs = std::filesystem;
constexpr size_t kShotBytes = 186680;

std::vector<uint8_t> read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

// Each test runs in a fresh working directory, with frame row y in a colour of
// its own (red y, green 255 - y, blue 7 y, cut to what the pixel format keeps).
class ShotTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    dir_ = fs::temp_directory_path() / ("quav_shot_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
    shot_build_colour_table();
    open(640, 480, 0);
    fill_frame_with([](int, int y) { return video_rgb_to_pixel(y, 255 - y, (7 * y) & 0xFF); });
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
    DisplayTest::TearDown();
  }
  fs::path old_ = fs::current_path(), dir_;
};

TEST_F(ShotTest, TheFirstFreeNumberIsTakenAndExistingFilesAreLeftAlone) {
  std::ofstream("quav_0000.bmp") << "zero";
  std::ofstream("quav_0002.bmp") << "two";
  shot_save();
  shot_save();
  const std::pair<const char*, size_t> files[] = {
      {"quav_0000.bmp", 4}, {"quav_0001.bmp", kShotBytes}, {"quav_0002.bmp", 3}, {"quav_0003.bmp", kShotBytes}};
  for (const auto& [name, size] : files) EXPECT_EQ(fs::exists(name) ? fs::file_size(name) : 0, size) << name;
}

TEST_F(ShotTest, HeaderBottomUpRowsBlueGreenRedAndTheBackdrop) {
  shot_save();
  const std::vector<uint8_t> f = read_file("quav_0000.bmp");
  ASSERT_EQ(f.size(), kShotBytes);
  EXPECT_EQ(f[0] << 8 | f[1], 'B' << 8 | 'M');
  const uint32_t fields[][3] = {{2, 4, kShotBytes}, {6, 4, 0},  {10, 4, 54}, {14, 4, 40},   {18, 4, 288},
                                {22, 4, 216},       {26, 2, 1}, {28, 2, 24}, {30, 4, 0},    {34, 4, 0},
                                {38, 4, 2834},      {42, 4, 2834}, {46, 4, 0}, {50, 4, 0}};  // offset, size, value
  for (const auto& field : fields) EXPECT_EQ(le(f, field[0], field[1]), field[2]) << "offset " << field[0];
  for (int i = 0; i < 216; ++i) {  // file row i is frame row 228 - i
    const uint32_t y = 228 - i, bgr = ((7 * y) & 0xF8) | ((255 - y) & 0xFC) << 8 | (y & 0xF8) << 16;
    ASSERT_EQ(std::pair(le(f, 54 + i * 864, 3), le(f, 54 + i * 864 + 287 * 3, 3)), std::pair(bgr, bgr)) << "row " << i;
  }
  EXPECT_EQ(le(f, kShotBytes - 2, 2), 0u);  // padding to a multiple of four
  fill_frame(static_cast<uint16_t>(video_rgb_to_pixel(32, 32, 224)));  // the backdrop, colour 4
  ASSERT_EQ(shot_save_to("backdrop.bmp"), 1);
  const std::vector<uint8_t> b = read_file("backdrop.bmp");
  ASSERT_EQ(b.size(), kShotBytes);
  EXPECT_EQ(le(b, 54, 3), 224u | 32 << 8 | 32 << 16);  // blue, green, red
  EXPECT_EQ(shot_save_to("no_such_dir/x.bmp"), 0);
}

// Pillow (Debian python3-pil, the system interpreter's) reads the file
// independently of our writer: top row frame row 13, bottom row frame row 228.
TEST_F(ShotTest, PillowSeesTheSamePicture) {
  std::string python;
  for (const char* c : {"/usr/bin/python3", "python3"})
    if (python.empty() && std::system((std::string(c) + " -c 'import PIL' 2>/dev/null").c_str()) == 0) python = c;
  if (python.empty()) GTEST_SKIP() << "python3 with Pillow (Debian python3-pil) is not installed";
  ASSERT_EQ(shot_save_to("pil.bmp"), 1);
  std::FILE* p = popen((python + " -c \"from PIL import Image; im = Image.open('pil.bmp'); print(*im.size, im.mode, "
                        "*im.getpixel((0, 0)), *im.getpixel((287, 215)))\"").c_str(), "r");
  ASSERT_NE(p, nullptr);
  char line[128] = {}, want[128];
  ASSERT_NE(std::fgets(line, sizeof line, p), nullptr);
  pclose(p);
  std::snprintf(want, sizeof want, "288 216 RGB %d %d %d %d %d %d\n", 13 & 0xF8, 242 & 0xFC, 91 & 0xF8, 228 & 0xF8,
                27 & 0xFC, (7 * 228 & 0xFF) & 0xF8);
  EXPECT_STREQ(line, want);
}

}  // namespace
