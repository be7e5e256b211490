// A scene's frames, intrinsics and transforms as the messages a camera driver and a TF publisher
// send. The only file of the library that knows ROS message types.
#ifndef ORVANITE_SCENE_SIM__MESSAGES_HPP_
#define ORVANITE_SCENE_SIM__MESSAGES_HPP_

#include <string>
#include <vector>

#include <builtin_interfaces/msg/time.hpp>
#include <geometry_msgs/msg/transform_stamped.hpp>
#include <sensor_msgs/msg/camera_info.hpp>
#include <sensor_msgs/msg/image.hpp>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

// "rgb8" from CV_8UC3 or "16UC1" from CV_16UC1, rows packed; throws std::invalid_argument for any
// other matrix type.
sensor_msgs::msg::Image ToImageMsg(
  const cv::Mat & image, const std::string & frame_id, const builtin_interfaces::msg::Time & stamp);

// k = [fx 0 cx; 0 fy cy; 0 0 1], p = [k | 0], r = identity, plumb_bob with zero distortion.
sensor_msgs::msg::CameraInfo ToCameraInfo(
  const Camera & camera, const builtin_interfaces::msg::Time & stamp);

// map -> arm base first, then arm base -> each camera's optical frame, in camera order.
std::vector<geometry_msgs::msg::TransformStamped> ToTransforms(
  const Scene & scene, const builtin_interfaces::msg::Time & stamp);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__MESSAGES_HPP_
