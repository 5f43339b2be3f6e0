#include "display/draw/trig.h"

#include <cmath>

float cos_table[361];
float sin_table[361];

namespace {
// Rotations must not collapse polygons just because nobody built the tables yet.
const int tables_built = BuildTrigTables();
}  // namespace

int BuildTrigTables() {
  const float pi = 3.1415927f;
  for (int d = 0; d <= 360; ++d) {
    const float angle = static_cast<float>(d) * pi / 180.0f;
    cos_table[d] = Cosine(angle);
    sin_table[d] = Sine(angle);
  }
  return 1;
}

int TrigIndex(int32_t degrees) {
  if (degrees > 360 || degrees < -360) degrees %= 360;
  return degrees < 0 ? degrees + 360 : degrees;
}

// The double-precision functions, as C's cos and sin take a float: the float overloads round
// differently in the last bit for some angles.
float Cosine(float radians) { return static_cast<float>(std::cos(static_cast<double>(radians))); }
float Sine(float radians) { return static_cast<float>(std::sin(static_cast<double>(radians))); }
