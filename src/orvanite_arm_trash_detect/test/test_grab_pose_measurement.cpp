// Cloud measurement: PCA extents and axes, oriented and axis-aligned boxes, footprint rectangle
// and the width across the line of sight.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>
#include <pcl/exceptions.h>

#include "support/cloud_table.hpp"
#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "support/plain_stages.hpp"
#include "support/synthetic_clouds.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

using orvanite_test::Cloud;
using orvanite_test::ContainsLine;
using orvanite_test::MakeCloud;

class GrabPoseMeasurement : public ::testing::Test
{
protected:
  void SetUp() override { estimate_ = config_.MakeEstimator(); }

  // A flat grid on z = 0 of nx x ny points with the given spacings, starting at (x0, y0).
  static Cloud::Ptr Grid(float x0, float y0, int nx, int ny, float dx, float dy)
  {
    std::vector<Eigen::Vector3f> points;
    for (int i = 0; i < nx; ++i) {
      for (int j = 0; j < ny; ++j) {
        points.emplace_back(x0 + i * dx, y0 + j * dy, 0.0f);
      }
    }
    return MakeCloud(points);
  }

  orvanite_test::GrabPoseConfigFile config_;
  std::unique_ptr<GrabPoseEstimate> estimate_;
};

TEST_F(GrabPoseMeasurement, LineAlongXHasItsLengthOnTheFirstAxis)
{
  std::vector<Eigen::Vector3f> points;
  for (int i = 0; i <= 40; ++i) {
    const float wobble = (i % 3 - 1) * 0.002f;
    points.emplace_back(i * 0.005f, wobble, -wobble);
  }
  Cloud::Ptr cloud = MakeCloud(points);
  estimate_->PCAFunc(cloud);
  estimate_->MinAreaRectFunc(cloud);
  EXPECT_NEAR(estimate_->pca_size_[0], 0.2f, 1e-4f);
  EXPECT_LT(estimate_->pca_size_[1], 0.01f);
  EXPECT_NEAR(std::fabs(estimate_->pca_eigen_vectors_(0, 0)), 1.0f, 1e-3f);
  EXPECT_NEAR(estimate_->pca_center_.x(), 0.1f, 1e-5f);
  EXPECT_EQ(estimate_->pca_center_.w(), 1.0f);
  // Right-handed axes.
  const Eigen::Matrix3f & axes = estimate_->pca_eigen_vectors_;
  EXPECT_TRUE(axes.col(0).cross(axes.col(1)).isApprox(axes.col(2), 1e-4f));
  EXPECT_NEAR(estimate_->min_rect_direction_[0], 1.0f, 1e-3f);
  EXPECT_NEAR(estimate_->min_rect_direction_[1], 0.0f, 0.03f);
}

TEST_F(GrabPoseMeasurement, RectangleDirectionRunsAlongTheLongSideWithNonNegativeX)
{
  // 0.05 along x, 0.1 along y.
  Cloud::Ptr cloud = Grid(-0.5f, 0.2f, 6, 11, 0.01f, 0.01f);
  estimate_->MinAreaRectFunc(cloud);
  float direction[2] = {5.0f, 5.0f};
  estimate_->GetMinAreaRectDirection(direction);
  EXPECT_GE(direction[0], 0.0f);
  EXPECT_NEAR(direction[0], 0.0f, 1e-5f);
  EXPECT_NEAR(std::fabs(direction[1]), 1.0f, 1e-5f);
  for (const auto & corner : estimate_->min_rect_points_) {
    EXPECT_NEAR(corner.x, corner.x < -0.475f ? -0.5f : -0.45f, 1e-5f);
  }
}

TEST_F(GrabPoseMeasurement, SquareFootprintTakesTheEdgeFromCornerOneToTwo)
{
  // Sides of exactly equal length: the width side, from corner 1 to corner 2, is taken.
  Cloud::Ptr cloud = Grid(-0.5f, 0.0f, 5, 5, 0.01f, 0.01f);
  estimate_->MinAreaRectFunc(cloud);
  const auto & corners = estimate_->min_rect_points_;
  Eigen::Vector2f edge(corners[2].x - corners[1].x, corners[2].y - corners[1].y);
  edge.normalize();
  if (edge.x() < 0.0f) {
    edge = -edge;
  }
  EXPECT_NEAR(estimate_->min_rect_direction_[0], edge.x(), 1e-5f);
  EXPECT_NEAR(estimate_->min_rect_direction_[1], edge.y(), 1e-5f);
}

TEST_F(GrabPoseMeasurement, DirectionIsZeroBeforeAnyRectangle)
{
  float direction[2] = {5.0f, 5.0f};
  estimate_->GetMinAreaRectDirection(direction);
  EXPECT_EQ(direction[0], 0.0f);
  EXPECT_EQ(direction[1], 0.0f);
}

TEST_F(GrabPoseMeasurement, BoxesOfAnAxisAlignedBlock)
{
  Cloud::Ptr cloud = orvanite_test::Replicated(
    orvanite_test::BoxCorners(
      Eigen::Vector3f(0.1f, 0.05f, 0.025f), Eigen::Vector3f(0.2f, 0.1f, 0.05f)),
    1);
  // Shift the corners so that the minimum is exactly the origin.
  for (auto & p : cloud->points) {
    p.x = p.x < 0.1f ? 0.0f : 0.2f;
    p.y = p.y < 0.05f ? 0.0f : 0.1f;
    p.z = p.z < 0.025f ? 0.0f : 0.05f;
  }
  orvanite_test::LogCapture capture;
  estimate_->AABBFunc(cloud);
  EXPECT_EQ(estimate_->aabb_center_[0], 0.1f);
  EXPECT_EQ(estimate_->aabb_center_[1], 0.05f);
  EXPECT_EQ(estimate_->aabb_center_[2], 0.025f);
  EXPECT_EQ(estimate_->aabb_max_point_.x, 0.2f);
  const auto messages = capture.Messages();
  EXPECT_TRUE(ContainsLine(messages, "[DEBUG] AABB包围盒的长宽高尺寸为: 0.2 * 0.1 * 0.05"));
  EXPECT_TRUE(ContainsLine(messages, "[DEBUG] AABB包围盒的位置: x: 0.1, y: 0.05, z: 0.025"));

  Cloud::Ptr surface = orvanite_test::BoxSurface(
    Eigen::Vector3f(-0.5f, 0.1f, -0.15f), Eigen::Vector3f(0.2f, 0.06f, 0.04f), 0.01f);
  estimate_->OBBFunc(surface);
  EXPECT_TRUE(estimate_->obb_position_.isApprox(Eigen::Vector3f(-0.5f, 0.1f, -0.15f), 1e-2f));
  EXPECT_TRUE((estimate_->obb_rotation_.transpose() * estimate_->obb_rotation_).isIdentity(1e-4f));
  EXPECT_TRUE(
    estimate_->obb_orientation_.toRotationMatrix().isApprox(estimate_->obb_rotation_, 1e-4f));
  const float longest = estimate_->obb_max_point_.x - estimate_->obb_min_point_.x;
  EXPECT_NEAR(longest, 0.2f, 1e-3f);
}

TEST_F(GrabPoseMeasurement, ProjectedWidthIsTheSpreadAcrossTheLineOfSight)
{
  Cloud::Ptr cloud = MakeCloud({{-0.5f, 0.0f, 0.0f}, {-0.6f, -0.03f, 0.1f}, {-0.6f, 0.02f, 0.0f}});
  EXPECT_NEAR(estimate_->GetTrashProjectWith(cloud), 0.05f, 1e-6f);

  // Seen from (-0.5, 0.1) the nearest point lies on the line x = -0.5: the width is along x.
  estimate_->camera_extrinsic_.col(3) << -0.5f, 0.1f, 0.4f, 1.0f;
  EXPECT_NEAR(estimate_->GetTrashProjectWith(cloud), 0.1f, 1e-6f);

  // Nearest point straight below the camera: no direction, no width.
  estimate_->camera_extrinsic_.col(3) << -0.5f, 0.0f, 0.4f, 1.0f;
  EXPECT_EQ(estimate_->GetTrashProjectWith(cloud), 0.0f);
}

TEST_F(GrabPoseMeasurement, PcaOfTwoPointsThrows)
{
  Cloud::Ptr cloud = MakeCloud({{0, 0, 0}, {1, 0, 0}});
  EXPECT_THROW(estimate_->PCAFunc(cloud), pcl::InitFailedException);
}

// Each box comes from one pass of its own, not from complete moment-of-inertia estimations on
// copies; every member must still hold the very bits those estimations give.
TEST_F(GrabPoseMeasurement, BoxesAreBitIdenticalToCompleteEstimations)
{
  using orvanite_test::SameBits;
  for (auto & [name, cloud] : orvanite_test::CloudTable()) {
    SCOPED_TRACE(name);
    const auto obb = orvanite_test::plain::Obb(*cloud);
    const auto aabb = orvanite_test::plain::Aabb(*cloud);
    estimate_->OBBFunc(cloud);
    estimate_->AABBFunc(cloud);
    EXPECT_TRUE(SameBits(estimate_->obb_rotation_, obb.rotation));
    EXPECT_TRUE(SameBits(estimate_->obb_position_, obb.position));
    EXPECT_TRUE(SameBits(estimate_->obb_orientation_.coeffs(), obb.orientation.coeffs()));
    EXPECT_TRUE(SameBits(estimate_->obb_min_point_, obb.min_point));
    EXPECT_TRUE(SameBits(estimate_->obb_max_point_, obb.max_point));
    EXPECT_TRUE(SameBits(estimate_->aabb_center_, aabb.center));
    EXPECT_TRUE(SameBits(estimate_->aabb_min_point_, aabb.min_point));
    EXPECT_TRUE(SameBits(estimate_->aabb_max_point_, aabb.max_point));
  }
}

// Signed zeros and NaN coordinates: the axis-aligned box takes the last of equal values and
// never a NaN, as the estimation does.
TEST_F(GrabPoseMeasurement, AxisAlignedBoxTiesAndNaNAsTheEstimation)
{
  const float nan = std::nanf("");
  const std::vector<Cloud::Ptr> clouds = {
    MakeCloud({{0.0f, -0.0f, 0.0f}, {-0.0f, 0.0f, -0.0f}, {0.0f, -0.0f, 0.0f}}),
    MakeCloud({{nan, 0.1f, 0.2f}, {0.3f, nan, 0.1f}, {0.2f, 0.2f, nan}, {0.1f, 0.3f, 0.3f}}),
    MakeCloud({}),
  };
  for (auto cloud : clouds) {
    const auto aabb = orvanite_test::plain::Aabb(*cloud);
    estimate_->AABBFunc(cloud);
    EXPECT_TRUE(orvanite_test::SameBits(estimate_->aabb_min_point_, aabb.min_point));
    EXPECT_TRUE(orvanite_test::SameBits(estimate_->aabb_max_point_, aabb.max_point));
    EXPECT_TRUE(orvanite_test::SameBits(estimate_->aabb_center_, aabb.center));
  }
}

}  // namespace
