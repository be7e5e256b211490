// The per-frame steps as members: each hands this camera's settings to the ROS-free step.
#include <cstdint>
#include <string>

#include <opencv2/core.hpp>
#include <cv_bridge/cv_bridge.h>
#include <sensor_msgs/image_encodings.hpp>

#include "camera_detection_node/frame/box_records.hpp"
#include "camera_detection_node/camera_detection_node.hpp"
#include "camera_detection_node/detected_image_msg.hpp"
#include "camera_detection_node/frame/detection_drawing.hpp"
#include "common/elapsed_time.hpp"
#include "camera_detection_node/frame/camera_message_checks.hpp"
#include "camera_detection_node/frame/grab_gates.hpp"
#include "camera_detection_node/frame/trash_cloud.hpp"
#include "common/logger.hpp"

orvanite::TrashSteps CameraDetectionNode::MakeTrashSteps(
  const orvanite::TrashLines & lines, const std::string * debug_file_prefix)
{
  return {
    frame_settings_,      min_trash_cloud_size_treshold_, is_enable_semantic_, class_height_conf_,
    class_size_range_map, *grab_pose_estimate_,           frame_workspace_,    lines,
    debug_file_prefix};
}

bool CameraDetectionNode::GetTrashObjects(
  const std::vector<DetectedObject> & objs, std::vector<DetectedObject> & trash_objs)
{
  return orvanite::GetTrashObjects(objs, trash_objs, trash_class_ids_, frame_settings_);
}

bool CameraDetectionNode::IsAtEdge(DetectedObject obj)
{
  return orvanite::IsAtEdge(obj, frame_settings_);
}

void CameraDetectionNode::GetBaseWaitingBoxInfos(
  const std::vector<DetectedObject> & objs, std::vector<BoxInfo> & base_wating_box_infos)
{
  orvanite::GetBaseWaitingBoxInfos(objs, base_wating_box_infos, cam_id_);
}

void CameraDetectionNode::GetObjsBoxInfos(
  const std::vector<DetectedObject> & objs, std::vector<BoxInfo> & box_infos)
{
  orvanite::GetObjsBoxInfos(objs, box_infos, cam_id_);
}

void CameraDetectionNode::GetTrashCloud(
  Image::ConstSharedPtr depth_image, const DetectedObject & obj,
  pcl::PointCloud<pcl::PointXYZ>::Ptr & trash_cloud, bool * is_transparent)
{
  orvanite::GetTrashCloud(
    *depth_image, obj, trash_cloud, is_transparent, frame_settings_, frame_workspace_.mask_points);
}

bool CameraDetectionNode::IsTrashToGrab(
  const DetectedObject & obj, std::vector<BoxInfo> base_wating_box_infos, float trash_lowest_z,
  float base_height)
{
  return orvanite::IsTrashToGrab(
    obj, base_wating_box_infos, trash_lowest_z, base_height, class_height_conf_, frame_settings_);
}

bool CameraDetectionNode::IsBboxWithinSizeRange(const TrashInfo & trash_info)
{
  return orvanite::IsBboxWithinSizeRange(trash_info, class_size_range_map);
}

std::optional<CameraDetectionNode::ModelFrame> CameraDetectionNode::RunModel(
  const Image::ConstSharedPtr & rgb_image)
{
  ModelFrame frame;
  if (!ConvertToRgb8(rgb_image, frame_workspace_.color)) {
    return std::nullopt;
  }
  frame.color = frame_workspace_.color;
  frame.start = std::chrono::system_clock::now();
  m_model_->detect(frame.color, frame.objs);
  frame.detect_ms = orvanite::ElapsedMilliseconds<std::chrono::milliseconds>(frame.start);
  return frame;
}

cv::Mat CameraDetectionNode::PublishDetectedImage(
  const cv::Mat & color_image, const std::vector<DetectedObject> & objs, const char * operation)
{
  cv::Mat detected_image;
  if (m_model_type_ == "seg") {
    orvanite::DrawDetectedObjects(
      color_image, frame_workspace_.detected_image, objs, class_names_, frame_workspace_.overlay);
    detected_image = frame_workspace_.detected_image;
  } else {
    LOG_WARN_AS(operation, "m_model_type_ != seg");
  }
  detected_image_pub_->publish(orvanite::ToDetectedImageMsg(detected_image));
  return detected_image;
}

bool CameraDetectionNode::ConvertToRgb8(const Image::ConstSharedPtr & rgb_image, cv::Mat & color)
{
  // Checked here: cv_bridge would wrap the message's data in a matrix of whatever size it claims.
  const std::string problem = orvanite::ImageLayoutProblem(*rgb_image);
  if (!problem.empty()) {
    LOG_ERROR("cam_{}: colour image dropped, {}", cam_id_, problem);
    return false;
  }
  std::string error;
  try {
    if (rgb_image->encoding == sensor_msgs::image_encodings::RGB8) {
      // Copied into the camera's own buffer, which the frame changes: the message stays as sent.
      const cv::Mat pixels(
        static_cast<int>(rgb_image->height), static_cast<int>(rgb_image->width), CV_8UC3,
        const_cast<std::uint8_t *>(rgb_image->data.data()), rgb_image->step);
      pixels.copyTo(color);
    } else {
      color = cv_bridge::toCvCopy(rgb_image, "rgb8")->image;
    }
    return true;
  } catch (const cv_bridge::Exception & e) {
    error = e.what();
  } catch (const cv::Exception & e) {
    error = e.what();
  }
  LOG_ERROR("cam_{}: colour image dropped, it cannot be converted to rgb8: {}", cam_id_, error);
  return false;
}
