#include "camera_detection_node/detected_image_msg.hpp"

#include <cv_bridge/cv_bridge.h>
#include <std_msgs/msg/header.hpp>

namespace orvanite
{
std::unique_ptr<sensor_msgs::msg::Image> ToDetectedImageMsg(const cv::Mat & detected_image)
{
  auto msg = std::make_unique<sensor_msgs::msg::Image>();
  cv_bridge::CvImage(std_msgs::msg::Header(), "rgb8", detected_image).toImageMsg(*msg);
  return msg;
}
}  // namespace orvanite
