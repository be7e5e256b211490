// Intrinsics, image size and the camera-to-arm-base transform, found once at start-up.
#include <chrono>
#include <string>

#include <pcl_ros/transforms.hpp>
#include <rclcpp/wait_for_message.hpp>
#include <sensor_msgs/msg/camera_info.hpp>
#include <tf2/exceptions.h>
#include <tf2/time.h>

#include "camera_detection_node/camera_detection_node.hpp"
#include "camera_detection_node/frame/camera_message_checks.hpp"
#include "common/logger.hpp"
#include "common/utils.hpp"

namespace
{
constexpr std::chrono::seconds kCameraInfoTimeout{60};
constexpr double kTransformTimeoutSeconds = 0.5;
// Image size assumed when no camera info arrives.
constexpr int kFallbackWidth = 640;
constexpr int kFallbackHeight = 360;
}  // namespace

void CameraDetectionNode::SetFallbackIntrinsics()
{
  fx_ = grab_pose_estimate_->fx_;
  cx_ = grab_pose_estimate_->cx_;
  fy_ = grab_pose_estimate_->fy_;
  cy_ = grab_pose_estimate_->cy_;
  width_ = kFallbackWidth;
  height_ = kFallbackHeight;
}

bool CameraDetectionNode::GetCameraParams(const std::string & camera_info_topic)
{
  if (camera_info_topic.empty()) {
    // Without a topic the per-frame steps still need defined intrinsics.
    SetFallbackIntrinsics();
    return false;
  }
  // Only wait_for_message takes from this subscription; its callback never runs.
  const auto subscription = node_->create_subscription<sensor_msgs::msg::CameraInfo>(
    camera_info_topic, rclcpp::QoS(1), [](sensor_msgs::msg::CameraInfo::ConstSharedPtr) {});
  sensor_msgs::msg::CameraInfo camera_info;
  const bool received = rclcpp::wait_for_message(
    camera_info, subscription, node_->get_node_options().context(), kCameraInfoTimeout);
  const std::string problem = received ? orvanite::CameraInfoProblem(camera_info) : "";
  if (!problem.empty()) {
    // Such intrinsics would put trash points anywhere; the file's values are at least physical.
    LOG_ERROR(
      "cam_{}: camera info on {} is unusable, {}; use default values from config file.", cam_id_,
      camera_info_topic, problem);
    SetFallbackIntrinsics();
  } else if (received) {
    fx_ = static_cast<float>(camera_info.k[0]);
    width_ = static_cast<int>(camera_info.width);
    cx_ = static_cast<float>(camera_info.k[2]);
    height_ = static_cast<int>(camera_info.height);
    fy_ = static_cast<float>(camera_info.k[4]);
    cy_ = static_cast<float>(camera_info.k[5]);
  } else {
    LOG_WARN(
      "Failed to get cam_{} intrinsic from camera_info_topic! use default values from config file.",
      cam_id_);
    SetFallbackIntrinsics();
  }
  LOG_INFO(
    "cam_{} : fx={:.2f}, cx={:.2f}, fy={:.2f}, cy={:.2f}, width={}, height={}", cam_id_, fx_, cx_,
    fy_, cy_, width_, height_);
  if (!problem.empty()) {
    return false;  // as without a topic: fallback values, the file's extrinsic
  }
  if (!received) {
    return true;  // the estimator keeps the extrinsic of its own file
  }
  if (!GetTransformMatrix(
        arm_base_frame_id_, cam_frame_id_, node_->get_clock()->now(),
        cam_to_arm_base_transform_matrix_)) {
    LOG_ERROR(
      "Failed to lookup transform from {} to {}, quitting callback", cam_frame_id_,
      arm_base_frame_id_);
    return false;
  }
  orvaniteLogDebugMatrix4f(
    "cam_" + std::to_string(cam_id_) + ": cam_to_arm_base_transform_matrix",
    cam_to_arm_base_transform_matrix_);
  grab_pose_estimate_->camera_extrinsic_ = cam_to_arm_base_transform_matrix_;
  return true;
}

bool CameraDetectionNode::GetTransformMatrix(
  std::string target_frame, std::string source_frame, rclcpp::Time time,
  Eigen::Matrix4f & transform_matrix)
{
  geometry_msgs::msg::TransformStamped transform;
  try {
    transform = tf_buffer_->lookupTransform(
      target_frame, source_frame, time, tf2::durationFromSec(kTransformTimeoutSeconds));
  } catch (const tf2::TransformException & e) {
    LOG_ERROR("Transform {} to {} error of sensor data:{}", source_frame, target_frame, e.what());
    return false;
  }
  pcl_ros::transformAsMatrix(transform, transform_matrix);
  return true;
}
