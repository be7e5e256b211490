// The stages of a frame computed by the plain library calls, one call per step as the estimator
// and the camera were first written: two complete moment-of-inertia estimations on copies,
// PCL's outlier filter, whole-frame erosion and mask fill. Tests hold the fast code to these
// results bit for bit; the benchmark times them beside it.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__PLAIN_STAGES_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__PLAIN_STAGES_HPP_

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <Eigen/Core>
#include <opencv2/imgproc.hpp>
#include <pcl/common/common.h>
#include <pcl/common/io.h>
#include <pcl/features/moment_of_inertia_estimation.h>
#include <pcl/filters/passthrough.h>
#include <pcl/filters/statistical_outlier_removal.h>
#include <pcl/filters/voxel_grid.h>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include "camera_detection_node/frame/detection_drawing.hpp"
#include "common/trash_class_table.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace orvanite_test
{
namespace plain
{
using Cloud = pcl::PointCloud<pcl::PointXYZ>;

// Everything OBBFunc writes.
struct ObbMembers
{
  Eigen::Matrix3f rotation;
  Eigen::Vector3f position;
  Eigen::Quaternionf orientation;
  pcl::PointXYZ min_point;
  pcl::PointXYZ max_point;
};

// Everything AABBFunc writes.
struct AabbMembers
{
  std::array<float, 3> center;
  pcl::PointXYZ min_point;
  pcl::PointXYZ max_point;
};

// A complete estimation with PCL's defaults on a private copy, its results read in full.
inline void EstimateOnCopy(
  const Cloud & cloud, pcl::MomentOfInertiaEstimation<pcl::PointXYZ> & estimation)
{
  Cloud::Ptr copy(new Cloud);
  pcl::copyPointCloud(cloud, *copy);
  estimation.setInputCloud(copy);
  estimation.compute();
  std::vector<float> moments;
  std::vector<float> eccentricities;
  estimation.getMomentOfInertia(moments);
  estimation.getEccentricity(eccentricities);
}

inline ObbMembers Obb(const Cloud & cloud)
{
  pcl::MomentOfInertiaEstimation<pcl::PointXYZ> estimation;
  EstimateOnCopy(cloud, estimation);
  ObbMembers obb;
  pcl::PointXYZ position;
  estimation.getOBB(obb.min_point, obb.max_point, position, obb.rotation);
  obb.position = position.getVector3fMap();
  obb.orientation = Eigen::Quaternionf(obb.rotation);
  return obb;
}

inline AabbMembers Aabb(const Cloud & cloud)
{
  pcl::MomentOfInertiaEstimation<pcl::PointXYZ> estimation;
  EstimateOnCopy(cloud, estimation);
  AabbMembers aabb;
  estimation.getAABB(aabb.min_point, aabb.max_point);
  const float length = aabb.max_point.x - aabb.min_point.x;
  const float width = aabb.max_point.y - aabb.min_point.y;
  const float height = aabb.max_point.z - aabb.min_point.z;
  aabb.center = {
    aabb.min_point.x + 0.5f * length, aabb.min_point.y + 0.5f * width,
    aabb.min_point.z + 0.5f * height};
  return aabb;
}

// PCL's filter, in place.
inline void RemoveOutliers(Cloud::Ptr & cloud, int mean_k, double multiplier)
{
  pcl::StatisticalOutlierRemoval<pcl::PointXYZ> outlier_removal;
  outlier_removal.setMeanK(mean_k);
  outlier_removal.setStddevMulThresh(multiplier);
  outlier_removal.setInputCloud(cloud);
  outlier_removal.filter(*cloud);
}

// The estimator's filtering with PCL's outlier filter; members as PclProcessFunc sets them.
inline void PclProcess(GrabPoseEstimate & estimate, Cloud::Ptr & cloud)
{
  Cloud::Ptr input_copy(new Cloud);
  pcl::copyPointCloud(*cloud, *input_copy);
  if (cloud->size() > 1000) {
    pcl::VoxelGrid<pcl::PointXYZ> voxel_grid;
    voxel_grid.setLeafSize(
      estimate.sor_leaf_size_, estimate.sor_leaf_size_, estimate.sor_leaf_size_);
    voxel_grid.setInputCloud(cloud);
    voxel_grid.filter(*cloud);
  }
  pcl::PointXYZ min_point;
  pcl::PointXYZ max_point;
  pcl::getMinMax3D(*cloud, min_point, max_point);
  estimate.trash_lowest_z_ = min_point.z;
  estimate.trash_highest_z_ = max_point.z;
  estimate.trash_height_ = estimate.trash_highest_z_ - estimate.trash_lowest_z_;
  if (estimate.is_on_floor_) {
    estimate.trash_lowest_z_ = -estimate.base_height_;
  }
  if (estimate.trash_height_ < estimate.remove_bottom_height_threshold_1_) {
    estimate.pass_ajust_value_ = estimate.pass_ajust_value_1_;
  } else if (estimate.trash_height_ < estimate.remove_bottom_height_threshold_2_) {
    estimate.pass_ajust_value_ = estimate.pass_ajust_value_2_;
  } else if (estimate.trash_height_ < estimate.remove_bottom_height_threshold_3_) {
    estimate.pass_ajust_value_ = estimate.pass_ajust_value_3_;
  } else if (estimate.trash_height_ > estimate.remove_bottom_height_threshold_3_) {
    estimate.CutCloudAtNearestPoint(cloud, estimate.trash_lowest_z_, estimate.remove_cloud_angle_);
  }
  pcl::PassThrough<pcl::PointXYZ> pass_through;
  pass_through.setFilterFieldName("z");
  pass_through.setFilterLimits(estimate.trash_lowest_z_ + estimate.pass_ajust_value_, 1.0f);
  pass_through.setInputCloud(cloud);
  pass_through.filter(*cloud);
  if (cloud->size() < estimate.min_trash_cloud_size_) {
    pcl::copyPointCloud(*input_copy, *cloud);
  }
  RemoveOutliers(cloud, estimate.sor2_meank_value_, 1.0);
  pcl::getMinMax3D(*cloud, min_point, max_point);
  estimate.processed_trash_lowest_z_ = min_point.z;
  estimate.processed_trash_highest_z_ = max_point.z;
  estimate.processed_trash_height_ = max_point.z - min_point.z;
}

// PCAFunc, the two boxes by complete estimations, MinAreaRectFunc on a copy.
inline void MeasureCloud(GrabPoseEstimate & estimate, Cloud::Ptr & cloud)
{
  estimate.PCAFunc(cloud);
  const ObbMembers obb = Obb(*cloud);
  estimate.obb_rotation_ = obb.rotation;
  estimate.obb_position_ = obb.position;
  estimate.obb_orientation_ = obb.orientation;
  estimate.obb_min_point_ = obb.min_point;
  estimate.obb_max_point_ = obb.max_point;
  const AabbMembers aabb = Aabb(*cloud);
  estimate.aabb_center_ = aabb.center;
  estimate.aabb_min_point_ = aabb.min_point;
  estimate.aabb_max_point_ = aabb.max_point;
  Cloud::Ptr copy(new Cloud);
  pcl::copyPointCloud(*cloud, *copy);
  estimate.MinAreaRectFunc(copy);
}

// Mask points with the whole mask eroded in place.
inline std::vector<cv::Point> MaskPoints(
  cv::Mat & mask, const cv::Rect_<float> & rect, int erosion_size)
{
  const cv::Rect box(
    static_cast<int>(rect.x), static_cast<int>(rect.y), static_cast<int>(rect.width),
    static_cast<int>(rect.height));
  const cv::Rect on_mask =
    box.width > 0 && box.height > 0 ? box & cv::Rect(0, 0, mask.cols, mask.rows) : cv::Rect();
  const int init_size = on_mask.empty() ? 0 : cv::countNonZero(mask(on_mask));
  if (rect.x > 10.0F && rect.y > 10.0F && init_size > 500) {
    const cv::Mat kernel = cv::getStructuringElement(
      cv::MORPH_RECT, cv::Size(2 * erosion_size + 1, 2 * erosion_size + 1),
      cv::Point(erosion_size, erosion_size));
    cv::erode(
      mask, mask, kernel, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
      cv::morphologyDefaultBorderValue());
  }
  std::vector<cv::Point> points;
  for (int row = on_mask.y; row < on_mask.y + on_mask.height; ++row) {
    for (int col = on_mask.x; col < on_mask.x + on_mask.width; ++col) {
      if (mask.at<uchar>(row, col) != 0) {
        points.emplace_back(col - box.x, row - box.y);
      }
    }
  }
  return points;
}

inline cv::Scalar PaletteColor(const std::vector<std::vector<int>> & palette, int label)
{
  const int size = static_cast<int>(palette.size());
  const std::vector<int> & entry = palette[((label % size) + size) % size];
  return cv::Scalar(entry[0], entry[1], entry[2], 0);
}

// The annotated image with every mask painted over the whole frame.
inline void DrawDetectedObjects(
  const cv::Mat & frame, cv::Mat & output, const std::vector<orvanite::DetectedObject> & objs,
  const std::vector<std::string> & class_names)
{
  if (frame.empty()) {
    output = cv::Mat();
    return;
  }
  output = frame.clone();
  cv::Mat overlay = frame.clone();
  for (const auto & obj : objs) {
    const cv::Rect box = obj.rect;
    cv::rectangle(output, box, PaletteColor(::kClassColors80, obj.label), 2, cv::LINE_8, 0);
    const std::string text = orvanite::DetectionLabelText(obj, class_names);
    if (!obj.mask.empty() && obj.mask.size() == frame.size()) {
      overlay.setTo(PaletteColor(::kClassColors20, obj.label), obj.mask);
    }
    int baseline = 0;
    const cv::Size label_size = cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, 0.4, 1, &baseline);
    const int x = static_cast<int>(obj.rect.x);
    const int y = std::min(static_cast<int>(obj.rect.y) + 1, output.rows);
    cv::rectangle(
      output, cv::Rect(x, y, label_size.width, label_size.height + baseline),
      cv::Scalar(0, 0, 255, 0), cv::FILLED, cv::LINE_8, 0);
    cv::putText(
      output, text, cv::Point(x, y + label_size.height), cv::FONT_HERSHEY_SIMPLEX, 0.4,
      cv::Scalar(255, 255, 255, 0), 1, cv::LINE_8, false);
  }
  cv::addWeighted(output, 0.5, overlay, 0.8, 1.0, output, output.depth());
}
}  // namespace plain
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__PLAIN_STAGES_HPP_
