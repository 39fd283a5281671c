// The host processor's copy and nearest-pixel stretch between 16-bit surfaces.
//
// A stretch maps destination column x to source column (x * sw) / dw, and
// likewise for rows. Destination rows that take the same source row as the
// row above are copied from it, so a vertical stretch costs one row of
// lookups per source row.
#include "platform/surface_scale.h"

#include <algorithm>
#include <cstring>
#include <cstddef>
#include <vector>

namespace {

uint16_t* row_at(const HostSurface& s, int x, int y) {
  return reinterpret_cast<uint16_t*>(s.pixels + static_cast<size_t>(y) * s.pitch) + x;
}

}  // namespace

int surface_rect_inside(const HostSurface& s, const PlatformRect& r) {
  if (!s.pixels || r.w <= 0 || r.h <= 0 || r.x < 0 || r.y < 0) return 0;
  return r.x + r.w <= s.width && r.y + r.h <= s.height ? 1 : 0;
}

void surface_blit_nearest(const HostSurface& dst, const PlatformRect& dr,
                          const HostSurface& src, const PlatformRect& sr) {
  const size_t row_bytes = static_cast<size_t>(dr.w) * 2;
  if (dr.w == sr.w && dr.h == sr.h) {
    for (int y = 0; y < dr.h; ++y) {
      std::memmove(row_at(dst, dr.x, dr.y + y), row_at(src, sr.x, sr.y + y), row_bytes);
    }
    return;
  }
  // The column map is built once per blit; the back buffer is at most a few
  // thousand pixels wide, so it is kept between calls.
  static std::vector<int> columns;
  columns.resize(static_cast<size_t>(dr.w));
  for (int x = 0; x < dr.w; ++x) {
    columns[static_cast<size_t>(x)] =
        static_cast<int>(static_cast<int64_t>(x) * sr.w / dr.w);
  }
  int previous = -1;
  for (int y = 0; y < dr.h; ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y) * sr.h / dr.h);
    uint16_t* d = row_at(dst, dr.x, dr.y + y);
    if (sy == previous) {
      std::memcpy(d, row_at(dst, dr.x, dr.y + y - 1), row_bytes);
      continue;
    }
    const uint16_t* s = row_at(src, sr.x, sr.y + sy);
    for (int x = 0; x < dr.w; ++x) d[x] = s[columns[static_cast<size_t>(x)]];
    previous = sy;
  }
}

void surface_fill(const HostSurface& s, uint16_t pixel) {
  if (!s.pixels) return;
  for (int y = 0; y < s.height; ++y) std::fill_n(row_at(s, 0, y), s.width, pixel);
}

HostSurface make_surface(std::vector<uint16_t>& buffer, int width, int height) {
  buffer.assign(static_cast<size_t>(width) * height, 0);
  return HostSurface{reinterpret_cast<uint8_t*>(buffer.data()), width, height, width * 2};
}
