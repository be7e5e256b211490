// Checks of what a camera driver sends, before it reaches a library that would trust it.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__CAMERA_MESSAGE_CHECKS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__CAMERA_MESSAGE_CHECKS_HPP_

#include <string>

#include <sensor_msgs/msg/camera_info.hpp>
#include <sensor_msgs/msg/image.hpp>

#include "common/config_ranges.hpp"  // kMaxImageSide, config_range::kFocalLength

namespace orvanite
{

// Empty when the intrinsics can be used: width and height from 1 to kMaxImageSide, fx = K[0] and
// fy = K[4] as floats within config_range::kFocalLength (1 to 1e5 pixels), cx = K[2] within
// [0, width] and cy = K[5] within [0, height].
// Otherwise the first problem found, naming the value, for an ERROR line.
std::string CameraInfoProblem(const sensor_msgs::msg::CameraInfo & camera_info);

// Empty when the image can be converted: width and height from 1 to kMaxImageSide, an encoding
// with a known pixel size, a step of at least width x bytes per pixel and exactly height x step
// bytes of data (computed in 64 bits). Otherwise the problem, for an ERROR line.
std::string ImageLayoutProblem(const sensor_msgs::msg::Image & image);

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__CAMERA_MESSAGE_CHECKS_HPP_
