#include "orvanite_scene_sim/placement.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace orvanite_scene_sim
{

Eigen::Matrix3d RotationFromRpy(double roll, double pitch, double yaw)
{
  return (Eigen::AngleAxisd(yaw, Eigen::Vector3d::UnitZ()) *
          Eigen::AngleAxisd(pitch, Eigen::Vector3d::UnitY()) *
          Eigen::AngleAxisd(roll, Eigen::Vector3d::UnitX()))
    .toRotationMatrix();
}

Eigen::Isometry3d FloorPose(
  const Eigen::Vector3d & size, const Eigen::Vector2d & xy, double yaw, bool standing,
  double floor_z)
{
  Eigen::Isometry3d pose = Eigen::Isometry3d::Identity();
  pose.rotate(Eigen::AngleAxisd(yaw, Eigen::Vector3d::UnitZ()));
  double height = size.z();
  if (standing) {
    // A quarter turn about y takes the long axis x up to z.
    pose.rotate(Eigen::AngleAxisd(-M_PI / 2.0, Eigen::Vector3d::UnitY()));
    height = size.x();
  }
  pose.translation() = Eigen::Vector3d(xy.x(), xy.y(), floor_z + height / 2.0);
  return pose;
}

namespace
{

// Body axes (x forward, y left, z up) expressed through the optical ones (x right, y down,
// z forward): columns are the optical axes in body coordinates.
Eigen::Matrix3d BodyFromOptical()
{
  Eigen::Matrix3d rotation;
  rotation << 0, 0, 1, -1, 0, 0, 0, -1, 0;
  return rotation;
}

}  // namespace

Eigen::Isometry3d OpticalPoseFromRpy(
  const Eigen::Vector3d & position, double roll, double pitch, double yaw)
{
  Eigen::Isometry3d pose = Eigen::Isometry3d::Identity();
  pose.linear() = RotationFromRpy(roll, pitch, yaw) * BodyFromOptical();
  pose.translation() = position;
  return pose;
}

Eigen::Isometry3d OpticalPoseLookAt(
  const Eigen::Vector3d & position, const Eigen::Vector3d & target)
{
  const Eigen::Vector3d forward = target - position;
  const Eigen::Vector3d right = forward.cross(Eigen::Vector3d::UnitZ());
  if (right.norm() < 1e-9 * std::max(1.0, forward.norm())) {
    throw std::invalid_argument("the target lies straight above or below the camera");
  }
  Eigen::Isometry3d pose = Eigen::Isometry3d::Identity();
  pose.linear().col(0) = right.normalized();
  pose.linear().col(2) = forward.normalized();
  pose.linear().col(1) = pose.linear().col(2).cross(pose.linear().col(0));
  pose.translation() = position;
  return pose;
}

}  // namespace orvanite_scene_sim
