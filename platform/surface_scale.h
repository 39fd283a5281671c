// Internal to platform/: the software blit both backends share when a copy or
// a stretch has to be done by the host processor (headless always; SDL when
// the frame surface sits in host memory or the renderer cannot draw into a
// texture).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// A 16-bit surface in host memory.
struct HostSurface {
  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes per row
};

// 1 when the rectangle is non-empty and lies inside the surface.
int surface_rect_inside(const HostSurface& s, const PlatformRect& r);

// Copies (same sizes) or stretches src_rect of src into dst_rect of dst, each
// destination pixel taking the nearest source pixel. The rectangles must lie
// inside their surfaces (surface_rect_inside).
void surface_blit_nearest(const HostSurface& dst, const PlatformRect& dst_rect,
                          const HostSurface& src, const PlatformRect& src_rect);

void surface_fill(const HostSurface& s, uint16_t pixel);
// A surface of width x height over `buffer`, which is resized and cleared.
HostSurface make_surface(std::vector<uint16_t>& buffer, int width, int height);
