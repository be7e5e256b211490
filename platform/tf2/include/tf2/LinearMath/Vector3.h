#ifndef TF2__LINEARMATH__VECTOR3_H_
#define TF2__LINEARMATH__VECTOR3_H_

#include <cmath>

#include "tf2/LinearMath/Scalar.h"

namespace tf2
{
// A point or direction in 3-D; zero when default-constructed.
class Vector3
{
public:
  Vector3() = default;
  Vector3(tf2Scalar x, tf2Scalar y, tf2Scalar z) : v_{x, y, z} {}

  const tf2Scalar & x() const { return v_[0]; }
  const tf2Scalar & y() const { return v_[1]; }
  const tf2Scalar & z() const { return v_[2]; }
  const tf2Scalar & getX() const { return v_[0]; }
  const tf2Scalar & getY() const { return v_[1]; }
  const tf2Scalar & getZ() const { return v_[2]; }
  void setX(tf2Scalar x) { v_[0] = x; }
  void setY(tf2Scalar y) { v_[1] = y; }
  void setZ(tf2Scalar z) { v_[2] = z; }
  void setValue(tf2Scalar x, tf2Scalar y, tf2Scalar z) { *this = Vector3(x, y, z); }

  tf2Scalar & operator[](int i) { return v_[i]; }
  const tf2Scalar & operator[](int i) const { return v_[i]; }

  Vector3 & operator+=(const Vector3 & o)
  {
    for (int i = 0; i < 3; ++i) v_[i] += o.v_[i];
    return *this;
  }
  Vector3 & operator-=(const Vector3 & o)
  {
    for (int i = 0; i < 3; ++i) v_[i] -= o.v_[i];
    return *this;
  }
  Vector3 & operator*=(tf2Scalar s)
  {
    for (tf2Scalar & c : v_) c *= s;
    return *this;
  }

  tf2Scalar dot(const Vector3 & o) const { return x() * o.x() + y() * o.y() + z() * o.z(); }
  Vector3 cross(const Vector3 & o) const
  {
    return Vector3(y() * o.z() - z() * o.y(), z() * o.x() - x() * o.z(), x() * o.y() - y() * o.x());
  }
  tf2Scalar length2() const { return dot(*this); }
  tf2Scalar length() const { return std::sqrt(length2()); }

  // Linear interpolation: this at t = 0, v at t = 1.
  Vector3 lerp(const Vector3 & v, tf2Scalar t) const
  {
    return Vector3(x() + (v.x() - x()) * t, y() + (v.y() - y()) * t, z() + (v.z() - z()) * t);
  }

private:
  tf2Scalar v_[3] = {0.0, 0.0, 0.0};
};

inline Vector3 operator+(Vector3 a, const Vector3 & b) { return a += b; }
inline Vector3 operator-(Vector3 a, const Vector3 & b) { return a -= b; }
inline Vector3 operator-(const Vector3 & v) { return Vector3(-v.x(), -v.y(), -v.z()); }
inline Vector3 operator*(Vector3 v, tf2Scalar s) { return v *= s; }
inline Vector3 operator*(tf2Scalar s, Vector3 v) { return v *= s; }
inline bool operator==(const Vector3 & a, const Vector3 & b)
{
  return a.x() == b.x() && a.y() == b.y() && a.z() == b.z();
}
inline tf2Scalar tf2Dot(const Vector3 & a, const Vector3 & b) { return a.dot(b); }
inline Vector3 tf2Cross(const Vector3 & a, const Vector3 & b) { return a.cross(b); }
}  // namespace tf2

#endif  // TF2__LINEARMATH__VECTOR3_H_
