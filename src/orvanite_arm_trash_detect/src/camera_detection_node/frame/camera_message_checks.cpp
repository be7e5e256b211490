#include "camera_detection_node/frame/camera_message_checks.hpp"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include <fmt/format.h>
#include <sensor_msgs/image_encodings.hpp>

namespace orvanite
{
namespace
{
bool IsImageSide(std::uint32_t side) { return side >= 1 && side <= kMaxImageSide; }

bool IsWithin(double value, double upper)
{
  return std::isfinite(value) && value >= 0.0 && value <= upper;
}
}  // namespace

std::string CameraInfoProblem(const sensor_msgs::msg::CameraInfo & camera_info)
{
  if (!IsImageSide(camera_info.width) || !IsImageSide(camera_info.height)) {
    return fmt::format(
      "image size {}x{} is outside 1 to {} pixels", camera_info.width, camera_info.height,
      kMaxImageSide);
  }
  // As the camera keeps them: a double that rounds to 0 or infinity is no focal length either.
  const float fx = static_cast<float>(camera_info.k[0]);
  const float fy = static_cast<float>(camera_info.k[4]);
  if (!(std::isfinite(fx) && fx > 0.0f) || !(std::isfinite(fy) && fy > 0.0f)) {
    return fmt::format("focal lengths fx={} fy={} are not finite and positive", fx, fy);
  }
  // A tiny focal length passes the test above and then puts every point beyond 1e4 m.
  constexpr ValueRange<float> kFocal = config_range::kFocalLength;
  if (!kFocal.Contains(fx) || !kFocal.Contains(fy)) {
    return fmt::format(
      "focal lengths fx={} fy={} are outside {} to {} pixels", fx, fy, kFocal.min, kFocal.max);
  }
  const double cx = camera_info.k[2];
  const double cy = camera_info.k[5];
  if (!IsWithin(cx, camera_info.width) || !IsWithin(cy, camera_info.height)) {
    return fmt::format(
      "principal point cx={} cy={} lies outside the {}x{} image", cx, cy, camera_info.width,
      camera_info.height);
  }
  return {};
}

std::string ImageLayoutProblem(const sensor_msgs::msg::Image & image)
{
  if (!IsImageSide(image.width) || !IsImageSide(image.height)) {
    return fmt::format(
      "image size {}x{} is outside 1 to {} pixels", image.width, image.height, kMaxImageSide);
  }
  std::uint64_t pixel_bits = 0;
  try {
    namespace enc = sensor_msgs::image_encodings;
    pixel_bits = static_cast<std::uint64_t>(enc::numChannels(image.encoding)) *
                 static_cast<std::uint64_t>(enc::bitDepth(image.encoding));
  } catch (const std::runtime_error &) {
    return fmt::format("encoding '{}' is unknown", image.encoding);
  }
  const std::uint64_t row_bytes = (std::uint64_t{image.width} * pixel_bits + 7) / 8;
  const std::uint64_t data_bytes = std::uint64_t{image.height} * image.step;
  if (image.step < row_bytes || image.data.size() != data_bytes) {
    return fmt::format(
      "{} image {}x{} with step {} does not fit its {} bytes", image.encoding, image.width,
      image.height, image.step, image.data.size());
  }
  return {};
}

}  // namespace orvanite
