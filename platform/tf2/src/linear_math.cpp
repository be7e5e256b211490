#include <Eigen/Geometry>

#include "tf2/LinearMath/Matrix3x3.h"
#include "tf2/LinearMath/Quaternion.h"

namespace tf2
{
namespace
{
Eigen::Quaterniond toEigen(const Quaternion & q) { return {q.w(), q.x(), q.y(), q.z()}; }
Quaternion fromEigen(const Eigen::Quaterniond & q) { return {q.x(), q.y(), q.z(), q.w()}; }
}  // namespace

void Quaternion::setRotation(const Vector3 & axis, tf2Scalar angle)
{
  const Eigen::Vector3d unit_axis = Eigen::Vector3d(axis.x(), axis.y(), axis.z()).normalized();
  *this = fromEigen(Eigen::Quaterniond(Eigen::AngleAxisd(angle, unit_axis)));
}

void Quaternion::setRPY(tf2Scalar roll, tf2Scalar pitch, tf2Scalar yaw)
{
  *this = fromEigen(Eigen::Quaterniond(
    Eigen::AngleAxisd(yaw, Eigen::Vector3d::UnitZ()) *
    Eigen::AngleAxisd(pitch, Eigen::Vector3d::UnitY()) *
    Eigen::AngleAxisd(roll, Eigen::Vector3d::UnitX())));
}

Quaternion & Quaternion::normalize()
{
  *this = fromEigen(toEigen(*this).normalized());
  return *this;
}

Quaternion & Quaternion::operator*=(const Quaternion & q)
{
  *this = fromEigen(toEigen(*this) * toEigen(q));
  return *this;
}

Quaternion Quaternion::slerp(const Quaternion & q, tf2Scalar t) const
{
  return fromEigen(toEigen(*this).slerp(t, toEigen(q)));
}

const Quaternion & Quaternion::getIdentity()
{
  static const Quaternion identity;
  return identity;
}

Vector3 quatRotate(const Quaternion & rotation, const Vector3 & v)
{
  const Eigen::Vector3d r = toEigen(rotation) * Eigen::Vector3d(v.x(), v.y(), v.z());
  return Vector3(r.x(), r.y(), r.z());
}

void Matrix3x3::setRotation(const Quaternion & q)
{
  const Eigen::Matrix3d m = toEigen(q).normalized().toRotationMatrix();
  *this =
    Matrix3x3(m(0, 0), m(0, 1), m(0, 2), m(1, 0), m(1, 1), m(1, 2), m(2, 0), m(2, 1), m(2, 2));
}

void Matrix3x3::getRotation(Quaternion & q) const
{
  Eigen::Matrix3d m;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      m(r, c) = rows_[r][c];
    }
  }
  q = fromEigen(Eigen::Quaterniond(m));
}
}  // namespace tf2
