// Screenshots: the frame surface's rows 13 to 228, all 288 columns, as an
// uncompressed 24-bit BMP named "quav_" plus the first free four-digit number.
//
// Pixel values go back to colours through shot_colour_table, the exact
// inverse of the RGB565 format (each channel's bits moved to the top of its
// byte). The file is one static image of 186,680 bytes: the 54-byte header,
// 216 bottom-up rows of 864 bytes (blue, green, red) and two zero bytes.
// The back-buffer picture of headless runs uses the same format at the
// mode's size, its rows padded to four bytes. Every file goes through a
// temporary file renamed over it when complete; a failure says so in one line.
#include "display/screenshot.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "display/video.h"
#include "machine/machine.h"
#include "platform/platform.h"

uint32_t shot_colour_table[kShotColours];

namespace {

constexpr int kShotWidth = kFrameWidth;
constexpr int kShotBottomRow = kShotTopRow + kShotHeight - 1;  // 228
constexpr int kHeaderBytes = 54;
constexpr int kInfoHeaderBytes = 40;
constexpr int kRowBytes = kShotWidth * 3;
constexpr int kTrailingBytes = 2;
constexpr int kShotFileBytes = kHeaderBytes + kShotHeight * kRowBytes + kTrailingBytes;
static_assert(kShotFileBytes == 186680);
constexpr int kPixelsPerMetre = 2834;
constexpr int kMaxShotNumber = 9998;

uint8_t shot_buffer[kShotFileBytes];
int colour_table_built = 0;

void put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  put16(p, v);
  put16(p + 2, v >> 16);
}

void write_header(uint8_t* h, uint32_t file_bytes, int width, int height) {
  std::memset(h, 0, kHeaderBytes);
  h[0] = 'B';
  h[1] = 'M';
  put32(h + 2, file_bytes);
  put32(h + 10, kHeaderBytes);
  put32(h + 14, kInfoHeaderBytes);
  put32(h + 18, static_cast<uint32_t>(width));
  put32(h + 22, static_cast<uint32_t>(height));
  put16(h + 26, 1);   // planes
  put16(h + 28, 24);  // bits per pixel
  put32(h + 38, kPixelsPerMetre);
  put32(h + 42, kPixelsPerMetre);
}

// One row of 16-bit pixels as blue, green, red bytes.
void convert_row(const uint16_t* pixels, int count, uint8_t* out) {
  for (int x = 0; x < count; ++x) {
    const uint32_t c = shot_colour_table[pixels[x]];
    out[3 * x] = static_cast<uint8_t>(c >> 16);
    out[3 * x + 1] = static_cast<uint8_t>(c >> 8);
    out[3 * x + 2] = static_cast<uint8_t>(c);
  }
}

// The file image of the frame's visible rows; black rows when the frame
// surface cannot be locked.
void build_shot() {
  if (!colour_table_built) shot_build_colour_table();
  write_header(shot_buffer, kShotFileBytes, kShotWidth, kShotHeight);
  uint8_t* out = shot_buffer + kHeaderBytes;
  std::memset(out, 0, kShotFileBytes - kHeaderBytes);
  if (video_lock_frame()) {
    for (int y = kShotBottomRow; y >= kShotTopRow; --y, out += kRowBytes) {
      convert_row(video_pixel_address(kSurfaceFrame, 0, y), kShotWidth, out);
    }
    video_unlock_frame();
  }
}

}  // namespace

void shot_build_colour_table() {
  for (uint32_t v = 0; v < kShotColours; ++v) {
    const uint32_t r = (v >> 11) << 3, g = ((v >> 5) & 0x3F) << 2, b = (v & 0x1F) << 3;
    shot_colour_table[v] = b << 16 | g << 8 | r;
  }
  colour_table_built = 1;
}

void shot_save() {
  // The name is taken by creating it empty (only when no file of that name
  // exists); the picture then replaces it through a temporary file.
  char name[32] = {};
  std::FILE* f = nullptr;
  int error = 0;
  for (int n = 0; n <= kMaxShotNumber && !f; ++n) {
    std::snprintf(name, sizeof name, "quav_%04d.bmp", n);
    f = std::fopen(name, "wbx");
    error = f ? 0 : errno;
    if (!f && error != EEXIST) break;  // the folder itself refuses
  }
  if (!f) {
    std::fprintf(stderr, "quav: cannot write %s: %s\n", name,
                 error == EEXIST ? "quav_0000.bmp to quav_9998.bmp all exist" : std::strerror(error));
    return;
  }
  std::fclose(f);
  build_shot();
  if (!output_write_file(name, shot_buffer, sizeof shot_buffer)) std::remove(name);
}

int shot_save_to(const char* path) {
  build_shot();
  return output_write_file(path, shot_buffer, sizeof shot_buffer);
}

int shot_save_back_buffer(const char* path) {
  if (!colour_table_built) shot_build_colour_table();
  if (!video_lock_surface(kSurfaceBack)) {
    std::fprintf(stderr, "quav: cannot write %s: there is no back buffer\n", path);
    return 0;
  }
  const int width = display.current_width, height = display.current_height;
  const int row_bytes = (width * 3 + 3) / 4 * 4;
  std::vector<uint8_t> image(kHeaderBytes + static_cast<size_t>(row_bytes) * height, 0);
  write_header(image.data(), static_cast<uint32_t>(image.size()), width, height);
  for (int y = height - 1, i = 0; y >= 0; --y, ++i) {
    convert_row(video_pixel_address(kSurfaceBack, 0, y), width,
                image.data() + kHeaderBytes + static_cast<size_t>(i) * row_bytes);
  }
  video_unlock_surface(kSurfaceBack);
  return output_write_file(path, image.data(), image.size());
}
