// Streaming mode: every frame is detected; a frame with trash yields one GrabTrashCloud with the
// record and raw cloud of every trash that passes the gates.
#include <chrono>
#include <exception>
#include <string>
#include <vector>

#include <pcl/common/common.h>
#include <pcl/common/transforms.h>

#include <cv_bridge/cv_bridge.h>
#include <pcl_conversions/pcl_conversions.h>

#include "camera_detection_node/camera_detection_node.hpp"
#include "camera_detection_node/detected_image_msg.hpp"
#include "camera_detection_node/frame/detection_drawing.hpp"
#include "camera_detection_node/frame/grab_gates.hpp"
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
      for (std::size_t i = 0; i < trash_objs.size(); ++i) {
        DetectedObject & trash = trash_objs[i];
        LOG_INFO("-----------------------------------------------------------------");
        orvanite::GetTrashType(trash.label, grab_pose_estimate_.get());
        Cloud::Ptr & raw_cloud = frame_workspace_.raw_cloud;
        trash.mask = trash.mask * 255.0;  // in place: every copy of the detection sees it
        bool is_transparent = false;
        GetTrashCloud(depth_image, trash, raw_cloud, &is_transparent);
        sensor_msgs::msg::PointCloud2 raw_cloud_msg;
        pcl::toROSMsg(*raw_cloud, raw_cloud_msg);
        LOG_DEBUG("cam_{}: 垃圾序号[{}]原始点云数量： {}", cam_id_, i, raw_cloud->size());
        if (raw_cloud->size() < min_trash_cloud_size_treshold_) {
          LOG_WARN("cam_{}: 垃圾序号[{}]原始点云数量太少, CONTINUE", cam_id_, i);
          continue;
        }
        Cloud::Ptr & cloud = frame_workspace_.cloud;
        pcl::transformPointCloud(*raw_cloud, *cloud, estimate.camera_extrinsic_);
        pcl::PointXYZ min_point;
        pcl::PointXYZ max_point;
        pcl::getMinMax3D(*cloud, min_point, max_point);
        const float trash_lowest_z = min_point.z;
        LOG_DEBUG("trash_lowest_z: {}", trash_lowest_z);
        if (
          is_enable_semantic_ &&
          !IsTrashToGrab(trash, base_wating_box_infos, trash_lowest_z, estimate.base_height_)) {
          LOG_WARN("cam_{}: 垃圾序号[{}]不在白名单位置处，忽略", cam_id_, i);
          continue;
        }
        LOG_INFO("cam_{}: 垃圾序号[{}]在白名单位置处，需要抓取", cam_id_, i);
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
        if (IsBboxWithinSizeRange(trash_info)) {
          LOG_INFO("cam_{}: 垃圾序号[{}]在抓取尺寸范围内，需要抓取", cam_id_, i);
          message.trash_infos.push_back(trash_info);
          message.trash_clouds.push_back(raw_cloud_msg);
        } else {
          LOG_INFO(kYellow + "cam_{}: 垃圾序号[{}]不在抓取尺寸范围内，忽略" + kReset, cam_id_, i);
          LOG_INFO(
            kDimYellow + "cam_{}: 垃圾序号[{}]obb_size: [{:.3f}, {:.3f}, {:.3f}]" + kReset, cam_id_,
            i, trash_info.obb_size[0], trash_info.obb_size[1], trash_info.obb_size[2]);
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
