// The blit filters, written for the compiler's vectoriser: one straight loop
// per destination row, no branch per pixel, the filter chosen once per call.
#include "display/filters.h"

#include <cstddef>
#include <cstring>

namespace {

using Pixel = uint16_t;

Pixel* row_at(uint8_t* base, int pitch, int row) {
  return reinterpret_cast<Pixel*>(base + static_cast<std::ptrdiff_t>(row) * pitch);
}
const Pixel* row_at(const uint8_t* base, int pitch, int row) {
  return reinterpret_cast<const Pixel*>(base + static_cast<std::ptrdiff_t>(row) * pitch);
}

// Each pixel twice, side by side.
void widen2(const Pixel* __restrict s, Pixel* __restrict d, int n) {
  for (int i = 0; i < n; ++i) {
    d[2 * i] = s[i];
    d[2 * i + 1] = s[i];
  }
}

void widen2_half(const Pixel* __restrict s, Pixel* __restrict d, int n, Pixel mask) {
  for (int i = 0; i < n; ++i) {
    const Pixel q = static_cast<Pixel>((s[i] >> 1) & mask);
    d[2 * i] = q;
    d[2 * i + 1] = q;
  }
}

void widen2_three_quarter(const Pixel* __restrict s, Pixel* __restrict d, int n, Pixel mask) {
  for (int i = 0; i < n; ++i) {
    const Pixel q = static_cast<Pixel>(s[i] - ((s[i] >> 2) & mask));
    d[2 * i] = q;
    d[2 * i + 1] = q;
  }
}

void widen4(const Pixel* __restrict s, Pixel* __restrict d, int n) {
  for (int i = 0; i < n; ++i) {
    d[4 * i] = s[i];
    d[4 * i + 1] = s[i];
    d[4 * i + 2] = s[i];
    d[4 * i + 3] = s[i];
  }
}

}  // namespace

FilterArea filter_scanlines(ScanlineFilter filter, const uint8_t* src, int src_pitch,
                            uint8_t* dst, int dst_pitch, int width, int rows, uint16_t half_mask,
                            uint16_t quarter_mask) {
  const int group = filter == ScanlineFilter::Double ? kDoubleGroup : kScanlineGroup;
  const int n = width / group * group;
  if (n <= 0 || rows <= 0) return {};
  const size_t out_bytes = static_cast<size_t>(n) * 2 * sizeof(Pixel);
  for (int r = 0; r < rows; ++r) {
    const Pixel* s = row_at(src, src_pitch, r);
    Pixel* top = row_at(dst, dst_pitch, 2 * r);
    Pixel* bottom = row_at(dst, dst_pitch, 2 * r + 1);
    widen2(s, top, n);
    switch (filter) {
      case ScanlineFilter::Double: std::memcpy(bottom, top, out_bytes); break;
      case ScanlineFilter::Black: std::memset(bottom, 0, out_bytes); break;
      case ScanlineFilter::Half: widen2_half(s, bottom, n, half_mask); break;
      case ScanlineFilter::ThreeQuarter: widen2_three_quarter(s, bottom, n, quarter_mask); break;
    }
  }
  return {0, 0, 2 * n, 2 * rows};
}

FilterArea filter_quadruple(const uint8_t* src, int src_pitch, uint8_t* dst, int dst_pitch,
                            int width, int rows) {
  const int n = width / kScanlineGroup * kScanlineGroup;
  if (n <= 0 || rows <= 0) return {};
  const size_t out_bytes = static_cast<size_t>(n) * 4 * sizeof(Pixel);
  for (int r = 0; r < rows; ++r) {
    Pixel* first = row_at(dst, dst_pitch, 4 * r);
    widen4(row_at(src, src_pitch, r), first, n);
    std::memcpy(row_at(dst, dst_pitch, 4 * r + 1), first, out_bytes);
    std::memcpy(row_at(dst, dst_pitch, 4 * r + 2), first, out_bytes);
    std::memset(row_at(dst, dst_pitch, 4 * r + 3), 0, out_bytes);
  }
  return {0, 0, 4 * n, 4 * rows};
}
