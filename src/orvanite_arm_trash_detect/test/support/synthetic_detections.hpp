// Small synthetic detections and depth images for the per-frame step tests.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_DETECTIONS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_DETECTIONS_HPP_

#include <cstdint>
#include <cstring>
#include <string>

#include <opencv2/core.hpp>
#include <sensor_msgs/msg/image.hpp>

#include "camera_detection_node/frame/types.hpp"

namespace orvanite_test
{
// A detection with an all-zero mask of `frame_size` (no mask when the size is empty).
inline orvanite::DetectedObject Detection(
  cv::Rect_<float> rect, int label = 4, float prob = 0.9F, cv::Size frame_size = cv::Size())
{
  orvanite::DetectedObject obj;
  obj.rect = rect;
  obj.label = label;
  obj.prob = prob;
  if (!frame_size.empty()) {
    obj.mask = cv::Mat::zeros(frame_size, CV_8UC1);
  }
  return obj;
}

// A depth message holding `depth` (CV_16UC1, millimetres), each row padded by `padding` bytes.
inline sensor_msgs::msg::Image DepthImage(
  const cv::Mat & depth, std::size_t padding = 0, const std::string & encoding = "16UC1")
{
  sensor_msgs::msg::Image image;
  image.height = static_cast<std::uint32_t>(depth.rows);
  image.width = static_cast<std::uint32_t>(depth.cols);
  image.encoding = encoding;
  image.step = static_cast<std::uint32_t>(depth.cols * sizeof(std::uint16_t) + padding);
  image.data.assign(image.step * image.height, 0xEE);  // padding bytes hold garbage
  for (int row = 0; row < depth.rows; ++row) {
    std::memcpy(&image.data[row * image.step], depth.ptr(row), depth.cols * sizeof(std::uint16_t));
  }
  return image;
}
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_DETECTIONS_HPP_
