#pragma once
// Conversions of float positions to integer pixel coordinates that cannot overflow.
#include <cmath>
#include <cstdint>

namespace draw_detail {

// Far beyond any buffer, yet small enough that 16.16 fixed point of it and of differences of
// it fit in 64 bits with room for the products of edge stepping.
constexpr int64_t kCoordinateLimit = int64_t{1} << 28;

inline int64_t ClampCoordinate(int64_t v) {
  return v < -kCoordinateLimit ? -kCoordinateLimit : (v > kCoordinateLimit ? kCoordinateLimit : v);
}

// Truncation toward zero, saturated to the 32-bit range; NaN becomes 0.
inline int32_t TruncToInt32(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483520.0f) return INT32_MAX;  // the largest float below 2^31
  if (v <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Truncation toward zero of a non-negative or negative double, saturated to 64 bits.
inline int64_t TruncToInt64(double v) {
  if (!(v == v)) return 0;
  if (v >= 9.2e18) return INT64_MAX;
  if (v <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(v);
}

}  // namespace draw_detail
