// Measurement of a filtered trash cloud: principal axes, bounding boxes, footprint rectangle.
#include <cfloat>
#include <chrono>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>
#include <pcl/common/pca.h>
#include <pcl/features/moment_of_inertia_estimation.h>

#include "common/ansi_colors.hpp"
#include "common/cloud_reuse.hpp"
#include "common/logger.hpp"
#include "common/elapsed_time.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

// Largest minus smallest; NaN values never replace either.
class Spread
{
public:
  void Add(float value)
  {
    if (value > largest_) {
      largest_ = value;
    }
    if (value < smallest_) {
      smallest_ = value;
    }
  }
  float Width() const { return largest_ - smallest_; }

private:
  float largest_{-FLT_MAX};
  float smallest_{FLT_MAX};
};

// The XY points of `cloud`, in order, into `footprint`.
const std::vector<cv::Point2f> & FootprintXY(
  const GrabPoseEstimate::Cloud & cloud, std::vector<cv::Point2f> & footprint)
{
  footprint.clear();
  footprint.reserve(cloud.size());
  for (const auto & point : cloud.points) {
    footprint.emplace_back(point.x, point.y);
  }
  return footprint;
}

// Beyond 90 degrees the sweep of moments and eccentricities, which nothing here reads, stops
// after its first axis; the box comes from the same mean, covariance and eigenvectors as with
// PCL's default step.
constexpr float kSingleSweepStep = 1000.0f;

// The axis-aligned box as pcl::MomentOfInertiaEstimation finds it: non-strict comparisons from
// +-FLT_MAX, so NaN never counts, the last of equal values wins and an empty cloud gives
// (FLT_MAX, -FLT_MAX).
void AxisAlignedBox(
  const GrabPoseEstimate::Cloud & cloud, pcl::PointXYZ & min_point, pcl::PointXYZ & max_point)
{
  min_point = pcl::PointXYZ(FLT_MAX, FLT_MAX, FLT_MAX);
  max_point = pcl::PointXYZ(-FLT_MAX, -FLT_MAX, -FLT_MAX);
  for (const auto & point : cloud.points) {
    for (int axis = 0; axis < 3; ++axis) {
      const float value = point.data[axis];
      if (value <= min_point.data[axis]) {
        min_point.data[axis] = value;
      }
      if (value >= max_point.data[axis]) {
        max_point.data[axis] = value;
      }
    }
  }
}

}  // namespace

void GrabPoseEstimate::PCAFunc(Cloud::Ptr & cloud)
{
  LOG_DEBUG("==================================PCA==================================");
  const auto start = std::chrono::system_clock::now();

  pcl::PCA<pcl::PointXYZ> pca;
  pca.setInputCloud(cloud);
  pca_eigen_vectors_ = pca.getEigenVectors();
  pca_center_ = pca.getMean();
  LOG_DEBUG(
    "点云中心点坐标: x: {}, y: {}, z: {}", pca_center_.x(), pca_center_.y(), pca_center_.z());

  Cloud & projected = workspace_.projected;
  orvanite::ResetKeepingCapacity(projected);
  pca.project(*cloud, projected);
  std::array<Spread, 3> spreads;
  for (const auto & point : projected.points) {
    spreads[0].Add(point.x);
    spreads[1].Add(point.y);
    spreads[2].Add(point.z);
  }
  for (std::size_t axis = 0; axis < 3; ++axis) {
    pca_size_[axis] = spreads[axis].Width();
  }
  LOG_DEBUG(
    "点云在各个特征向量方向上的长度为: x: {}, y: {}, z: {}", pca_size_[0], pca_size_[1],
    pca_size_[2]);
  LOG_DEBUG(kMagenta + "PCAFunc cost: {} ms" + kReset, orvanite::ElapsedMilliseconds(start));
}

void GrabPoseEstimate::OBBFunc(Cloud::Ptr & cloud)
{
  LOG_DEBUG("==================================OBB==================================");
  pcl::MomentOfInertiaEstimation<pcl::PointXYZ> estimation;
  estimation.setAngleStep(kSingleSweepStep);
  // Its eigen solver aborts on unmeasurable points; the caller's cloud keeps them.
  estimation.setInputCloud(MeasurablePart(cloud));
  estimation.compute();
  pcl::PointXYZ min_point;
  pcl::PointXYZ max_point;
  pcl::PointXYZ position;
  Eigen::Matrix3f rotation;
  estimation.getOBB(min_point, max_point, position, rotation);

  LOG_DEBUG(
    "OBB包围盒的长宽高尺寸为: {} * {} * {}", max_point.x - min_point.x, max_point.y - min_point.y,
    max_point.z - min_point.z);
  LOG_DEBUG("OBB包围盒的位置: x: {}, y: {}, z: {}", position.x, position.y, position.z);

  obb_rotation_ = rotation;
  obb_position_ = position.getVector3fMap();
  obb_orientation_ = Eigen::Quaternionf(rotation);
  obb_min_point_ = min_point;
  obb_max_point_ = max_point;
}

void GrabPoseEstimate::AABBFunc(Cloud::Ptr & cloud)
{
  LOG_DEBUG("=================================AABB==================================");
  pcl::PointXYZ min_point;
  pcl::PointXYZ max_point;
  AxisAlignedBox(*cloud, min_point, max_point);

  const float length = max_point.x - min_point.x;
  const float width = max_point.y - min_point.y;
  const float height = max_point.z - min_point.z;
  LOG_DEBUG("AABB包围盒的长宽高尺寸为: {} * {} * {}", length, width, height);
  aabb_center_ = {
    min_point.x + 0.5f * length, min_point.y + 0.5f * width, min_point.z + 0.5f * height};
  LOG_DEBUG(
    "AABB包围盒的位置: x: {}, y: {}, z: {}", aabb_center_[0], aabb_center_[1], aabb_center_[2]);
  aabb_min_point_ = min_point;
  aabb_max_point_ = max_point;
}

void GrabPoseEstimate::MinAreaRectFunc(Cloud::Ptr & cloud)
{
  LOG_DEBUG("==============================MinAreaRect==============================");
  const cv::RotatedRect rect = cv::minAreaRect(FootprintXY(*cloud, workspace_.footprint));
  LOG_DEBUG("Angle: {}", rect.angle);
  rect.points(min_rect_points_.data());

  // With OpenCV's corner order edge 0-1 has the height's length and edge 1-2 the width's.
  const bool height_is_longer = rect.size.height > rect.size.width;
  const cv::Point2f & from = height_is_longer ? min_rect_points_[0] : min_rect_points_[1];
  const cv::Point2f & to = height_is_longer ? min_rect_points_[1] : min_rect_points_[2];
  const double ex = to.x - from.x;
  const double ey = to.y - from.y;
  const double length = std::sqrt(ex * ex + ey * ey);
  min_rect_direction_ = {static_cast<float>(ex / length), static_cast<float>(ey / length)};
  if (min_rect_direction_[0] < 0.0f) {
    min_rect_direction_ = {-min_rect_direction_[0], -min_rect_direction_[1]};
  }
  LOG_DEBUG("Adjusted unit vector: ({}, {})", min_rect_direction_[0], min_rect_direction_[1]);
  LOG_DEBUG("-----------------------------------------------------------------------");
}

void GrabPoseEstimate::GetMinAreaRectDirection(float * direction)
{
  direction[0] = min_rect_direction_[0];
  direction[1] = min_rect_direction_[1];
}

float GrabPoseEstimate::GetTrashProjectWith(Cloud::Ptr & cloud)
{
  const std::vector<cv::Point2f> & footprint = FootprintXY(*cloud, workspace_.footprint);
  const FloorSight sight = SightToNearestPoint(cloud);
  const float px = sight.dx;
  const float py = sight.dy;

  // Across the line of sight: the sight direction turned by -90 degrees.
  float dx = py;
  float dy = -px;
  const float squared_length = px * px + py * py;
  if (squared_length > 0.0f) {
    const float length = std::sqrt(squared_length);
    dx /= length;
    dy /= length;
  }
  Spread spread;
  for (const auto & point : footprint) {
    spread.Add(point.x * dx + point.y * dy);
  }
  const float width = spread.Width();
  LOG_DEBUG("Length of the projected point cloud on the line (py, -px): {}", width);
  return width;
}
