#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__GRAB_GEOMETRY_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__GRAB_GEOMETRY_HPP_

#include <Eigen/Core>
#include <Eigen/Geometry>

// Grasp geometry in the arm-base frame. Products are Hamilton products; half-angle sines
// and cosines are taken in float.
namespace orvanite
{

// q_down: half turn about y, the tool z axis points down.
Eigen::Quaterniond GraspDownQuaternion();
// q_quarter: quarter turn about y.
Eigen::Quaterniond QuarterTurnAboutY();
// (axis * sin(angle / 2), cos(angle / 2)); angle in radians, the axis is not normalised.
Eigen::Quaterniond HalfAngleQuaternion(const Eigen::Vector3d & axis, float angle);
// Top-down grasp turned by `rot_z` radians about the vertical: q_down * q_z.
Eigen::Quaterniond TopDownGraspOrientation(float rot_z);
// Horizontal grasp whose tool z axis points from the arm-base axis towards `tcp` and whose tool
// x axis points up: (q_down * q_quarter) * q_x(-atan2(y, -x)).
Eigen::Quaterniond SideGraspOrientation(const Eigen::Vector3f & tcp);
// `tcp` moved by `distance` in the floor plane along the unit direction from `from` to it; not
// moved when it lies straight above `from`. The height is kept.
Eigen::Vector3f MoveAwayInFloorPlane(
  const Eigen::Vector3f & tcp, const Eigen::Vector2f & from, float distance);

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__GRAB_GEOMETRY_HPP_
