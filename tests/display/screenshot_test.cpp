// Screenshots: the colour table, the numbered names, the file's layout, and a
// read-back by an independent BMP reader.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "display/screenshot.h"
#include "display_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kShotBytes = 186680;

std::vector<uint8_t> read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// Runs each test in a fresh working directory.
class ShotTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    old_ = fs::current_path();
    const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = fs::temp_directory_path() / ("quav_shot_" + std::to_string(getpid()) + "_" + test);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
    shot_build_colour_table();
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
    DisplayTest::TearDown();
  }

  // Frame row y in one colour of its own: red y, green 255 - y, blue 7 y,
  // each cut to what the pixel format keeps.
  static void fill_rows() {
    video_lock_frame();
    for (int y = 0; y < kFrameH; ++y)
      for (int x = 0; x < kFrameW; ++x)
        *video_pixel_address(2, x, y) =
            static_cast<uint16_t>(video_rgb_to_pixel(y, 255 - y, (7 * y) & 0xFF));
    video_unlock_frame();
  }

  fs::path old_, dir_;
};

TEST_F(ShotTest, TheColourTableIsTheExactInverseOfThePixelFormat) {
  open(640, 480, 0);
  for (uint32_t v = 0; v < 65536; ++v) {
    const uint32_t c = shot_colour_table[v];
    const int32_t back = video_rgb_to_pixel(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    ASSERT_EQ(back, static_cast<int32_t>(v));
    ASSERT_EQ(c >> 24, 0u);
  }
  // A palette colour comes back exactly: 8 is (224, 32, 32).
  EXPECT_EQ(shot_colour_table[video_rgb_to_pixel(224, 32, 32)], 0x002020E0u);
}

TEST_F(ShotTest, TheFirstFreeNumberIsTakenAndExistingFilesAreLeftAlone) {
  open(640, 480, 0);
  std::ofstream("quav_0000.bmp") << "zero";
  std::ofstream("quav_0002.bmp") << "two";
  shot_save();
  ASSERT_TRUE(fs::exists("quav_0001.bmp"));
  EXPECT_EQ(fs::file_size("quav_0001.bmp"), kShotBytes);
  EXPECT_EQ(fs::file_size("quav_0000.bmp"), 4u);
  EXPECT_EQ(fs::file_size("quav_0002.bmp"), 3u);
  shot_save();
  EXPECT_EQ(fs::file_size("quav_0002.bmp"), 3u);
  EXPECT_EQ(fs::file_size("quav_0003.bmp"), kShotBytes);
}

TEST_F(ShotTest, HeaderAndBottomUpRowsInBlueGreenRedOrder) {
  open(640, 480, 0);
  fill_rows();
  shot_save();
  const std::vector<uint8_t> f = read_file("quav_0000.bmp");
  ASSERT_EQ(f.size(), kShotBytes);
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[1], 'M');
  EXPECT_EQ(le32(f, 2), kShotBytes);
  EXPECT_EQ(le32(f, 6), 0u);
  EXPECT_EQ(le32(f, 10), 54u);
  EXPECT_EQ(le32(f, 14), 40u);
  EXPECT_EQ(le32(f, 18), 288u);
  EXPECT_EQ(le32(f, 22), 216u);
  EXPECT_EQ(le16(f, 26), 1);
  EXPECT_EQ(le16(f, 28), 24);
  EXPECT_EQ(le32(f, 30), 0u);
  EXPECT_EQ(le32(f, 34), 0u);
  EXPECT_EQ(le32(f, 38), 2834u);
  EXPECT_EQ(le32(f, 42), 2834u);
  EXPECT_EQ(le32(f, 46), 0u);
  EXPECT_EQ(le32(f, 50), 0u);
  for (int i = 0; i < 216; ++i) {
    const int y = 228 - i;
    const uint8_t* first = &f[54 + i * 864];
    const uint8_t* last = first + 287 * 3;
    ASSERT_EQ(first[2], y & 0xF8) << "file row " << i;
    ASSERT_EQ(first[1], (255 - y) & 0xFC) << "file row " << i;
    ASSERT_EQ(first[0], (7 * y) & 0xF8) << "file row " << i;
    ASSERT_EQ(last[2], first[2]);
  }
  EXPECT_EQ(f[kShotBytes - 2], 0);
  EXPECT_EQ(f[kShotBytes - 1], 0);
}

TEST_F(ShotTest, ABackdropOfColour4GivesBlueGreenRed224_32_32) {
  open(640, 480, 0);
  fill_frame(static_cast<uint16_t>(video_rgb_to_pixel(32, 32, 224)));
  ASSERT_EQ(shot_save_to("backdrop.bmp"), 1);
  std::vector<uint8_t> f = read_file("backdrop.bmp");
  ASSERT_EQ(f.size(), kShotBytes);
  EXPECT_EQ(f[54], 224);
  EXPECT_EQ(f[55], 32);
  EXPECT_EQ(f[56], 32);
  // Without a frame surface the file still has its size, with black rows.
  video_release();
  ASSERT_EQ(shot_save_to("released.bmp"), 1);
  f = read_file("released.bmp");
  ASSERT_EQ(f.size(), kShotBytes);
  EXPECT_EQ(std::count(f.begin() + 54, f.end(), 0), static_cast<long>(kShotBytes - 54));
  EXPECT_EQ(shot_save_to("no_such_dir/x.bmp"), 0);
}

TEST_F(ShotTest, TheBackBufferPictureHasTheModesSize) {
  open(640, 480, 3);
  fill_rows();
  video_present();
  ASSERT_EQ(shot_save_back_buffer("back.bmp"), 1);
  const std::vector<uint8_t> f = read_file("back.bmp");
  ASSERT_EQ(f.size(), 54u + 640 * 3 * 480);
  EXPECT_EQ(le32(f, 2), f.size());
  EXPECT_EQ(le32(f, 18), 640u);
  EXPECT_EQ(le32(f, 22), 480u);
  // Screen row 24 (frame row 12) is file row 455; column 32 starts the picture.
  const uint8_t* p = &f[54 + 455 * 1920 + 32 * 3];
  EXPECT_EQ(p[2], 12 & 0xF8);
  EXPECT_EQ(p[1], (255 - 12) & 0xFC);
  EXPECT_EQ(p[0], (7 * 12) & 0xF8);
  EXPECT_EQ(p[-1], 0);  // the black surround
}

// Pillow (Debian python3-pil) reads the file independently of our writer.
TEST_F(ShotTest, AnIndependentReaderSeesTheSamePicture) {
  // Debian's Pillow belongs to the system's interpreter, which may not be the
  // first python3 on the path.
  std::string python;
  for (const char* candidate : {"python3", "/usr/bin/python3"}) {
    if (std::system((std::string(candidate) + " -c 'import PIL' 2>/dev/null").c_str()) == 0) {
      python = candidate;
      break;
    }
  }
  if (python.empty()) GTEST_SKIP() << "python3 with Pillow (Debian python3-pil) is not installed";
  open(640, 480, 0);
  fill_rows();
  ASSERT_EQ(shot_save_to("pil.bmp"), 1);
  const std::string script = python +
      " -c \"from PIL import Image; im = Image.open('pil.bmp'); "
      "print(im.size[0], im.size[1], im.mode, *im.getpixel((0, 0)), *im.getpixel((287, 215)))\"";
  std::FILE* p = popen(script.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char line[128] = {};
  ASSERT_NE(std::fgets(line, sizeof line, p), nullptr);
  pclose(p);
  // The top row is frame row 13, the bottom row frame row 228.
  char want[128];
  std::snprintf(want, sizeof want, "288 216 RGB %d %d %d %d %d %d\n", 13 & 0xF8, 242 & 0xFC,
                91 & 0xF8, 228 & 0xF8, 27 & 0xFC, (7 * 228 & 0xFF) & 0xF8);
  EXPECT_STREQ(line, want);
}

}  // namespace
