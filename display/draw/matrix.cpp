#include "display/draw/matrix.h"

int InitMatrix3x2(Matrix3x2* matrix, float m00, float m01, float m10, float m11, float m20, float m21) {
  if (matrix == nullptr) return 0;
  *matrix = {{{m00, m01}, {m10, m11}, {m20, m21}}};
  return 1;
}

int MultiplyPoint3x2(const Point2D* point, const Matrix3x2* matrix, Point2D* out) {
  if (point == nullptr || matrix == nullptr || out == nullptr) return 0;
  const auto& m = matrix->m;
  const Point2D p = *point;
  *out = {p.x * m[0][0] + p.y * m[1][0] + m[2][0], p.x * m[0][1] + p.y * m[1][1] + m[2][1]};
  return 1;
}

int Multiply1x3By3x3(const Matrix1x3* row, const Matrix3x3* matrix, Matrix1x3* out) {
  if (row == nullptr || matrix == nullptr || out == nullptr) return 0;
  const Matrix1x3 r = *row;
  Matrix1x3 result{};
  for (int j = 0; j < 3; ++j)
    for (int k = 0; k < 3; ++k) result.m[j] += r.m[k] * matrix->m[k][j];
  *out = result;
  return 1;
}

int Multiply3x3(const Matrix3x3* a, const Matrix3x3* b, Matrix3x3* out) {
  if (a == nullptr || b == nullptr || out == nullptr) return 0;
  Matrix3x3 result{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) result.m[i][j] += a->m[i][k] * b->m[k][j];
  *out = result;
  return 1;
}
