#include "orvanite_scene_sim/ground_truth.hpp"

#include <array>

namespace orvanite_scene_sim
{

ObjectTruth TruthOf(const Scene & scene, const SceneObject & object)
{
  ObjectTruth truth;
  truth.name = object.name;
  truth.label = object.label;
  truth.standing = object.standing;
  truth.transparent = object.transparent;
  truth.pose = object.pose_in_arm_base;
  truth.extents = object.size;
  truth.centre = object.pose_in_arm_base.translation();
  truth.centre_in_map = scene.arm_base_in_map * truth.centre;
  truth.long_axis = object.pose_in_arm_base.linear().col(0);

  const Eigen::Matrix3d axes = object.pose_in_arm_base.linear();
  const Eigen::Vector3d half = object.size / 2.0;
  // Every object rests with one axis upright, so its footprint is the rectangle of the other two.
  int upright = 0;
  axes.row(2).cwiseAbs().maxCoeff(&upright);
  truth.top_z = truth.centre.z() + half[upright];
  const int a = (upright + 1) % 3;
  const int b = (upright + 2) % 3;
  const Eigen::Vector3d across_a = axes.col(a) * half[a];
  const Eigen::Vector3d across_b = axes.col(b) * half[b];
  const std::array<double, 4> sign_a = {1.0, -1.0, -1.0, 1.0};
  const std::array<double, 4> sign_b = {1.0, 1.0, -1.0, -1.0};
  for (std::size_t i = 0; i < 4; ++i) {
    const Eigen::Vector3d corner = truth.centre + sign_a[i] * across_a + sign_b[i] * across_b;
    truth.footprint.emplace_back(corner.x(), corner.y());
  }

  truth.grasp_point = truth.centre;
  if (!object.standing) {
    truth.grasp_point.z() = truth.top_z;
  }
  return truth;
}

std::vector<ObjectTruth> GroundTruth(const Scene & scene)
{
  std::vector<ObjectTruth> truths;
  for (const SceneObject & object : scene.objects) {
    truths.push_back(TruthOf(scene, object));
  }
  return truths;
}

}  // namespace orvanite_scene_sim
