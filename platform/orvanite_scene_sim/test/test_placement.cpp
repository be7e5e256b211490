#include "orvanite_scene_sim/placement.hpp"

#include <cmath>
#include <stdexcept>

#include <gtest/gtest.h>

namespace orvanite_scene_sim
{
namespace
{

constexpr double kDeg = M_PI / 180.0;

TEST(OpticalPose, LevelCameraLooksAlongXWithRowsRightAndColumnsDown)
{
  const Eigen::Isometry3d pose = OpticalPoseFromRpy(Eigen::Vector3d(1, 2, 3), 0, 0, 0);
  EXPECT_TRUE(pose.linear().col(0).isApprox(-Eigen::Vector3d::UnitY()));
  EXPECT_TRUE(pose.linear().col(1).isApprox(-Eigen::Vector3d::UnitZ()));
  EXPECT_TRUE(pose.linear().col(2).isApprox(Eigen::Vector3d::UnitX()));
  EXPECT_TRUE(pose.translation().isApprox(Eigen::Vector3d(1, 2, 3)));
}

TEST(OpticalPose, PositivePitchLooksDownAndYawTurnsLeft)
{
  const Eigen::Isometry3d pose =
    OpticalPoseFromRpy(Eigen::Vector3d::Zero(), 0, 30 * kDeg, 90 * kDeg);
  const Eigen::Vector3d expected_axis(0.0, std::cos(30 * kDeg), -std::sin(30 * kDeg));
  EXPECT_TRUE(pose.linear().col(2).isApprox(expected_axis, 1e-12));
  EXPECT_NEAR(pose.linear().col(0).z(), 0.0, 1e-12);  // rows stay horizontal without roll
}

TEST(OpticalPose, LookAtAimsTheOpticalAxisAtTheTargetWithHorizontalRows)
{
  const Eigen::Vector3d position(0.1, -0.2, 0.7);
  const Eigen::Vector3d target(0.6, 0.3, 0.0);
  const Eigen::Isometry3d pose = OpticalPoseLookAt(position, target);
  EXPECT_TRUE(pose.linear().col(2).isApprox((target - position).normalized(), 1e-12));
  EXPECT_NEAR(pose.linear().col(0).z(), 0.0, 1e-12);
  EXPECT_LT(pose.linear().col(1).z(), 0.0);  // image rows grow downwards
  EXPECT_NEAR(pose.linear().determinant(), 1.0, 1e-12);
}

TEST(OpticalPose, LookAtStraightDownHasNoHorizontalRowAndThrows)
{
  EXPECT_THROW(
    OpticalPoseLookAt(Eigen::Vector3d(0.5, 0, 0.7), Eigen::Vector3d(0.5, 0, 0)),
    std::invalid_argument);
}

TEST(FloorPose, ObjectsRestOnTheFloorWithTheLongAxisWhereAsked)
{
  const Eigen::Vector3d size(0.2, 0.06, 0.04);
  const Eigen::Isometry3d lying = FloorPose(size, Eigen::Vector2d(0.5, 0.1), 30 * kDeg, false, 0.0);
  EXPECT_TRUE(lying.translation().isApprox(Eigen::Vector3d(0.5, 0.1, 0.02)));
  EXPECT_TRUE(lying.linear().col(0).isApprox(
    Eigen::Vector3d(std::cos(30 * kDeg), std::sin(30 * kDeg), 0), 1e-12));

  const Eigen::Isometry3d standing =
    FloorPose(size, Eigen::Vector2d(0.5, 0.1), 30 * kDeg, true, 0.0);
  EXPECT_TRUE(standing.translation().isApprox(Eigen::Vector3d(0.5, 0.1, 0.1)));
  EXPECT_TRUE(standing.linear().col(0).isApprox(Eigen::Vector3d::UnitZ(), 1e-12));
  EXPECT_NEAR(standing.linear().determinant(), 1.0, 1e-12);

  // A floor below the arm-base origin, as on the robot.
  const Eigen::Isometry3d low = FloorPose(size, Eigen::Vector2d(0.5, 0.1), 30 * kDeg, true, -0.176);
  EXPECT_TRUE(low.translation().isApprox(Eigen::Vector3d(0.5, 0.1, -0.076)));
}

}  // namespace
}  // namespace orvanite_scene_sim
