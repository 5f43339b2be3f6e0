#include "display/draw/distance.h"

#include <algorithm>
#include <cmath>

#include "display/draw/coordinates.h"

int32_t FastDistance2D(int32_t dx, int32_t dy) {
  const int64_t a = std::abs(static_cast<int64_t>(dx)), b = std::abs(static_cast<int64_t>(dy));
  const int64_t m = std::min(a, b);
  const int64_t d = a + b - (m >> 1) - (m >> 2) + (m >> 4);
  return d > INT32_MAX ? INT32_MAX : static_cast<int32_t>(d);
}

float FastDistance3D(float dx, float dy, float dz) {
  // Saturated well inside 64 bits so the weighted sum below cannot overflow.
  auto scaled = [](float v) {
    return std::min<int64_t>(draw_detail::TruncToInt64(std::fabs(static_cast<double>(v)) * 1024.0), int64_t{1} << 58);
  };
  int64_t v[3] = {scaled(dx), scaled(dy), scaled(dz)};
  std::sort(v, v + 3);
  return static_cast<float>((v[2] + 11 * (v[1] >> 5) + (v[0] >> 2)) >> 10);
}
