// Scenes built in code for the tests: one camera over the floor, litter added case by case.
#ifndef ORVANITE_SCENE_SIM__TEST__SCENE_BUILDER_HPP_
#define ORVANITE_SCENE_SIM__TEST__SCENE_BUILDER_HPP_

#include <string>

#include "orvanite_scene_sim/placement.hpp"
#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim::test
{

constexpr int kLabel = 4;
const cv::Vec3b kObjectRgb(0, 0, 255);
const cv::Vec3b kFloorRgb(128, 128, 128);

// 160 x 120 pixels, principal point on a pixel centre.
inline Intrinsics SmallIntrinsics() { return {150.0, 140.0, 80.0, 60.0, 160, 120}; }

inline Scene FloorScene(const Eigen::Isometry3d & camera_pose)
{
  Scene scene;
  scene.floor_rgb = kFloorRgb;
  scene.class_rgb[kLabel] = kObjectRgb;
  scene.cameras.push_back({"cam1", "cam1_optical", SmallIntrinsics(), camera_pose});
  return scene;
}

inline SceneObject MakeObject(
  Shape shape, const Eigen::Vector3d & size, const Eigen::Vector2d & xy, double yaw, bool standing,
  bool transparent = false)
{
  SceneObject object;
  object.name = "object";
  object.label = kLabel;
  object.shape = shape;
  object.size = size;
  object.standing = standing;
  object.transparent = transparent;
  object.pose_in_arm_base = FloorPose(size, xy, yaw, standing, 0.0);
  return object;
}

// A camera 0.6 m up looking at target on the floor.
inline Eigen::Isometry3d CameraLookingAt(const Eigen::Vector3d & target)
{
  return OpticalPoseLookAt(Eigen::Vector3d(0.0, 0.0, 0.6), target);
}

}  // namespace orvanite_scene_sim::test

#endif  // ORVANITE_SCENE_SIM__TEST__SCENE_BUILDER_HPP_
