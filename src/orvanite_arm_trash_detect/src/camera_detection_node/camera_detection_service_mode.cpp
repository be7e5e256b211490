// Service mode: while a result is wanted (or on every frame in real-time estimation) detect,
// estimate a grasp pose per trash, fill the record list and finish the handshake.
#include <chrono>
#include <exception>
#include <string>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <pcl/io/ply_io.h>

#include <pcl_conversions/pcl_conversions.h>
#include <tf2/exceptions.h>

#include "camera_detection_node/camera_detection_node.hpp"
#include "camera_detection_node/detected_image_msg.hpp"
#include "camera_detection_node/frame/detection_drawing.hpp"
#include "camera_detection_node/frame/grab_pose_markers.hpp"
#include "camera_detection_node/frame/local_timestamp.hpp"
#include "camera_detection_node/frame/trash_record.hpp"
#include "common/ansi_colors.hpp"
#include "common/cloud_reuse.hpp"
#include "common/elapsed_time.hpp"
#include "common/logger.hpp"

namespace
{
using Cloud = pcl::PointCloud<pcl::PointXYZ>;

// Every record of the service-mode frame names the callback, whichever step writes it.
constexpr char kImageCallback[] = "ImageCallback";

// The service frame's own lines for the steps of each trash.
const orvanite::TrashLines kServiceLines{
  kImageCallback,
  nullptr,
  "cam_{}: now processing trash calss_id = {}",
  orvanite::kLogInfo,
  "cam_{}: 垃圾序号[{}]原始点云数量少于{}，请重新检测！",
  orvanite::kLogInfo};
}  // namespace

void CameraDetectionNode::ImageCallback(
  Image::ConstSharedPtr rgb_image, Image::ConstSharedPtr depth_image)
{
  if (!ShouldProcessFrame()) {
    return;
  }
  // A library exception must not reach the executor; the handshake then stays unfinished and
  // the service times out on this camera.
  try {
    std::optional<ModelFrame> frame = RunModel(rgb_image);
    if (!frame) {
      // No record of an earlier frame may survive, and the service answers at once.
      BeginDetectFrame();
      FinishDetect();
      return;
    }
    cv::Mat & color_image = frame->color;
    const std::vector<DetectedObject> & objs = frame->objs;
    const auto t0 = frame->start;
    LOG_INFO(kMagenta + "cam_{}: model->detect cost {} ms" + kReset, cam_id_, frame->detect_ms);

    cv::Mat detected_image = PublishDetectedImage(color_image, objs, __func__);
    // Files are BGR; an empty annotated image has nothing to convert or save. Only the debug
    // files read the converted images.
    if (is_debug_) {
      cv::cvtColor(color_image, color_image, cv::COLOR_RGB2BGR);
      if (!detected_image.empty()) {
        cv::cvtColor(detected_image, detected_image, cv::COLOR_RGB2BGR);
      }
    }
    BeginDetectFrame();

    if (is_debug_) {
      SaveFrameImages(color_image, detected_image);
    }

    std::vector<DetectedObject> trash_objs;
    if (!GetTrashObjects(objs, trash_objs)) {
      ReportFrameWithoutTrash(color_image);
    } else {
      std::vector<BoxInfo> base_wating_box_infos;
      GetBaseWaitingBoxInfos(objs, base_wating_box_infos);
      // Each merged cloud is the pcl concatenation of the trashes' clouds in order, starting
      // from an empty cloud: largest stamp, dense only if all parts are.
      orvanite::ResetKeepingCapacity(frame_workspace_.merged_initial);
      orvanite::ResetKeepingCapacity(frame_workspace_.merged_processed);
      const orvanite::TrashSteps steps =
        MakeTrashSteps(kServiceLines, is_debug_ ? &grab_pose_estimate_->file_prefix_ : nullptr);
      for (std::size_t i = 0; i < trash_objs.size(); ++i) {
        if (!ProcessTrash(steps, i, trash_objs[i], depth_image, base_wating_box_infos)) {
          FinishDetect();  // the records appended so far are the answer
          return;
        }
      }
      if (is_debug_ || is_realtime_estimate_) {
        PublishServiceResults(frame_workspace_.merged_processed, frame_workspace_.merged_initial);
      }
    }
    FinishDetect();
    LOG_INFO(
      kMagenta + "cam_{}: ImageCallback cost {} ms" + kReset, cam_id_,
      orvanite::ElapsedMilliseconds(t0));
  } catch (const std::exception & e) {
    LOG_ERROR("cam_{}: frame abandoned: {}", cam_id_, e.what());
  }
}

void CameraDetectionNode::SaveFrameImages(
  const cv::Mat & color_image, const cv::Mat & detected_image)
{
  const std::string & file_prefix = grab_pose_estimate_->file_prefix_;
  if (cv::imwrite(file_prefix + orvanite::FormatLocalTimestamp() + "[initial].jpg", color_image)) {
    LOG_INFO_AS(kImageCallback, "cam_{}: initial image succeed to save", cam_id_);
  } else {
    LOG_INFO_AS(kImageCallback, "cam_{}: initial image failed to save", cam_id_);
  }
  if (
    !detected_image.empty() &&
    cv::imwrite(
      file_prefix + orvanite::FormatLocalTimestamp() + "[detected].jpg", detected_image)) {
    LOG_INFO_AS(kImageCallback, "cam_{}: detected image succeed to save", cam_id_);
  } else {
    LOG_INFO_AS(kImageCallback, "cam_{}: detected image failed to save", cam_id_);
  }
}

void CameraDetectionNode::ReportFrameWithoutTrash(const cv::Mat & color_image)
{
  if (!is_debug_) {
    LOG_INFO_AS(kImageCallback, "cam_{}: failed to detect trash", cam_id_);
    return;
  }
  const std::string path =
    grab_pose_estimate_->missing_detect_prefix_ + orvanite::FormatLocalTimestamp() + ".jpg";
  if (cv::imwrite(path, color_image)) {
    LOG_INFO_AS(kImageCallback, "cam_{}: failed to detect trash, image saved", cam_id_);
  } else {
    LOG_INFO_AS(kImageCallback, "cam_{}: failed to detect trash, image failed to save", cam_id_);
  }
}

bool CameraDetectionNode::ProcessTrash(
  const orvanite::TrashSteps & steps, std::size_t i, DetectedObject & trash,
  const Image::ConstSharedPtr & depth_image, const std::vector<BoxInfo> & base_wating_box_infos)
{
  GrabPoseEstimate & estimate = *grab_pose_estimate_;
  bool is_transparent = false;
  if (!steps.PrepareCloud(i, trash, *depth_image, &is_transparent)) {
    return true;
  }
  Cloud::Ptr & cloud = frame_workspace_.cloud;
  const bool publishes_clouds = is_debug_ || is_realtime_estimate_;
  if (publishes_clouds) {
    frame_workspace_.merged_initial += *cloud;
  }

  int flag_estimate = orvanite::ESTIMATE_OK;
  if (is_transparent && is_enable_transparent_) {
    flag_estimate = estimate.GetTransparentGrabPose(cloud);
    // A grasp point too high for a transparent grasp: the opaque pose on the same cloud.
    if (estimate.grab_tcp_.z() > transparent_grab_z_threshold_) {
      flag_estimate = estimate.GetInitialGrabPose(cloud);
    }
  } else {
    flag_estimate = estimate.GetInitialGrabPose(cloud);
  }
  if (publishes_clouds) {
    frame_workspace_.merged_processed += *cloud;
  }
  if (is_debug_) {
    pcl::io::savePLYFileASCII(
      orvanite::TrashDebugPath(estimate.file_prefix_, i, "[processed].ply"), *cloud);
  }
  if (flag_estimate != orvanite::ESTIMATE_OK) {
    LOG_WARN_AS(
      kImageCallback, "cam_{}: grab pose estimate flag_estimate: {}", cam_id_, flag_estimate);
    return true;
  }
  LOG_INFO_AS(kImageCallback, "cam_{}: grab pose estimate flag_estimate = 1", cam_id_);
  if (!steps.PassesWhiteList(i, trash, base_wating_box_infos, estimate.trash_lowest_z_)) {
    return true;
  }
  TrashInfo trash_info = orvanite::MakeGraspTrashInfo(trash.label, estimate);
  if (!steps.PassesSizeRange(i, trash_info)) {
    return true;
  }
  if (is_grab_aim_trash_) {
    try {
      const auto map_from_arm_base =
        tf_buffer_->lookupTransform(map_frame_id_, arm_base_frame_id_, tf2::TimePointZero);
      trash_info.map_pose =
        orvanite::ComposePoses(map_from_arm_base.transform, trash_info.grab_pose);
    } catch (const tf2::TransformException & e) {
      LOG_ERROR_AS(
        kImageCallback, "Transform from {} to {} failed: {}", map_frame_id_, arm_base_frame_id_,
        e.what());
      return false;
    }
  }
  AppendTrashInfo(trash_info);
  return true;
}

void CameraDetectionNode::PublishServiceResults(
  const pcl::PointCloud<pcl::PointXYZ> & processed_cloud,
  const pcl::PointCloud<pcl::PointXYZ> & initial_cloud)
{
  const auto publish_cloud = [this](const Cloud & cloud, auto & publisher) {
    sensor_msgs::msg::PointCloud2 msg;
    pcl::toROSMsg(cloud, msg);
    msg.header.frame_id = arm_base_frame_id_;
    msg.header.stamp = rclcpp::Clock(RCL_SYSTEM_TIME).now();
    publisher->publish(msg);
  };
  publish_cloud(processed_cloud, trashes_cloud_pub_);
  publish_cloud(initial_cloud, trashes_init_cloud_pub_);

  const orvanite::StampSource node_now = [this]() { return node_->now(); };
  for (const auto & frame :
       orvanite::MakeGrabPoseFrames(SnapshotTrashInfos(), arm_base_frame_id_, cam_id_, node_now)) {
    static_broadcaster_->sendTransform(frame);
  }
  const auto obb_records = SnapshotTrashInfos();
  if (!obb_records.empty()) {
    trash_obb_markers_pub_->publish(
      orvanite::MakeObbMarkers(obb_records, arm_base_frame_id_, cam_id_, node_now));
  }
  const auto pose_records = SnapshotTrashInfos();
  if (!pose_records.empty()) {
    trash_pose_markers_pub_->publish(
      orvanite::MakePoseMarkers(pose_records, arm_base_frame_id_, node_now));
  }
}
