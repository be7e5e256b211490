#include "orvanite_scene_sim/ground_truth.hpp"

#include <cmath>

#include <gtest/gtest.h>

#include "scene_builder.hpp"

namespace orvanite_scene_sim
{
namespace
{

using test::MakeObject;

constexpr double kDeg = M_PI / 180.0;

Scene SceneWithArmBaseInMap()
{
  Scene scene;
  scene.arm_base_in_map.linear() = RotationFromRpy(0, 0, 90 * kDeg);
  scene.arm_base_in_map.translation() = Eigen::Vector3d(2.0, 1.0, 0.0);
  return scene;
}

TEST(GroundTruth, LyingSheetIsGraspedAtItsTopCentre)
{
  Scene scene = SceneWithArmBaseInMap();
  scene.objects.push_back(MakeObject(
    Shape::kSheet, Eigen::Vector3d(0.2, 0.1, 0.002), Eigen::Vector2d(0.5, 0.1), 30 * kDeg, false));
  const ObjectTruth truth = GroundTruth(scene).at(0);
  EXPECT_TRUE(truth.centre.isApprox(Eigen::Vector3d(0.5, 0.1, 0.001)));
  EXPECT_TRUE(truth.grasp_point.isApprox(Eigen::Vector3d(0.5, 0.1, 0.002)));
  EXPECT_NEAR(truth.top_z, 0.002, 1e-12);
  EXPECT_TRUE(truth.extents.isApprox(Eigen::Vector3d(0.2, 0.1, 0.002)));
  EXPECT_TRUE(
    truth.long_axis.isApprox(Eigen::Vector3d(std::cos(30 * kDeg), std::sin(30 * kDeg), 0)));
  // Yaw 90 degrees, then (2, 1): arm-base (x, y) lies at map (2 - y, 1 + x).
  EXPECT_TRUE(truth.centre_in_map.isApprox(Eigen::Vector3d(1.9, 1.5, 0.001)));
  ASSERT_EQ(truth.footprint.size(), 4U);
  const Eigen::Vector2d along = 0.1 * truth.long_axis.head<2>();
  const Eigen::Vector2d across(-0.05 * std::sin(30 * kDeg), 0.05 * std::cos(30 * kDeg));
  EXPECT_TRUE(truth.footprint[0].isApprox(Eigen::Vector2d(0.5, 0.1) + along + across));
  EXPECT_TRUE(truth.footprint[2].isApprox(Eigen::Vector2d(0.5, 0.1) - along - across));
}

TEST(GroundTruth, StandingCylinderIsGraspedAroundItsMiddle)
{
  Scene scene = SceneWithArmBaseInMap();
  scene.objects.push_back(MakeObject(
    Shape::kCylinder, Eigen::Vector3d(0.2, 0.06, 0.06), Eigen::Vector2d(0.4, -0.1), 0, true));
  const ObjectTruth truth = GroundTruth(scene).at(0);
  EXPECT_TRUE(truth.standing);
  EXPECT_NEAR(truth.top_z, 0.2, 1e-12);
  EXPECT_TRUE(truth.grasp_point.isApprox(Eigen::Vector3d(0.4, -0.1, 0.1)));
  EXPECT_TRUE(truth.long_axis.isApprox(Eigen::Vector3d::UnitZ()));
  double area = 0.0;  // shoelace: a diameter-wide square
  for (std::size_t i = 0; i < 4; ++i) {
    const Eigen::Vector2d & a = truth.footprint[i];
    const Eigen::Vector2d & b = truth.footprint[(i + 1) % 4];
    area += a.x() * b.y() - b.x() * a.y();
  }
  EXPECT_NEAR(std::abs(area) / 2.0, 0.06 * 0.06, 1e-12);
}

}  // namespace
}  // namespace orvanite_scene_sim
