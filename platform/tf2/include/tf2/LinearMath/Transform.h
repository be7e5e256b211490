#ifndef TF2__LINEARMATH__TRANSFORM_H_
#define TF2__LINEARMATH__TRANSFORM_H_

#include "tf2/LinearMath/Matrix3x3.h"
#include "tf2/LinearMath/Quaternion.h"
#include "tf2/LinearMath/Vector3.h"

namespace tf2
{
// A rigid transform p' = basis * p + origin; the identity when default-constructed.
class Transform
{
public:
  Transform() = default;
  explicit Transform(const Quaternion & q, const Vector3 & origin = Vector3())
  : basis_(q), origin_(origin)
  {
  }
  explicit Transform(const Matrix3x3 & basis, const Vector3 & origin = Vector3())
  : basis_(basis), origin_(origin)
  {
  }

  const Matrix3x3 & getBasis() const { return basis_; }
  const Vector3 & getOrigin() const { return origin_; }
  Quaternion getRotation() const
  {
    Quaternion q;
    basis_.getRotation(q);
    return q;
  }
  void setBasis(const Matrix3x3 & basis) { basis_ = basis; }
  void setOrigin(const Vector3 & origin) { origin_ = origin; }
  void setRotation(const Quaternion & q) { basis_.setRotation(q); }
  void setIdentity() { *this = Transform(); }

  Vector3 operator()(const Vector3 & v) const { return basis_ * v + origin_; }
  Vector3 operator*(const Vector3 & v) const { return (*this)(v); }
  // Applies `t` first, then this.
  Transform operator*(const Transform & t) const
  {
    return Transform(basis_ * t.basis_, (*this)(t.origin_));
  }
  Transform inverse() const
  {
    const Matrix3x3 inverse_basis = basis_.transpose();
    return Transform(inverse_basis, inverse_basis * -origin_);
  }

  static const Transform & getIdentity()
  {
    static const Transform identity;
    return identity;
  }

private:
  Matrix3x3 basis_;
  Vector3 origin_;
};
}  // namespace tf2

#endif  // TF2__LINEARMATH__TRANSFORM_H_
