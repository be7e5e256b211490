// Cleaning of a trash cloud before it is measured: voxel grid, bottom cuts, outlier removal.
#include <algorithm>
#include <array>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include <pcl/common/common.h>
#include <pcl/common/io.h>
#include <pcl/filters/passthrough.h>
#include <pcl/filters/voxel_grid.h>
#include <pcl/search/kdtree.h>
#include <pcl/segmentation/extract_clusters.h>

#include "common/ansi_colors.hpp"
#include "common/cloud_reuse.hpp"
#include "common/logger.hpp"
#include "common/elapsed_time.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"
#include "trash_pose_estimate/parallel_outlier_removal.hpp"

namespace
{

// Clouds up to this size are dense enough already and are not downsampled.
constexpr std::size_t kVoxelMinPoints = 1000;
constexpr float kPassThroughTop = 1.0f;

bool IsMeasurable(const pcl::PointXYZ & point)
{
  return std::fabs(point.x) <= GrabPoseEstimate::kMaxCoordinate &&
         std::fabs(point.y) <= GrabPoseEstimate::kMaxCoordinate &&
         std::fabs(point.z) <= GrabPoseEstimate::kMaxCoordinate;
}

// Drops the points that no depth camera measures (non-finite, or farther than kMaxCoordinate):
// PCL's search and eigen solvers abort on them. A cloud without such points is not touched.
void DropUnmeasurablePoints(GrabPoseEstimate::Cloud & cloud)
{
  const std::size_t measurable =
    static_cast<std::size_t>(std::count_if(cloud.points.begin(), cloud.points.end(), IsMeasurable));
  if (measurable == cloud.size()) {
    return;
  }
  LOG_WARN(
    "trash cloud has {} points with non-finite coordinates or coordinates beyond {} m, dropped",
    cloud.size() - measurable, GrabPoseEstimate::kMaxCoordinate);
  decltype(cloud.points) kept;
  kept.reserve(measurable);
  std::copy_if(cloud.points.begin(), cloud.points.end(), std::back_inserter(kept), IsMeasurable);
  cloud.points.swap(kept);
  cloud.width = static_cast<std::uint32_t>(cloud.points.size());
  cloud.height = 1;
  cloud.is_dense = true;
}

// Differences in float, squares summed in double, the sum rounded to float.
float SquaredDistanceXY(const pcl::PointXYZ & point, const Eigen::Vector2f & origin)
{
  const float dy = point.y - origin.y();
  const float dx = point.x - origin.x();
  return static_cast<float>(static_cast<double>(dy) * dy + static_cast<double>(dx) * dx);
}

// The first point whose squared XY distance to `origin` is strictly better than every earlier
// one (and than `start`); (0, 0, 0) when none is.
template <typename Better>
pcl::PointXYZ FindExtremePointXY(
  const GrabPoseEstimate::Cloud & cloud, const Eigen::Vector2f & origin, float start, Better better)
{
  pcl::PointXYZ result(0.0f, 0.0f, 0.0f);
  float best = start;
  for (const auto & point : cloud.points) {
    const float squared_distance = SquaredDistanceXY(point, origin);
    if (better(squared_distance, best)) {
      best = squared_distance;
      result = point;
    }
  }
  return result;
}

// A member that keeps one value of a cloud's z range, and its log line (the value its only
// argument).
struct HeightLine
{
  float GrabPoseEstimate::*member;
  const std::string & colour;
  const char * text;
};
// The lowest z, the highest z and the height, in that order.
using HeightLines = std::array<HeightLine, 3>;

const HeightLines kHeightsBeforeCuts = {{
  {&GrabPoseEstimate::trash_lowest_z_, kBlue, "trash_lowest_z_: {}"},
  {&GrabPoseEstimate::trash_highest_z_, kBlue, "trash_highest_z_: {}"},
  {&GrabPoseEstimate::trash_height_, kBoldBlue,
   "trash_height_(trash_highest_z_ - trash_lowest_z_): {}"},
}};
const HeightLines kHeightsAfterCuts = {{
  {&GrabPoseEstimate::processed_trash_lowest_z_, kCyan, "processed_trash_lowest_z_: {}"},
  {&GrabPoseEstimate::processed_trash_highest_z_, kCyan, "processed_trash_highest_z_: {}"},
  {&GrabPoseEstimate::processed_trash_height_, kBoldCyan, "processed_trash_height_: {}"},
}};

// The z range of the cloud (getMinMax3D) into the three members, each logged (DEBUG) as a line
// of the filtering.
void StoreHeights(
  const GrabPoseEstimate::Cloud & cloud, GrabPoseEstimate & estimate, const HeightLines & lines)
{
  pcl::PointXYZ min_point;
  pcl::PointXYZ max_point;
  pcl::getMinMax3D(cloud, min_point, max_point);
  const std::array<float, 3> values = {min_point.z, max_point.z, max_point.z - min_point.z};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    estimate.*lines[i].member = values[i];
    LOG_DEBUG_AS("PclProcessFunc", lines[i].colour + lines[i].text + kReset, values[i]);
  }
}

}  // namespace

GrabPoseEstimate::Cloud::Ptr GrabPoseEstimate::MeasurablePart(const Cloud::Ptr & cloud)
{
  if (std::all_of(cloud->points.begin(), cloud->points.end(), IsMeasurable)) {
    return cloud;
  }
  Cloud::Ptr measurable(new Cloud(*cloud));
  DropUnmeasurablePoints(*measurable);
  return measurable;
}

template <typename Filter>
void GrabPoseEstimate::FilterInPlace(Filter & filter, Cloud::Ptr & cloud)
{
  // The input is set, so PCL's filter always writes its whole output.
  filter.setInputCloud(cloud);
  filter.filter(workspace_.filtered);
  cloud->swap(workspace_.filtered);
}

void GrabPoseEstimate::PclProcessFunc(Cloud::Ptr & input_cloud, Cloud::Ptr & output_cloud)
{
  const auto start = std::chrono::system_clock::now();
  DropUnmeasurablePoints(*input_cloud);
  Cloud & input_copy = workspace_.input_copy;
  pcl::copyPointCloud(*input_cloud, input_copy);
  if (output_cloud != input_cloud) {
    pcl::copyPointCloud(*input_cloud, *output_cloud);
  }
  Cloud::Ptr & cloud = output_cloud;
  if (cloud->empty()) {
    // Nothing to filter or measure: getMinMax3D would give heights of -+3.4e38 and a band to
    // match. The callers find too few points and say so.
    const float none = std::numeric_limits<float>::quiet_NaN();
    trash_lowest_z_ = trash_highest_z_ = trash_height_ = none;
    processed_trash_lowest_z_ = processed_trash_highest_z_ = processed_trash_height_ = none;
    LOG_DEBUG("trash cloud is empty, nothing to filter");
    return;
  }

  if (cloud->size() > kVoxelMinPoints) {
    pcl::VoxelGrid<pcl::PointXYZ> voxel_grid;
    voxel_grid.setLeafSize(sor_leaf_size_, sor_leaf_size_, sor_leaf_size_);
    FilterInPlace(voxel_grid, cloud);
  }

  StoreHeights(*cloud, *this, kHeightsBeforeCuts);

  if (is_on_floor_) {
    // The band then starts at the floor, whatever the cloud's own minimum.
    trash_lowest_z_ = -base_height_;
    LOG_DEBUG(kBoldYellow + "is_on_floor_ ! trash_lowest_z_: {}" + kReset, trash_lowest_z_);
  }

  if (trash_height_ < remove_bottom_height_threshold_1_) {
    pass_ajust_value_ = pass_ajust_value_1_;
    LOG_DEBUG(
      kYellow + "trash_height_ < remove_bottom_height_threshold_1_: {}" + kReset,
      remove_bottom_height_threshold_1_);
  } else if (trash_height_ < remove_bottom_height_threshold_2_) {
    pass_ajust_value_ = pass_ajust_value_2_;
    LOG_DEBUG(
      kYellow + "trash_height_ < remove_bottom_height_threshold_2_: {}" + kReset,
      remove_bottom_height_threshold_2_);
  } else if (trash_height_ < remove_bottom_height_threshold_3_) {
    pass_ajust_value_ = pass_ajust_value_3_;
    LOG_DEBUG(
      kYellow + "trash_height_ < remove_bottom_height_threshold_3_: {}" + kReset,
      remove_bottom_height_threshold_3_);
  } else if (trash_height_ > remove_bottom_height_threshold_3_) {
    // Tall trash: drop the low points on the far side instead; the offset stays as it was.
    LOG_DEBUG(
      kYellow + "trash_height_ > remove_bottom_height_threshold_3_: {}" + kReset,
      remove_bottom_height_threshold_3_);
    CutCloudAtNearestPoint(cloud, trash_lowest_z_, remove_cloud_angle_);
  }
  LOG_DEBUG("pass_ajust_value_: {}", pass_ajust_value_);

  const float band_bottom = trash_lowest_z_ + pass_ajust_value_;
  pcl::PassThrough<pcl::PointXYZ> pass_through;
  pass_through.setFilterFieldName("z");
  pass_through.setFilterLimits(band_bottom, kPassThroughTop);
  FilterInPlace(pass_through, cloud);

  if (cloud->size() < min_trash_cloud_size_) {
    LOG_WARN(
      "trash cloud size is less than {} after pass filter between [{}, 1.0].\nrecovered to "
      "input_cloud !",
      min_trash_cloud_size_, band_bottom);
    pcl::copyPointCloud(input_copy, *cloud);
  }

  orvanite::ParallelStatisticalOutlierRemoval outlier_removal(outlier_filter_workspace_);
  outlier_removal.setMeanK(sor2_meank_value_);
  outlier_removal.setStddevMulThresh(1.0);
  FilterInPlace(outlier_removal, cloud);

  StoreHeights(*cloud, *this, kHeightsAfterCuts);

  LOG_DEBUG(kMagenta + "PclProcessFunc cost:{} ms" + kReset, orvanite::ElapsedMilliseconds(start));
}

void GrabPoseEstimate::CutCloudAtNearestPoint(Cloud::Ptr & cloud, float height, float angle)
{
  const FloorSight sight = SightToNearestPoint(cloud);
  const Eigen::Vector3f plane_point(sight.nearest.x, sight.nearest.y, height);

  const double radians = angle * M_PI / 180.0;
  const double sine = std::sin(radians);
  const double cosine = std::cos(radians);
  const float dx = sight.dx;
  const float dy = sight.dy;
  const double distance = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);

  // Downward normal tilted by the angle away from the camera.
  Eigen::Vector3f normal(
    static_cast<float>(dx * (sine * sine)), static_cast<float>(dy * (sine * sine)),
    static_cast<float>(-distance * sine * cosine));
  const float squared_norm =
    normal.x() * normal.x() + normal.y() * normal.y() + normal.z() * normal.z();
  if (squared_norm > 0.0f) {
    normal /= std::sqrt(squared_norm);
  }
  CutCloudByPlane(cloud, plane_point, normal);
}

void GrabPoseEstimate::CutCloudByPlane(
  Cloud::Ptr & cloud, const Eigen::Vector3f & plane_point, const Eigen::Vector3f & plane_normal)
{
  // The kept points as a fresh cloud of them: default header, dense, sensor at the origin.
  Cloud & kept = workspace_.filtered;
  orvanite::ResetKeepingCapacity(kept);
  for (const auto & point : cloud->points) {
    const float side = (point.z - plane_point.z()) * plane_normal.z() +
                       (point.y - plane_point.y()) * plane_normal.y() +
                       (point.x - plane_point.x()) * plane_normal.x();
    // Points on the plane and NaN points stay.
    if (!(side > 0.0f)) {
      kept.push_back(point);
    }
  }
  cloud->swap(kept);
}

pcl::PointXYZ GrabPoseEstimate::FindNearestPointXY(Cloud::Ptr cloud)
{
  return FindExtremePointXY(*cloud, CameraPositionXY(), FLT_MAX, [](float candidate, float best) {
    return candidate < best;
  });
}

pcl::PointXYZ GrabPoseEstimate::FindFarthestPointXY(Cloud::Ptr cloud)
{
  return FindExtremePointXY(
    *cloud, CameraPositionXY(), 0.0f, [](float candidate, float best) { return candidate > best; });
}

void GrabPoseEstimate::PclClusterProcess(Cloud::Ptr & cloud)
{
  LOG_DEBUG("trash cloud size before cluster process: {}", cloud->size());
  const auto start = std::chrono::system_clock::now();
  // The k-d tree aborts on unmeasurable points; the caller's cloud keeps them.
  const Cloud::Ptr measurable = MeasurablePart(cloud);

  pcl::search::KdTree<pcl::PointXYZ>::Ptr tree(new pcl::search::KdTree<pcl::PointXYZ>);
  pcl::EuclideanClusterExtraction<pcl::PointXYZ> extraction;
  extraction.setClusterTolerance(0.02);
  extraction.setMinClusterSize(static_cast<int>(measurable->size() / 10));
  extraction.setMaxClusterSize(25000);
  extraction.setSearchMethod(tree);
  extraction.setInputCloud(measurable);
  std::vector<pcl::PointIndices> clusters;
  extraction.extract(clusters);

  const pcl::PointIndices * largest = nullptr;
  for (const auto & cluster : clusters) {
    if (largest == nullptr || cluster.indices.size() > largest->indices.size()) {
      largest = &cluster;
    }
  }
  if (largest != nullptr) {
    Cloud::Ptr cluster_cloud(new Cloud);
    for (const auto index : largest->indices) {
      cluster_cloud->push_back((*measurable)[index]);
    }
    cloud = cluster_cloud;
  }

  LOG_DEBUG(
    kMagenta + "cluster process cost: {} ms" + kReset, orvanite::ElapsedMilliseconds(start));
  LOG_DEBUG("trash cloud size after cluster process: {}", cloud->size());
}

Eigen::Vector2f GrabPoseEstimate::CameraPositionXY() const
{
  return Eigen::Vector2f(camera_extrinsic_(0, 3), camera_extrinsic_(1, 3));
}

GrabPoseEstimate::FloorSight GrabPoseEstimate::SightToNearestPoint(Cloud::Ptr & cloud)
{
  const pcl::PointXYZ nearest = FindNearestPointXY(cloud);
  const Eigen::Vector2f camera = CameraPositionXY();
  return {nearest, nearest.x - camera.x(), nearest.y - camera.y()};
}
