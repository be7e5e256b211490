#include "trash_pose_estimate/grab_geometry.hpp"

#include <cmath>

namespace orvanite
{

Eigen::Quaterniond GraspDownQuaternion() { return Eigen::Quaterniond(0.0, 0.0, 1.0, 0.0); }

Eigen::Quaterniond QuarterTurnAboutY()
{
  // sin and cos of pi/4 as computed in double; they differ in the last bit.
  return Eigen::Quaterniond(0.7071067811865476, 0.0, 0.7071067811865475, 0.0);
}

Eigen::Quaterniond HalfAngleQuaternion(const Eigen::Vector3d & axis, float angle)
{
  const float half = angle * 0.5f;
  const double sine = std::sin(half);
  const double cosine = std::cos(half);
  return Eigen::Quaterniond(cosine, axis.x() * sine, axis.y() * sine, axis.z() * sine);
}

Eigen::Quaterniond TopDownGraspOrientation(float rot_z)
{
  return GraspDownQuaternion() * HalfAngleQuaternion(Eigen::Vector3d::UnitZ(), rot_z);
}

Eigen::Quaterniond SideGraspOrientation(const Eigen::Vector3f & tcp)
{
  const float rot_x = -std::atan2(tcp.y(), -tcp.x());
  return (GraspDownQuaternion() * QuarterTurnAboutY()) *
         HalfAngleQuaternion(Eigen::Vector3d::UnitX(), rot_x);
}

Eigen::Vector3f MoveAwayInFloorPlane(
  const Eigen::Vector3f & tcp, const Eigen::Vector2f & from, float distance)
{
  Eigen::Vector3f direction(tcp.x() - from.x(), tcp.y() - from.y(), 0.0f);
  direction.normalize();  // a zero vector stays zero
  Eigen::Vector3f moved = tcp;
  moved.x() += distance * direction.x();
  moved.y() += distance * direction.y();
  return moved;
}

}  // namespace orvanite
