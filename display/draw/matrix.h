#pragma once
// Small row-vector matrices: a 3 x 2 matrix (its third row is the translation) for 2D points,
// and 3 x 3 products.
#include <cstdint>

struct Point2D {
  float x, y;
};
struct Matrix1x3 {
  float m[3];
};
struct Matrix3x2 {
  float m[3][2];
};
struct Matrix3x3 {
  float m[3][3];
};

// All return 1, or 0 when a pointer is null.
int InitMatrix3x2(Matrix3x2* matrix, float m00, float m01, float m10, float m11, float m20, float m21);
// out = (x, y, 1) x matrix. out may be the input point.
int MultiplyPoint3x2(const Point2D* point, const Matrix3x2* matrix, Point2D* out);
// out = row x matrix. out may be the input row.
int Multiply1x3By3x3(const Matrix1x3* row, const Matrix3x3* matrix, Matrix1x3* out);
// out = a x b. out may be a or b.
int Multiply3x3(const Matrix3x3* a, const Matrix3x3* b, Matrix3x3* out);
