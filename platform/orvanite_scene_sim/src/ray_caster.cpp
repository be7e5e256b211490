#include "orvanite_scene_sim/ray_caster.hpp"

#include <algorithm>
#include <cmath>

namespace orvanite_scene_sim
{

namespace
{

constexpr double kMinT = 1e-9;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Entry of the ray into the axis-aligned box |p_i| <= half_i (slab test); infinity on a miss.
double HitBox(const Eigen::Vector3d & o, const Eigen::Vector3d & d, const Eigen::Vector3d & half)
{
  double t_near = -kInf;
  double t_far = kInf;
  for (int i = 0; i < 3; ++i) {
    if (std::abs(d[i]) < 1e-15) {
      if (std::abs(o[i]) > half[i]) {
        return kInf;
      }
      continue;
    }
    double t0 = (-half[i] - o[i]) / d[i];
    double t1 = (half[i] - o[i]) / d[i];
    if (t0 > t1) {
      std::swap(t0, t1);
    }
    t_near = std::max(t_near, t0);
    t_far = std::min(t_far, t1);
  }
  return (t_near <= t_far && t_near > kMinT) ? t_near : kInf;
}

// First hit of the cylinder y^2 + z^2 <= r^2, |x| <= half_length: its side or a cap.
double HitCylinder(
  const Eigen::Vector3d & o, const Eigen::Vector3d & d, double radius, double half_length)
{
  double best = kInf;
  const double a = d.y() * d.y() + d.z() * d.z();
  if (a > 1e-15) {
    const double b = 2.0 * (o.y() * d.y() + o.z() * d.z());
    const double c = o.y() * o.y() + o.z() * o.z() - radius * radius;
    const double discriminant = b * b - 4.0 * a * c;
    if (discriminant >= 0.0) {
      const double t = (-b - std::sqrt(discriminant)) / (2.0 * a);
      if (t > kMinT && std::abs(o.x() + t * d.x()) <= half_length) {
        best = t;
      }
    }
  }
  if (std::abs(d.x()) > 1e-15) {
    for (const double cap : {-half_length, half_length}) {
      const double t = (cap - o.x()) / d.x();
      const Eigen::Vector3d p = o + t * d;
      if (t > kMinT && t < best && p.y() * p.y() + p.z() * p.z() <= radius * radius) {
        best = t;
      }
    }
  }
  return best;
}

double HitObject(
  const SceneObject & object, const Eigen::Vector3d & origin, const Eigen::Vector3d & direction)
{
  const Eigen::Isometry3d to_object = object.pose_in_arm_base.inverse();
  const Eigen::Vector3d o = to_object * origin;
  const Eigen::Vector3d d = to_object.linear() * direction;
  if (object.shape == Shape::kCylinder) {
    return HitCylinder(o, d, object.size.y() / 2.0, object.size.x() / 2.0);
  }
  return HitBox(o, d, object.size / 2.0);
}

}  // namespace

RayHit CastRay(
  const std::vector<SceneObject> & objects, double floor_z, const Eigen::Vector3d & origin,
  const Eigen::Vector3d & direction, bool see_through_transparent)
{
  RayHit hit;
  if (origin.z() > floor_z && direction.z() < 0.0) {
    hit = {(floor_z - origin.z()) / direction.z(), kFloor};
  }
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (see_through_transparent && objects[i].transparent) {
      continue;
    }
    const double t = HitObject(objects[i], origin, direction);
    if (t < hit.t) {
      hit = {t, static_cast<int>(i)};
    }
  }
  return hit;
}

}  // namespace orvanite_scene_sim
