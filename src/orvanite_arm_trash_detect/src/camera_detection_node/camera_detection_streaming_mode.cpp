// Streaming mode: every frame is detected; a frame with trash yields one GrabTrashCloud with the
// record and raw cloud of every trash that passes the gates.
#include <chrono>
#include <exception>
#include <string>
#include <vector>

#include <pcl/common/common.h>

#include <pcl_conversions/pcl_conversions.h>

#include "camera_detection_node/camera_detection_node.hpp"
#include "camera_detection_node/detected_image_msg.hpp"
#include "camera_detection_node/frame/detection_drawing.hpp"
#include "camera_detection_node/frame/trash_record.hpp"
#include "common/ansi_colors.hpp"
#include "common/elapsed_time.hpp"
#include "common/logger.hpp"

namespace
{
using Cloud = pcl::PointCloud<pcl::PointXYZ>;
using std::chrono::milliseconds;

// Principal-component analysis needs this many points.
constexpr std::size_t kMinPcaPoints = 3;

// The streaming frame's own lines for the steps of each trash.
const orvanite::TrashLines kStreamingLines{
  "ImageDetectCallback",
  "-----------------------------------------------------------------",
  nullptr,
  orvanite::kLogDebug,
  "cam_{}: 垃圾序号[{}]原始点云数量太少, CONTINUE",
  orvanite::kLogWarn};
}  // namespace

void CameraDetectionNode::ImageDetectCallback(
  Image::ConstSharedPtr rgb_image, Image::ConstSharedPtr depth_image)
{
  // A library exception must not reach the executor: the frame is dropped.
  try {
    const std::optional<ModelFrame> frame = RunModel(rgb_image);
    if (!frame) {
      return;
    }
    const std::vector<DetectedObject> & objs = frame->objs;
    const auto t0 = frame->start;
    LOG_DEBUG(kMagenta + "camera_{}: model->detect cost {} ms" + kReset, cam_id_, frame->detect_ms);

    PublishDetectedImage(frame->color, objs, __func__);
    BeginDetectFrame();

    std::vector<DetectedObject> trash_objs;
    if (!GetTrashObjects(objs, trash_objs)) {
      LOG_DEBUG("cam_{0:d}: failed to detect trash", cam_id_);
    } else {
      std::vector<BoxInfo> base_wating_box_infos;
      GetBaseWaitingBoxInfos(objs, base_wating_box_infos);
      GrabTrashCloud message;
      message.cam_id = static_cast<uint8_t>(cam_id_);
      message.frame_id = cam_frame_id_;
      GrabPoseEstimate & estimate = *grab_pose_estimate_;
      const orvanite::TrashSteps steps = MakeTrashSteps(kStreamingLines, nullptr);
      for (std::size_t i = 0; i < trash_objs.size(); ++i) {
        DetectedObject & trash = trash_objs[i];
        bool is_transparent = false;
        if (!steps.PrepareCloud(i, trash, *depth_image, &is_transparent)) {
          continue;
        }
        Cloud::Ptr & cloud = frame_workspace_.cloud;
        pcl::PointXYZ min_point;
        pcl::PointXYZ max_point;
        pcl::getMinMax3D(*cloud, min_point, max_point);
        const float trash_lowest_z = min_point.z;
        LOG_DEBUG("trash_lowest_z: {}", trash_lowest_z);
        if (!steps.PassesWhiteList(i, trash, base_wating_box_infos, trash_lowest_z)) {
          continue;
        }
        estimate.PclProcessFunc(cloud, cloud);
        if (cloud->size() < kMinPcaPoints) {
          // Too few points left to measure: no extents, so no size range can hold it.
          LOG_WARN(
            "cam_{}: 垃圾序号[{}] processed cloud has {} points, too few to measure", cam_id_, i,
            cloud->size());
          LOG_INFO(kYellow + "cam_{}: 垃圾序号[{}]不在抓取尺寸范围内，忽略" + kReset, cam_id_, i);
          continue;
        }
        estimate.PCAFunc(cloud);
        const TrashInfo trash_info =
          orvanite::MakeCloudTrashInfo(trash.label, is_transparent, estimate.pca_size_);
        if (steps.PassesSizeRange(i, trash_info)) {
          message.trash_infos.push_back(trash_info);
          // The raw cloud as GetTrashCloud left it: the steps after it read it but never change it.
          message.trash_clouds.emplace_back();
          pcl::toROSMsg(*frame_workspace_.raw_cloud, message.trash_clouds.back());
        }
      }
      grab_trash_cloud_pub_->publish(message);
    }
    LOG_DEBUG(
      kMagenta + "cam_{}: ImageCallback cost {} ms" + kReset, cam_id_,
      orvanite::ElapsedMilliseconds<milliseconds>(t0));
  } catch (const std::exception & e) {
    LOG_ERROR("cam_{}: frame abandoned: {}", cam_id_, e.what());
  }
}
