#ifndef TF2__LINEARMATH__QUATERNION_H_
#define TF2__LINEARMATH__QUATERNION_H_

#include <cmath>

#include "tf2/LinearMath/Scalar.h"
#include "tf2/LinearMath/Vector3.h"

namespace tf2
{
// A rotation as a unit quaternion (x, y, z, w); the identity when default-constructed.
class Quaternion
{
public:
  Quaternion() = default;
  Quaternion(tf2Scalar x, tf2Scalar y, tf2Scalar z, tf2Scalar w) : x_(x), y_(y), z_(z), w_(w) {}
  // Rotation of `angle` radians about `axis` (need not be unit length).
  Quaternion(const Vector3 & axis, tf2Scalar angle) { setRotation(axis, angle); }

  const tf2Scalar & x() const { return x_; }
  const tf2Scalar & y() const { return y_; }
  const tf2Scalar & z() const { return z_; }
  const tf2Scalar & w() const { return w_; }
  const tf2Scalar & getX() const { return x_; }
  const tf2Scalar & getY() const { return y_; }
  const tf2Scalar & getZ() const { return z_; }
  const tf2Scalar & getW() const { return w_; }
  void setValue(tf2Scalar x, tf2Scalar y, tf2Scalar z, tf2Scalar w)
  {
    *this = Quaternion(x, y, z, w);
  }

  void setRotation(const Vector3 & axis, tf2Scalar angle);
  // Fixed-axis roll about X, then pitch about Y, then yaw about Z (radians).
  void setRPY(tf2Scalar roll, tf2Scalar pitch, tf2Scalar yaw);

  tf2Scalar dot(const Quaternion & q) const
  {
    return x_ * q.x_ + y_ * q.y_ + z_ * q.z_ + w_ * q.w_;
  }
  tf2Scalar length2() const { return dot(*this); }
  tf2Scalar length() const { return std::sqrt(length2()); }
  Quaternion & normalize();
  Quaternion normalized() const { return Quaternion(*this).normalize(); }
  // The conjugate, which is the inverse rotation of a unit quaternion.
  Quaternion inverse() const { return Quaternion(-x_, -y_, -z_, w_); }

  // Hamilton product: the rotation `q` followed by this one.
  Quaternion & operator*=(const Quaternion & q);

  // Spherical interpolation along the shorter arc: this at t = 0, q at t = 1.
  Quaternion slerp(const Quaternion & q, tf2Scalar t) const;

  static const Quaternion & getIdentity();

private:
  tf2Scalar x_ = 0.0;
  tf2Scalar y_ = 0.0;
  tf2Scalar z_ = 0.0;
  tf2Scalar w_ = 1.0;
};

inline Quaternion operator*(Quaternion a, const Quaternion & b) { return a *= b; }
inline Quaternion slerp(const Quaternion & q1, const Quaternion & q2, tf2Scalar t)
{
  return q1.slerp(q2, t);
}
// `v` rotated by the unit quaternion `rotation`.
Vector3 quatRotate(const Quaternion & rotation, const Vector3 & v);
}  // namespace tf2

#endif  // TF2__LINEARMATH__QUATERNION_H_
