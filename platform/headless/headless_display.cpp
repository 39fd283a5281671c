// Headless backend: the display device in host memory.
//
// The five back-buffer sizes of the shell are offered as modes (tests may
// offer others). The screen, the back buffer and the frame surface are plain
// buffers; "video memory" only records the placement, and every copy and
// stretch is done by the shared software blit. The screen is the back buffer
// itself, so a flip shows it without a copy and it keeps the last picture.
#include <cstddef>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/surface_scale.h"

namespace {

struct ModeSize {
  int width, height;
};

constexpr ModeSize kDefaultModes[] = {{640, 480}, {512, 480}, {512, 384}, {800, 600}, {1024, 768}};
constexpr int kMaxOfferedModes = 16;

struct HeadlessDisplay {
  int open = 0;
  ModeSize offered[kMaxOfferedModes] = {};
  int offered_count = -1;  // -1: the default five
  int mode_count = 0;
  ModeSize modes[kMaxOfferedModes] = {};
  std::vector<uint16_t> buffers[3];
  HostSurface surfaces[3];
  int frame_video_memory = 0;
  int fail_frame = 0;
  int flips = 0;
};

HeadlessDisplay display_device;

const HostSurface* surface_of(int index) {
  if (!display_device.open || index < 0 || index > 2) return nullptr;
  const HostSurface& s = display_device.surfaces[index];
  return s.pixels ? &s : nullptr;
}

}  // namespace

void headless_display_offer_modes(const int sizes[][2], int count) {
  if (count < 0 || count > kMaxOfferedModes) count = -1;
  display_device.offered_count = count;
  for (int i = 0; i < count; ++i) display_device.offered[i] = {sizes[i][0], sizes[i][1]};
}

void headless_display_fail_frame_creation(int fail) { display_device.fail_frame = fail; }

int headless_display_flip_count() { return display_device.flips; }

int headless_display_mode_count() { return display_device.open ? display_device.mode_count : 0; }

void headless_display_mode(int index, int* width, int* height) {
  if (index < 0 || index >= headless_display_mode_count()) return;
  *width = display_device.modes[index].width;
  *height = display_device.modes[index].height;
}

int headless_display_open(int frame_width, int frame_height) {
  headless_display_close();
  if (frame_width <= 0 || frame_height <= 0) return 0;
  HeadlessDisplay& d = display_device;
  if (d.offered_count < 0) {
    d.mode_count = 0;
    for (const ModeSize& m : kDefaultModes) d.modes[d.mode_count++] = m;
  } else {
    d.mode_count = d.offered_count;
    for (int i = 0; i < d.mode_count; ++i) d.modes[i] = d.offered[i];
  }
  d.surfaces[2] = make_surface(d.buffers[2], frame_width, frame_height);
  d.frame_video_memory = 0;
  d.flips = 0;
  d.open = 1;
  return 1;
}

void headless_display_close() {
  HeadlessDisplay& d = display_device;
  for (int i = 0; i < 3; ++i) {
    d.buffers[i].clear();
    d.buffers[i].shrink_to_fit();
    d.surfaces[i] = HostSurface{};
  }
  d.mode_count = 0;
  d.open = 0;
}

int headless_display_set_mode(int width, int height) {
  HeadlessDisplay& d = display_device;
  if (!d.open || width <= 0 || height <= 0) return 0;
  // The screen shows the back buffer as it stands: there is no separate
  // front buffer to copy into, so a flip costs nothing.
  d.surfaces[1] = make_surface(d.buffers[1], width, height);
  d.surfaces[0] = d.surfaces[1];
  return 1;
}

int headless_display_create_frame(int video_memory) {
  if (!display_device.open || display_device.fail_frame) return 0;
  display_device.frame_video_memory = video_memory ? 1 : 0;
  return 1;
}

uint8_t* headless_surface_lock(int surface, int* pitch) {
  const HostSurface* s = surface_of(surface);
  if (!s) return nullptr;
  *pitch = s->pitch;
  return s->pixels;
}

int headless_surface_unlock(int surface) { return surface_of(surface) ? 1 : 0; }

int headless_frame_keeps_pixels() { return 1; }

void headless_surface_fill(int surface, uint16_t pixel) {
  if (const HostSurface* s = surface_of(surface)) surface_fill(*s, pixel);
}

int headless_surface_blit(int dst, const PlatformRect& dst_rect, int src,
                          const PlatformRect& src_rect) {
  const HostSurface* d = surface_of(dst);
  const HostSurface* s = surface_of(src);
  if (!d || !s || d == s || !surface_rect_inside(*d, dst_rect) ||
      !surface_rect_inside(*s, src_rect)) {
    return kPlatformBlitFailed;
  }
  surface_blit_nearest(*d, dst_rect, *s, src_rect);
  return 0;
}

int headless_display_flip(int) {
  if (!surface_of(1)) return 0;
  display_device.flips += 1;
  return 1;
}
