// The display device: its list of 16-bit modes, the screen mode, the memory
// placement of the frame surface and the conversion of colours to pixels.
//
// video_init opens the host display and lists its modes; the screen and the
// back buffer come with the first video_set_mode, which also hides the mouse
// cursor until video_release. The frame surface exists from video_init on, so
// the machine can draw frames before a screen mode is chosen (a failed
// video_set_mode releases everything, and then nothing can be locked). The
// frame surface keeps its host address while the display is open, whatever
// its placement.
// Pixels are RGB565: the top five bits red, six green, five blue.
#include "display/video.h"

#include "machine/machine.h"
#include "platform/platform.h"

DisplayState display;

namespace {

constexpr int kFallbackWidth = 640;
constexpr int kFallbackHeight = 480;

// A 16-bit pixel value repeated in the four lanes of a 64-bit mask.
uint64_t four_lanes(int32_t pixel) {
  const uint64_t p = static_cast<uint16_t>(pixel);
  return p | p << 16 | p << 32 | p << 48;
}

}  // namespace

int video_init(int frame_width, int frame_height) {
  if (display.device_open) video_release();
  display.frame_width = frame_width;
  display.frame_height = frame_height;
  display.surfaces_ready = 0;
  display.mode_count = 0;
  display.mode_index = -1;
  display.video_memory = 0;
  display.current_width = 0;
  display.current_height = 0;
  if (!platform_display_open(frame_width, frame_height)) return 0;
  display.device_open = 1;
  const int offered = platform_display_mode_count();
  for (int i = 0; i < offered && display.mode_count < kMaxDisplayModes; ++i) {
    int w = 0, h = 0;
    platform_display_mode(i, &w, &h);
    display.modes[display.mode_count++] = {static_cast<uint32_t>(w), static_cast<uint32_t>(h), 0};
  }
  // Note where the frame surface is, so its pixels can be reached at once.
  video_lock_surface(kSurfaceFrame);
  video_unlock_surface(kSurfaceFrame);
  return 1;
}

int video_has_mode(int width, int height) {
  for (int i = 0; i < display.mode_count; ++i) {
    const DisplayMode& m = display.modes[i];
    if (static_cast<int>(m.width) == width && static_cast<int>(m.height) == height) return i;
  }
  return -1;
}

int video_set_mode(int width, int height) {
  if (width == display.current_width && height == display.current_height) return 0;
  if (display.mode_count == 0) return 0;
  if (display.mode_index == -1 && !display.device_open) {
    video_release();
    return 0;
  }
  display.mode_index = video_has_mode(width, height);
  if (display.mode_index == -1) {
    width = kFallbackWidth;
    height = kFallbackHeight;
    display.mode_index = video_has_mode(width, height);
    if (display.mode_index == -1) {
      display.mode_index = 0;
      width = static_cast<int>(display.modes[0].width);
      height = static_cast<int>(display.modes[0].height);
    }
  }
  if (!platform_display_set_mode(width, height)) {
    video_release();
    return 0;
  }
  display.surfaces_ready = 1;
  display.current_width = width;
  display.current_height = height;
  display.memory[kSurfaceScreen] = nullptr;
  display.memory[kSurfaceBack] = nullptr;
  if (!video_set_placement(display.video_memory)) {
    video_release();
    return 0;
  }
  display.grey_half_mask = four_lanes(video_rgb_to_pixel(127, 127, 127));
  display.grey_quarter_mask = four_lanes(video_rgb_to_pixel(63, 63, 63));
  video_fill_surface(kSurfaceScreen, 0);
  video_fill_surface(kSurfaceBack, 0);
  video_fill_surface(kSurfaceFrame, 0);
  return 1;
}

int video_get_placement() { return display.video_memory; }

int video_set_placement(int flag) {
  display.video_memory = flag;
  machine_picture_overwritten(0, kFrameHeight);
  if (!display.device_open || !platform_display_create_frame(flag)) return 0;
  return 1;
}

int32_t video_rgb_to_pixel(int r, int g, int b) {
  if (!display.device_open) return -1;
  const int32_t r5 = (r & 0xFF) >> 3, g6 = (g & 0xFF) >> 2, b5 = (b & 0xFF) >> 3;
  return r5 << 11 | g6 << 5 | b5;
}

void video_release() {
  if (!display.device_open) return;
  // The surface goes; the machine draws into its own picture again.
  machine_lend_picture(nullptr, 0);
  display.surfaces_ready = 0;
  platform_display_close();
  display.device_open = 0;
  display.mode_count = 0;
  display.mode_index = -1;
  display.current_width = 0;
  display.current_height = 0;
  for (int i = 0; i < 3; ++i) {
    display.memory[i] = nullptr;
    display.pitch[i] = 0;
  }
}
