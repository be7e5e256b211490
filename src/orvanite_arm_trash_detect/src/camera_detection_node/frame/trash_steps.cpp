#include "camera_detection_node/frame/trash_steps.hpp"

#include <opencv2/imgcodecs.hpp>
#include <pcl/common/transforms.h>
#include <pcl/io/ply_io.h>

#include "camera_detection_node/frame/grab_gates.hpp"
#include "camera_detection_node/frame/local_timestamp.hpp"
#include "camera_detection_node/frame/trash_cloud.hpp"
#include "common/ansi_colors.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace orvanite
{
std::string TrashDebugPath(const std::string & prefix, std::size_t i, const char * suffix)
{
  return prefix + FormatLocalTimestamp() + "[" + std::to_string(i) + "]" + suffix;
}

bool TrashSteps::PrepareCloud(
  std::size_t i, DetectedObject & trash, const sensor_msgs::msg::Image & depth_image,
  bool * is_transparent) const
{
  const char * const operation = lines.operation;
  const int cam_id = settings.cam_id;
  const auto debug_path = [this, i](const char * suffix) {
    return TrashDebugPath(*debug_file_prefix, i, suffix);
  };
  if (lines.heading != nullptr) {
    LOG_INFO_AS(operation, lines.heading);
  }
  GetTrashType(trash.label, &estimate);
  if (lines.class_line != nullptr) {
    LOG_INFO_AS(operation, lines.class_line, cam_id, trash.label + 1);
  }
  trash.mask = trash.mask * 255.0;  // in place: every copy of the detection sees it
  if (debug_file_prefix != nullptr) {
    cv::imwrite(debug_path("[mask][initial].jpg"), trash.mask);
  }
  std::shared_ptr<FrameWorkspace::Cloud> & raw_cloud = workspace.raw_cloud;
  GetTrashCloud(depth_image, trash, raw_cloud, is_transparent, settings, workspace.mask_points);
  if (debug_file_prefix != nullptr) {
    cv::imwrite(debug_path("[mask][eroded].jpg"), trash.mask);
  }
  LOG_AT_LEVEL_AS(
    lines.raw_count, operation, "cam_{}: 垃圾序号[{}]原始点云数量： {}", cam_id, i,
    raw_cloud->size());
  if (raw_cloud->size() < min_trash_cloud_size) {
    LOG_WARN_AS(operation, lines.too_few_points, cam_id, i, min_trash_cloud_size);
    return false;
  }
  if (debug_file_prefix != nullptr) {
    pcl::io::savePLYFileASCII(debug_path("[initial].ply"), *raw_cloud);
  }
  pcl::transformPointCloud(*raw_cloud, *workspace.cloud, estimate.camera_extrinsic_);
  if (debug_file_prefix != nullptr) {
    pcl::io::savePLYFileASCII(debug_path("[transformed].ply"), *workspace.cloud);
  }
  return true;
}

bool TrashSteps::PassesWhiteList(
  std::size_t i, const DetectedObject & trash, const std::vector<BoxInfo> & base_wating_box_infos,
  float trash_lowest_z) const
{
  if (
    white_list_enabled && !IsTrashToGrab(
                            trash, base_wating_box_infos, trash_lowest_z, estimate.base_height_,
                            class_height_conf, settings)) {
    LOG_AT_LEVEL_AS(
      lines.white_list_rejection, lines.operation, "cam_{}: 垃圾序号[{}]不在白名单位置处，忽略",
      settings.cam_id, i);
    return false;
  }
  LOG_INFO_AS(lines.operation, "cam_{}: 垃圾序号[{}]在白名单位置处，需要抓取", settings.cam_id, i);
  return true;
}

bool TrashSteps::PassesSizeRange(
  std::size_t i, const orvanite_protocol::msg::TrashInfo & trash_info) const
{
  const char * const operation = lines.operation;
  if (!IsBboxWithinSizeRange(trash_info, class_size_range_map)) {
    LOG_INFO_AS(
      operation, kYellow + "cam_{}: 垃圾序号[{}]不在抓取尺寸范围内，忽略" + kReset, settings.cam_id,
      i);
    LOG_INFO_AS(
      operation, kDimYellow + "cam_{}: 垃圾序号[{}]obb_size: [{:.3f}, {:.3f}, {:.3f}]" + kReset,
      settings.cam_id, i, trash_info.obb_size[0], trash_info.obb_size[1], trash_info.obb_size[2]);
    return false;
  }
  LOG_INFO_AS(operation, "cam_{}: 垃圾序号[{}]在抓取尺寸范围内，需要抓取", settings.cam_id, i);
  return true;
}
}  // namespace orvanite
