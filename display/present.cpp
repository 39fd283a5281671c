// Presenting a frame: the surface locks and pixel addresses, the blit of the
// current mode from the frame surface onto the back buffer, the load text and
// the flip.
//
// Modes 0-3 filter on the host processor over the locked surfaces; modes 4-6
// hand the copy or stretch to the display's blitter. The picture is centred:
// a screen at least 576 x 432 shows frame columns 0-287 and rows 12-227
// doubled, a smaller one crops the frame around its centre. Every write is
// also kept inside the back buffer actually in force.
#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "display/filters.h"
#include "display/font.h"
#include "display/load_text.h"
#include "display/video.h"
#include "machine/machine.h"
#include "platform/platform.h"

namespace {

constexpr int kLockAttempts = 200;
constexpr int kFullWidth = 576;   // all 288 frame columns, doubled
constexpr int kFullHeight = 432;  // frame rows 12-227, doubled
constexpr int kFirstShownRow = 12;
constexpr int kFrameCentreX = 144;  // a cropped picture keeps the frame's centre
constexpr int kFrameCentreY = 120;
constexpr int kQuadrupleWidth = 1024;

struct Geometry {
  int sx, sy, sw, sh;  // source rectangle on the frame surface
  int dx, dy;          // where its doubled picture lands on the back buffer
};

Geometry geometry(int w, int h) {
  Geometry g{};
  if (w >= kFullWidth) {
    g.sx = 0;
    g.sw = kFullWidth / 2;
    g.dx = (w - kFullWidth) / 2;
  } else {
    g.sx = (kFullWidth - w) / 4;
    g.sw = (kFrameCentreX - g.sx) * 2;
    g.dx = 0;
  }
  if (h >= kFullHeight) {
    g.sy = kFirstShownRow;
    g.sh = kFullHeight / 2;
    g.dy = (h - kFullHeight) / 2;
  } else {
    g.sy = (kFullHeight - h) / 4 + kFirstShownRow;
    g.sh = (kFrameCentreY - g.sy) * 2;
    g.dy = 0;
  }
  return g;
}

// Source pixels that fit, at `scale` times their size, into `room` pixels.
int fitting(int source, int room, int scale) { return std::clamp(room / scale, 0, source); }

uint8_t* byte_address(int index, int x, int y) {
  return reinterpret_cast<uint8_t*>(video_pixel_address(index, x, y));
}

// Clears the back buffer around the rectangle (x, y, w, h) that a filter
// has just written whole: the same picture as clearing all of it first,
// without writing the picture's pixels twice.
void clear_around(uint8_t* back, int pitch, int bw, int bh, int x, int y, int w, int h) {
  auto row = [&](int r) {
    return reinterpret_cast<uint16_t*>(back + static_cast<std::ptrdiff_t>(r) * pitch);
  };
  for (int r = 0; r < bh; ++r) {
    uint16_t* p = row(r);
    if (r < y || r >= y + h || w <= 0) {
      std::fill(p, p + bw, uint16_t{0});
    } else {
      std::fill(p, p + x, uint16_t{0});
      std::fill(p + x + w, p + bw, uint16_t{0});
    }
  }
}

// Modes 0-3: the frame drawn by a filter straight into the back buffer,
// which is black wherever the filter does not write.
void run_filter(int mode, int width, const Geometry& g) {
  if (!video_lock_surface(kSurfaceFrame)) {
    video_fill_surface(kSurfaceBack, 0);
    return;
  }
  if (!video_lock_surface(kSurfaceBack)) {
    video_unlock_surface(kSurfaceFrame);
    video_fill_surface(kSurfaceBack, 0);
    return;
  }
  uint8_t* back = display.memory[kSurfaceBack];
  const int back_pitch = display.pitch[kSurfaceBack];
  const int bw = display.current_width, bh = display.current_height;
  const uint16_t half = static_cast<uint16_t>(display.grey_half_mask);
  const uint16_t quarter = static_cast<uint16_t>(display.grey_quarter_mask);
  FilterArea area{};
  if (mode == 0 && width == kQuadrupleWidth) {
    area = filter_quadruple(byte_address(kSurfaceFrame, kActiveLeft, kActiveTop),
                            display.pitch[kSurfaceFrame], back, back_pitch,
                            fitting(kActiveWidth, bw, 4), fitting(kActiveLines, bh, 4));
  } else if (g.dx < bw && g.dy < bh) {
    static constexpr ScanlineFilter kByMode[4] = {ScanlineFilter::Half, ScanlineFilter::Black,
                                                  ScanlineFilter::ThreeQuarter,
                                                  ScanlineFilter::Double};
    area = filter_scanlines(kByMode[mode], byte_address(kSurfaceFrame, g.sx, g.sy),
                            display.pitch[kSurfaceFrame], byte_address(kSurfaceBack, g.dx, g.dy),
                            back_pitch, fitting(g.sw, bw - g.dx, 2), fitting(g.sh, bh - g.dy, 2),
                            half, quarter);
    area.x += g.dx;
    area.y += g.dy;
  }
  clear_around(back, back_pitch, bw, bh, area.x, area.y, area.width, area.height);
  video_unlock_surface(kSurfaceBack);
  video_unlock_surface(kSurfaceFrame);
}

void display_blit(const PlatformRect& src, const PlatformRect& dst) {
  display.last_result = platform_surface_blit(kSurfaceBack, dst, kSurfaceFrame, src);
}

}  // namespace

uint8_t* video_lock_surface(int index) {
  if (index != kSurfaceScreen && index != kSurfaceFrame) index = kSurfaceBack;
  // The frame surface can be reached from video_init on; the others need a mode.
  const int ready = index == kSurfaceFrame ? display.device_open : display.surfaces_ready;
  if (!ready) return nullptr;
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    int pitch = 0;
    if (uint8_t* p = platform_surface_lock(index, &pitch)) {
      // Rows the VDP drew are known only in the surface it drew them into.
      if (index == kSurfaceFrame && (p != display.memory[index] || pitch != display.pitch[index] ||
                                     !platform_frame_keeps_pixels())) {
        machine_picture_overwritten(0, kFrameHeight);
      }
      display.pitch[index] = pitch;
      display.memory[index] = p;
      display.last_result = 0;
      return p;
    }
    display.last_result = -1;
  }
  return nullptr;
}

int video_unlock_surface(int index) {
  if (index != kSurfaceScreen && index != kSurfaceFrame) index = kSurfaceBack;
  const int ready = index == kSurfaceFrame ? display.device_open : display.surfaces_ready;
  if (!ready) return 0;
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    if (platform_surface_unlock(index)) return 1;
  }
  return 0;
}

// The locked frame surface is where the machine draws its picture.
uint8_t* video_lock_frame() {
  uint8_t* p = video_lock_surface(kSurfaceFrame);
  if (p) machine_lend_picture(reinterpret_cast<uint16_t*>(p), display.pitch[kSurfaceFrame]);
  return p;
}

int video_unlock_frame() { return video_unlock_surface(kSurfaceFrame); }

uint16_t* video_pixel_address(int index, int x, int y) {
  if (index != kSurfaceScreen && index != kSurfaceFrame) index = kSurfaceBack;
  const int ready = index == kSurfaceFrame ? display.device_open : display.surfaces_ready;
  if (!ready || !display.memory[index]) return nullptr;
  return reinterpret_cast<uint16_t*>(display.memory[index] +
                                     static_cast<std::ptrdiff_t>(y) * display.pitch[index] + 2 * x);
}

void video_fill_surface(int index, uint16_t pixel) {
  if (!display.surfaces_ready) return;
  if (index == kSurfaceFrame) machine_picture_overwritten(0, kFrameHeight);
  platform_surface_fill(index, pixel);
}

void video_present(int w, int h, int mode) {
  if (!display.surfaces_ready) return;
  const Geometry g = geometry(w, h);
  // The back buffer is black wherever the picture does not reach; the
  // filters clear around what they write themselves.
  if (mode < 0 || mode > 3) video_fill_surface(kSurfaceBack, 0);
  switch (mode) {
    case 0: case 1: case 2: case 3:
      run_filter(mode, w, g);
      break;
    case 4: {
      const int dw = w < kFullWidth ? w : kFullWidth, dh = h < kFullHeight ? h : kFullHeight;
      display_blit({g.sx, g.sy, g.sw, g.sh}, {g.dx, g.dy, dw, dh});
      break;
    }
    case 5:
      display_blit({0, 0, display.frame_width, display.frame_height}, {0, 0, w, h});
      break;
    case 6:
      display_blit({kActiveLeft, kActiveTop, kActiveWidth, kActiveLines}, {0, 0, w, h});
      break;
    default:
      break;
  }
}

// Black text on white cells, as a desktop draws text by default.
void video_draw_cpu_load(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "CPU%%: %0.2f", static_cast<double>(value));
  video_draw_load_line(0, text);
}

void video_draw_load_line(int row, const char* text) {
  const int top = row * kLoadGlyphHeight;
  if (top >= display.current_height || !video_lock_surface(kSurfaceBack)) return;
  draw_load_text(display.memory[kSurfaceBack] + static_cast<std::ptrdiff_t>(top) *
                                                    display.pitch[kSurfaceBack],
                 display.pitch[kSurfaceBack], display.current_width,
                 display.current_height - top, text, OsdFont,
                 static_cast<uint16_t>(video_rgb_to_pixel(0, 0, 0)),
                 static_cast<uint16_t>(video_rgb_to_pixel(255, 255, 255)));
  video_unlock_surface(kSurfaceBack);
}

int video_flip(int wait) {
  if (!display.surfaces_ready) return 0;
  display.last_result = platform_display_flip(wait) ? 0 : -1;
  return display.last_result == 0 ? 1 : 0;
}
