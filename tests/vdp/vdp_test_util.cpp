#include "vdp_test_util.h"

#include <sstream>

#include "display/video.h"
#include "platform/platform.h"

namespace {

// The sixteen colours as red, green, blue.
constexpr int kRgb[16][3] = {
    {0, 0, 0},       {0, 0, 0},      {32, 192, 32},   {96, 224, 96},  {32, 32, 224},   {64, 96, 224},
    {160, 32, 32},   {64, 192, 224}, {224, 32, 32},   {224, 96, 96},  {192, 192, 32},  {192, 192, 128},
    {32, 128, 32},   {192, 64, 160}, {160, 160, 160}, {224, 224, 224}};

int reg(int n) { return vdp_peek_register(n); }
int mem(uint32_t address) { return vdp_peek_vram(address & 0x3FFF); }
int backdrop() { return (reg(7) & 15) == 0 ? 1 : reg(7) & 15; }

// A cell pixel: set bits in the foreground (0 is black), clear bits in the
// background (0 shows the backdrop).
int cell_colour(int bg, int fg, int set) {
  if (set) return fg == 0 ? 1 : fg;
  return bg == 0 ? backdrop() : bg;
}

// The colour of the first sprite (lowest number) with a pixel at (x, line), or -1.
int sprite_colour(int x, int line) {
  const int mag = (reg(1) & 1) ? 2 : 1;
  const int width = (reg(1) & 2) ? 16 : 8;
  const int size = width * mag;
  const int attr = (reg(5) & 0x7F) << 7;
  const int patterns = (reg(6) & 7) << 11;
  int on_line = 0;
  for (int n = 0; n < 32; ++n) {
    int y = mem(attr + 4 * n);
    if (y == 0xD0) break;
    if (y > 256 - size) y -= 256;
    if (line < y + 1 || line >= y + 1 + size) continue;
    if (++on_line > 4 && vdp.sprite_limit) break;
    const int flags = mem(attr + 4 * n + 3);
    const int left = mem(attr + 4 * n + 1) - ((flags & 0x80) ? 32 : 0);
    if ((flags & 15) == 0 || x < left || x >= left + size) continue;
    const int px = (x - left) / mag, py = (line - y - 1) / mag;
    const int name = width == 16 ? mem(attr + 4 * n + 2) & 0xFC : mem(attr + 4 * n + 2);
    const int byte = mem(patterns + name * 8 + py + (px >= 8 ? 16 : 0));
    if ((byte >> (7 - px % 8)) & 1) return flags & 15;
  }
  return -1;
}

int background_colour(int x, int line, int mode) {
  const int name_table = (reg(2) & 15) << 10;
  if (mode == 0) {
    const int name = mem(name_table + (line / 8) * 40 + x / 6);
    const int byte = mem(((reg(4) & 7) << 11) + name * 8 + line % 8);
    return cell_colour(reg(7) & 15, reg(7) >> 4, (byte >> (7 - x % 6)) & 1);
  }
  const int name = mem(name_table + (line / 8) * 32 + x / 8);
  if (mode == 3) {
    const int colours = mem(((reg(4) & 7) << 11) + name * 8 + (line / 8 % 4) * 2 + line / 4 % 2);
    const int c = x % 8 < 4 ? colours >> 4 : colours & 15;
    return c == 0 ? backdrop() : c;
  }
  int k, byte;
  if (mode == 1) {
    k = mem((reg(3) << 6) + name / 8);
    byte = mem(((reg(4) & 7) << 11) + name * 8 + line % 8);
  } else {
    const int offset = (line / 64) * 0x800 + name * 8 + line % 8;
    k = mem(((reg(3) & 0x80) ? 0x2000 : 0) + offset);
    byte = mem(((reg(4) & 4) ? 0x2000 : 0) + offset);
  }
  const int set = (byte >> (7 - x % 8)) & 1;
  return k == 0 ? cell_colour(reg(7) & 15, reg(7) >> 4, set) : cell_colour(k & 15, k >> 4, set);
}

}  // namespace

void vdp_test_start(VdpInterruptCallback callback) {
  static bool platform_ready = false;
  if (!platform_ready) {
    platform_init(PlatformBackend::Headless, {});
    video_init(kFrameWidth, kFrameHeight);
    video_set_mode(640, 480);
    platform_ready = true;
  }
  vdp_release();
  vdp = VdpState{};
  vdp_init(callback);
  if (video_lock_frame() == nullptr || video_pixel_address(2, 0, 0) == nullptr) {
    FAIL() << "the frame surface cannot be locked";
  }
  fill_frame(kSentinel);
}

void set_register(int reg, uint8_t value) {
  vdp_write_control(value);
  vdp_write_control(static_cast<uint8_t>(0x80 | reg));
}

void write_vram(uint16_t address, std::initializer_list<uint8_t> bytes) {
  vdp_write_control(address & 0xFF);
  vdp_write_control(static_cast<uint8_t>(0x40 | (address >> 8)));
  for (uint8_t b : bytes) vdp_write_data(b);
}

void run_lines(int from, int to, int render) {
  for (vdp.current_line = from; vdp.current_line < to; ++vdp.current_line) vdp_render_line(render);
}

void fill_frame(uint16_t value) {
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x) *video_pixel_address(2, x, y) = value;
}

uint16_t pixel(int x, int row) { return *video_pixel_address(2, x, row); }

uint16_t colour_pixel(int colour) {
  return static_cast<uint16_t>(video_rgb_to_pixel(kRgb[colour][0], kRgb[colour][1], kRgb[colour][2]));
}

void setup_graphics1(uint8_t reg1_extra) {
  set_register(0, 0x00);
  set_register(1, static_cast<uint8_t>(0x40 | reg1_extra));
  set_register(2, 0x06);
  set_register(3, 0x80);
  set_register(4, 0x00);
  set_register(5, 0x36);
  set_register(6, 0x07);
  set_register(7, 0xF4);
}

uint16_t reference_pixel(int x, int row) {
  const int line = row - 24, sx = x - 16;
  const int m1 = reg(1) & 0x10, m2 = reg(1) & 0x08, m3 = reg(0) & 0x02;
  const int mode = m1 ? 0 : m2 ? 3 : m3 ? 2 : 1;
  const int width = mode == 0 ? 240 : 256;
  if (line < 0 || line >= 192 || sx < 0 || sx >= width || (reg(1) & 0x40) == 0) {
    return colour_pixel(backdrop());
  }
  const int sprite = mode == 0 ? -1 : sprite_colour(sx, line);
  return colour_pixel(sprite >= 0 ? sprite : background_colour(sx, line, mode));
}

testing::AssertionResult frame_matches_reference() {
  int mismatches = 0;
  testing::AssertionResult result = testing::AssertionFailure();
  for (int row = 0; row < kFrameHeight; ++row) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const uint16_t want = reference_pixel(x, row), got = pixel(x, row);
      if (want != got && mismatches++ < 5) {
        std::ostringstream line;
        line << "pixel (" << x << ", " << row << ") is 0x" << std::hex << got << ", expected 0x" << want << "\n";
        result << line.str();
      }
    }
  }
  if (mismatches == 0) return testing::AssertionSuccess();
  return result << mismatches << " pixels differ";
}
