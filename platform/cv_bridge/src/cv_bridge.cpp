#include "cv_bridge/cv_bridge.h"

#include <cstdint>
#include <cstring>

#include "conversion.hpp"

namespace cv_bridge
{
namespace
{
// Every size is checked in 64 bits before any row is touched, so that no product wraps around
// and an image with no pixels is refused instead of walked.
void validate(const sensor_msgs::msg::Image & source, int type)
{
  if (source.width == 0 || source.height == 0) {
    throw Exception(
      "Image is wrongly formed: width or height is 0  or  " + std::to_string(source.width) + " x " +
      std::to_string(source.height));
  }
  const std::uint64_t row_bytes = std::uint64_t{source.width} * CV_ELEM_SIZE(type);
  if (source.step < row_bytes) {
    throw Exception(
      "Image is wrongly formed: step < width * byte_depth * num_channels  or  " +
      std::to_string(source.step) + " != " + std::to_string(row_bytes));
  }
  const std::uint64_t expected = std::uint64_t{source.height} * source.step;
  if (expected != source.data.size()) {
    throw Exception(
      "Image is wrongly formed: height * step != size  or  " + std::to_string(source.height) +
      " * " + std::to_string(source.step) + " != " + std::to_string(source.data.size()));
  }
}
}  // namespace

CvImagePtr toCvCopy(const sensor_msgs::msg::Image & source, const std::string & encoding)
{
  const int type = getCvType(source.encoding);
  validate(source, type);

  cv::Mat copy(static_cast<int>(source.height), static_cast<int>(source.width), type);
  if (!copy.empty()) {
    const cv::Mat view(
      copy.rows, copy.cols, type, const_cast<std::uint8_t *>(source.data.data()), source.step);
    view.copyTo(copy);
  }
  if ((source.is_bigendian != 0) != hostIsBigEndian()) {
    swapBytes(copy);
  }

  auto result = std::make_shared<CvImage>(source.header, source.encoding, copy);
  if (!encoding.empty() && encoding != source.encoding) {
    result->image = convertEncoding(copy, source.encoding, encoding);
    result->encoding = encoding;
  }
  return result;
}

CvImagePtr toCvCopy(
  const sensor_msgs::msg::Image::ConstSharedPtr & source, const std::string & encoding)
{
  return toCvCopy(*source, encoding);
}

void CvImage::toImageMsg(sensor_msgs::msg::Image & ros_image) const
{
  if (!image.empty() && getCvType(encoding) != image.type()) {
    throw Exception(
      "Encoding [" + encoding + "] does not match the matrix type " + std::to_string(image.type()));
  }
  ros_image.header = header;
  ros_image.encoding = encoding;
  ros_image.height = static_cast<std::uint32_t>(image.rows);
  ros_image.width = static_cast<std::uint32_t>(image.cols);
  ros_image.is_bigendian = hostIsBigEndian();
  const size_t row_bytes = image.cols * image.elemSize();
  ros_image.step = static_cast<std::uint32_t>(row_bytes);
  ros_image.data.resize(row_bytes * image.rows);
  if (image.empty()) {
    return;
  }
  if (image.isContinuous()) {
    std::memcpy(ros_image.data.data(), image.data, ros_image.data.size());
    return;
  }
  for (int row = 0; row < image.rows; ++row) {
    std::memcpy(ros_image.data.data() + row * row_bytes, image.ptr(row), row_bytes);
  }
}

sensor_msgs::msg::Image::SharedPtr CvImage::toImageMsg() const
{
  auto message = std::make_shared<sensor_msgs::msg::Image>();
  toImageMsg(*message);
  return message;
}
}  // namespace cv_bridge
