// The live sound's resampler: four-point cubic interpolation over the last
// frame's tail and this frame's samples.
#include "app/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The Catmull-Rom spline through x1 and x2 at 0 <= t < 1, its slopes taken
// from the neighbours x0 and x3.
double cubic(double x0, double x1, double x2, double x3, double t) {
  return x1 + 0.5 * t * (x2 - x0 + t * (2.0 * x0 - 5.0 * x1 + 4.0 * x2 - x3 + t * (3.0 * (x1 - x2) + x3 - x0)));
}

// Rounded to the nearest, halves away from zero, and clipped.
int16_t to_sample(double v) {
  const double clipped = std::clamp(v, -32768.0, 32767.0);
  return static_cast<int16_t>(clipped < 0.0 ? clipped - 0.5 : clipped + 0.5);
}

}  // namespace

void resampler_reset(Resampler& r) { r = Resampler{}; }

int32_t resampler_run(Resampler& r, const int16_t* in, int32_t count, double ratio, int16_t* out) {
  if (count <= 0 || count > kResamplerMaxInput || !(ratio >= 0.5 && ratio <= 2.0)) return 0;
  // The history, then the frame: s[i] is input sample i - kResamplerHistory.
  int16_t s[kResamplerHistory + kResamplerMaxInput];
  std::memcpy(s, r.history, sizeof r.history);
  std::memcpy(s + kResamplerHistory, in, static_cast<size_t>(count) * sizeof(int16_t));
  const double step = 1.0 / ratio;
  double p = r.position;
  int32_t made = 0;
  // Sample i needs s[i - 1] to s[i + 2]; the last of those is s[count + 2].
  for (auto i = static_cast<int32_t>(p); i <= count; i = static_cast<int32_t>(p)) {
    out[made++] = to_sample(cubic(s[i - 1], s[i], s[i + 1], s[i + 2], p - i));
    p += step;
  }
  std::memcpy(r.history, s + count, sizeof r.history);
  r.position = p - count;
  return made;
}
