// The annotated image as the message the camera publishes.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__DETECTED_IMAGE_MSG_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__DETECTED_IMAGE_MSG_HPP_

#include <memory>

#include <opencv2/core.hpp>
#include <sensor_msgs/msg/image.hpp>

namespace orvanite
{
// The annotated image as an "rgb8" message with a default header, its pixels copied once; the
// publisher takes it over without another copy.
std::unique_ptr<sensor_msgs::msg::Image> ToDetectedImageMsg(const cv::Mat & detected_image);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__DETECTED_IMAGE_MSG_HPP_
