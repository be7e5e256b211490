// The raw point cloud of one detected trash from its mask and the depth image.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_CLOUD_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_CLOUD_HPP_

#include <memory>
#include <vector>

#include <sensor_msgs/msg/image.hpp>

#include "camera_detection_node/frame/types.hpp"

namespace pcl
{
struct PointXYZ;
template <typename PointT>
class PointCloud;
}  // namespace pcl

namespace orvanite
{
// Fills `cloud` (cleared first; unorganised, header untouched) with the back-projection of every
// mask pixel of `obj` inside its box (getMaskPoints, which may erode the shared mask) that has a
// depth: z = depth / 1000 m, x = (u - cx) * z / fx, y = (v - cy) * z / fy, camera optical frame.
// The depth image (16UC1 or mono16, millimetres, host byte order, aligned with the colour image)
// is read through its `step`. `*is_transparent` is always written: true when the share of mask
// pixels without depth exceeds null_ratio_threshold and the box's height / width exceeds
// hw_ratio_threshold (both strict).
//
// A depth image of another encoding, with rows or data too short for its size, or not covering
// the part of the box the mask covers, cannot be measured: an ERROR line names the camera and the
// problem, the cloud stays empty and the trash is not transparent.
void GetTrashCloud(
  const sensor_msgs::msg::Image & depth_image, const DetectedObject & obj,
  std::shared_ptr<pcl::PointCloud<pcl::PointXYZ>> & cloud, bool * is_transparent,
  const CameraFrameSettings & settings);
// The same with the mask points gathered in `mask_points` (scratch, contents unspecified), so a
// camera that passes its own vector and cloud every frame reuses both.
void GetTrashCloud(
  const sensor_msgs::msg::Image & depth_image, const DetectedObject & obj,
  std::shared_ptr<pcl::PointCloud<pcl::PointXYZ>> & cloud, bool * is_transparent,
  const CameraFrameSettings & settings, std::vector<cv::Point> & mask_points);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_CLOUD_HPP_
