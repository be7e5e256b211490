#ifndef TF2__LINEARMATH__MATRIX3X3_H_
#define TF2__LINEARMATH__MATRIX3X3_H_

#include "tf2/LinearMath/Quaternion.h"
#include "tf2/LinearMath/Scalar.h"
#include "tf2/LinearMath/Vector3.h"

namespace tf2
{
// A rotation matrix stored by rows; the identity when default-constructed.
class Matrix3x3
{
public:
  Matrix3x3() = default;
  explicit Matrix3x3(const Quaternion & q) { setRotation(q); }
  Matrix3x3(
    tf2Scalar xx, tf2Scalar xy, tf2Scalar xz, tf2Scalar yx, tf2Scalar yy, tf2Scalar yz,
    tf2Scalar zx, tf2Scalar zy, tf2Scalar zz)
  : rows_{Vector3(xx, xy, xz), Vector3(yx, yy, yz), Vector3(zx, zy, zz)}
  {
  }

  const Vector3 & operator[](int row) const { return rows_[row]; }
  Vector3 & operator[](int row) { return rows_[row]; }
  const Vector3 & getRow(int row) const { return rows_[row]; }
  Vector3 getColumn(int column) const
  {
    return Vector3(rows_[0][column], rows_[1][column], rows_[2][column]);
  }

  void setRotation(const Quaternion & q);
  void getRotation(Quaternion & q) const;

  Matrix3x3 transpose() const
  {
    return Matrix3x3(
      rows_[0][0], rows_[1][0], rows_[2][0], rows_[0][1], rows_[1][1], rows_[2][1], rows_[0][2],
      rows_[1][2], rows_[2][2]);
  }
  Vector3 operator*(const Vector3 & v) const
  {
    return Vector3(rows_[0].dot(v), rows_[1].dot(v), rows_[2].dot(v));
  }
  Matrix3x3 operator*(const Matrix3x3 & m) const
  {
    const Vector3 c0 = m.getColumn(0), c1 = m.getColumn(1), c2 = m.getColumn(2);
    return Matrix3x3(
      rows_[0].dot(c0), rows_[0].dot(c1), rows_[0].dot(c2), rows_[1].dot(c0), rows_[1].dot(c1),
      rows_[1].dot(c2), rows_[2].dot(c0), rows_[2].dot(c1), rows_[2].dot(c2));
  }

private:
  Vector3 rows_[3] = {Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)};
};
}  // namespace tf2

#endif  // TF2__LINEARMATH__MATRIX3X3_H_
