// Poses of what a scene places: litter resting on the floor and cameras aimed at it.
#ifndef ORVANITE_SCENE_SIM__PLACEMENT_HPP_
#define ORVANITE_SCENE_SIM__PLACEMENT_HPP_

#include <Eigen/Geometry>

namespace orvanite_scene_sim
{

// Rz(yaw) Ry(pitch) Rx(roll), angles in radians: roll about x first, then pitch about y, then yaw
// about z, all about fixed axes.
Eigen::Matrix3d RotationFromRpy(double roll, double pitch, double yaw);

// The pose of an object of the given size (object frame, long axis x) resting on the floor, the
// plane z = floor_z of the arm-base frame, with its centre above floor point xy and its long axis
// at yaw (radians) from the arm-base x axis; standing turns the long axis upright (object z then
// points along the yaw, away from x).
Eigen::Isometry3d FloorPose(
  const Eigen::Vector3d & size, const Eigen::Vector2d & xy, double yaw, bool standing,
  double floor_z);

// The optical frame (x right, y down, z forward) of a camera whose body frame (x forward, y left,
// z up) sits at position with roll, pitch and yaw in radians (applied as Rz(yaw) Ry(pitch)
// Rx(roll)); a positive pitch looks down.
Eigen::Isometry3d OpticalPoseFromRpy(
  const Eigen::Vector3d & position, double roll, double pitch, double yaw);

// The optical frame of a camera at position whose optical axis passes through target, image rows
// kept horizontal. Throws std::invalid_argument when target lies straight above or below the
// camera (or on it), where no horizontal row exists.
Eigen::Isometry3d OpticalPoseLookAt(
  const Eigen::Vector3d & position, const Eigen::Vector3d & target);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__PLACEMENT_HPP_
