// Synthetic RGB-D frames of a camera looking straight down on a floor with flat-topped boxes,
// and the grasp-pose file settings (extrinsic and intrinsics) that match that camera. The floor
// and the box tops give depth in millimetres; a box's colour decides what the colour-key model
// finds there.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_RGBD_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_RGBD_HPP_

#include <cmath>
#include <cstdint>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <Eigen/Core>
#include <opencv2/core.hpp>

#include <sensor_msgs/msg/image.hpp>

#include "support/camera_fixture.hpp"

namespace orvanite_test
{
// Optical axis along the arm base's -z, image x along its +x, image y along its -y.
struct DownwardCamera
{
  float fx = 600.0f;
  float fy = 600.0f;
  float cx = 320.0f;
  float cy = 180.0f;
  int width = 640;
  int height = 360;
  Eigen::Vector3d position{-0.5, 0.0, 0.3};  // arm-base frame, metres
  double floor_z = -0.176;                   // arm-base frame: the shipped base height

  // Depth of a horizontal surface at arm-base height z.
  uint16_t DepthMm(double z) const
  {
    return static_cast<uint16_t>(std::lround((position.z() - z) * 1000.0));
  }

  // Arm-base point seen at pixel (u, v) with depth `depth_mm`.
  Eigen::Vector3d ToArmBase(double u, double v, uint16_t depth_mm) const
  {
    const double z = depth_mm / 1000.0;
    return position + Eigen::Vector3d((u - cx) * z / fx, -(v - cy) * z / fy, -z);
  }

  // The 16 row-major numbers of the camera-to-arm-base transform.
  std::string ExtrinsicYaml() const
  {
    std::ostringstream yaml;
    yaml << "[1.0, 0.0, 0.0, " << position.x() << ", 0.0, -1.0, 0.0, " << position.y()
         << ", 0.0, 0.0, -1.0, " << position.z() << ", 0.0, 0.0, 0.0, 1.0]";
    return yaml.str();
  }
};

// A box standing on the floor, seen from above as a rectangle of one colour.
struct FloorBox
{
  cv::Rect rect;
  cv::Vec3b rgb;
  double height;  // metres above the floor
};

// Puts the camera's extrinsic and intrinsics into the fixture's grasp-pose file.
inline void UseCamera(const CameraFixture & fixture, const DownwardCamera & camera)
{
  const auto path = fixture.overlay().ConfigDir() / "cam1_pose_estimate_config.yaml";
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  std::string yaml = std::regex_replace(
    text.str(), std::regex("\\bdata: *\\[[^\\]]*\\]"), "data: " + camera.ExtrinsicYaml());
  const std::pair<const char *, float> intrinsics[] = {
    {"fx", camera.fx}, {"fy", camera.fy}, {"cx", camera.cx}, {"cy", camera.cy}};
  for (const auto & [key, value] : intrinsics) {
    yaml = std::regex_replace(
      yaml, std::regex(std::string("\\b") + key + ": *[-0-9.]+"),
      std::string(key) + ": " + std::to_string(value));
  }
  fixture.overlay().WriteConfig("cam1_pose_estimate_config.yaml", yaml);
}

// A packed image message of the camera frame, stamped `stamp_sec`.
inline sensor_msgs::msg::Image ToImageMsg(
  const cv::Mat & image, const char * encoding, int32_t stamp_sec)
{
  sensor_msgs::msg::Image msg;
  msg.header.stamp.sec = stamp_sec;
  msg.header.frame_id = "camera_color_optical_frame";
  msg.height = static_cast<uint32_t>(image.rows);
  msg.width = static_cast<uint32_t>(image.cols);
  msg.encoding = encoding;
  msg.step = static_cast<uint32_t>(image.cols * image.elemSize());
  msg.data.assign(image.datastart, image.dataend);
  return msg;
}

// Grey floor with the boxes: "rgb8" colour and "16UC1" depth, stamped `stamp_sec`.
inline std::pair<sensor_msgs::msg::Image, sensor_msgs::msg::Image> MakeRgbdFrame(
  const DownwardCamera & camera, const std::vector<FloorBox> & boxes, int32_t stamp_sec)
{
  cv::Mat rgb(camera.height, camera.width, CV_8UC3, cv::Scalar(128, 128, 128));
  cv::Mat depth(camera.height, camera.width, CV_16UC1, cv::Scalar(camera.DepthMm(camera.floor_z)));
  for (const auto & box : boxes) {
    rgb(box.rect).setTo(cv::Scalar(box.rgb[0], box.rgb[1], box.rgb[2]));
    depth(box.rect).setTo(cv::Scalar(camera.DepthMm(camera.floor_z + box.height)));
  }
  return {ToImageMsg(rgb, "rgb8", stamp_sec), ToImageMsg(depth, "16UC1", stamp_sec)};
}
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_RGBD_HPP_
