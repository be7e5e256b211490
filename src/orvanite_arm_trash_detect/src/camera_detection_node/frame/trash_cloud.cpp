#include "camera_detection_node/frame/trash_cloud.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

#include <opencv2/imgproc.hpp>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>
#include <sensor_msgs/image_encodings.hpp>

#include "common/ansi_colors.hpp"
#include "common/logger.hpp"
#include "common/mask_points.hpp"

namespace orvanite
{
namespace
{
// A view of the depth pixels, or an empty matrix (with an ERROR line) when the message does not
// hold 16-bit single-channel rows of its declared size.
cv::Mat DepthView(const sensor_msgs::msg::Image & depth_image, int cam_id)
{
  namespace enc = sensor_msgs::image_encodings;
  if (depth_image.encoding != enc::TYPE_16UC1 && depth_image.encoding != enc::MONO16) {
    LOG_ERROR(
      "cam_{}: depth image encoding '{}' is not 16UC1 or mono16, trash not measured", cam_id,
      depth_image.encoding);
    return cv::Mat();
  }
  const std::size_t row_bytes = std::size_t{depth_image.width} * sizeof(std::uint16_t);
  const std::size_t step = depth_image.step;
  if (
    step < row_bytes || step % sizeof(std::uint16_t) != 0 ||
    depth_image.data.size() < step * depth_image.height) {
    LOG_ERROR(
      "cam_{}: depth image {}x{} with step {} does not fit its {} bytes, trash not measured",
      cam_id, depth_image.width, depth_image.height, depth_image.step, depth_image.data.size());
    return cv::Mat();
  }
  // The view never writes: the matrix header only needs a non-const pointer.
  return cv::Mat(
    static_cast<int>(depth_image.height), static_cast<int>(depth_image.width), CV_16UC1,
    const_cast<std::uint8_t *>(depth_image.data.data()), step);
}
}  // namespace

void GetTrashCloud(
  const sensor_msgs::msg::Image & depth_image, const DetectedObject & obj,
  std::shared_ptr<pcl::PointCloud<pcl::PointXYZ>> & cloud, bool * is_transparent,
  const CameraFrameSettings & settings)
{
  std::vector<cv::Point> mask_points;
  GetTrashCloud(depth_image, obj, cloud, is_transparent, settings, mask_points);
}

void GetTrashCloud(
  const sensor_msgs::msg::Image & depth_image, const DetectedObject & obj,
  std::shared_ptr<pcl::PointCloud<pcl::PointXYZ>> & cloud, bool * is_transparent,
  const CameraFrameSettings & settings, std::vector<cv::Point> & mask_points)
{
  if (!cloud) {
    cloud = std::make_shared<pcl::PointCloud<pcl::PointXYZ>>();
  }
  cloud->clear();
  *is_transparent = false;

  const cv::Mat depth = DepthView(depth_image, settings.cam_id);
  if (depth.empty()) {
    return;
  }

  // The header copy shares the detection's pixels, so the erosion reaches every copy.
  cv::Mat mask = obj.mask;
  getMaskPoints(mask, obj.rect, settings.mask_erosion_size, mask_points);

  const cv::Point corner(static_cast<int>(obj.rect.x), static_cast<int>(obj.rect.y));
  const cv::Rect read = mask_points.empty() ? cv::Rect() : cv::boundingRect(mask_points) + corner;
  if ((read & cv::Rect(0, 0, depth.cols, depth.rows)) != read) {
    LOG_ERROR(
      "cam_{}: depth image {}x{} does not cover the trash box [ x: {} y: {} w: {} h: {} ], "
      "trash not measured",
      settings.cam_id, depth.cols, depth.rows, obj.rect.x, obj.rect.y, obj.rect.width,
      obj.rect.height);
    return;
  }

  int null_count = 0;
  for (const cv::Point & offset : mask_points) {
    const cv::Point pixel = corner + offset;
    const float z = static_cast<float>(depth.at<std::uint16_t>(pixel.y, pixel.x) / 1000.0);
    if (!(z > 0.0F)) {
      ++null_count;
      continue;
    }
    cloud->push_back(pcl::PointXYZ(
      (static_cast<float>(pixel.x) - settings.cx) * z / settings.fx,
      (static_cast<float>(pixel.y) - settings.cy) * z / settings.fy, z));
  }

  // No mask point gives 0 / 0: NaN, which the strict comparison below turns into "opaque".
  const float null_ratio = static_cast<float>(null_count) / static_cast<float>(mask_points.size());
  LOG_INFO(
    kDim + "null_count: {} / mask_points.size: {} = null_ratio: {:.3f}" + kReset, null_count,
    mask_points.size(), null_ratio);
  const float hw_ratio = obj.rect.height / obj.rect.width;
  LOG_INFO(
    kDim + "obj.rect.height: {} / obj.rect.width: {} = hw_ratio: {:.3f}" + kReset, obj.rect.height,
    obj.rect.width, hw_ratio);

  *is_transparent =
    null_ratio > settings.null_ratio_threshold && hw_ratio > settings.hw_ratio_threshold;
  if (*is_transparent) {
    LOG_INFO(
      kYellow + "is_transparent: {}, null_ratio_threshold_: {}, hw_ratio_threshold_: {}" + kReset,
      *is_transparent, settings.null_ratio_threshold, settings.hw_ratio_threshold);
  }
}
}  // namespace orvanite
