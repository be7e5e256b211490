#ifndef CV_BRIDGE__CV_BRIDGE_H_
#define CV_BRIDGE__CV_BRIDGE_H_

#include <memory>
#include <stdexcept>
#include <string>

#include <opencv2/core/mat.hpp>

#include "sensor_msgs/image_encodings.hpp"
#include "sensor_msgs/msg/image.hpp"
#include "std_msgs/msg/header.hpp"

namespace cv_bridge
{
// Raised for a malformed image, an unknown encoding or an impossible conversion.
class Exception : public std::runtime_error
{
public:
  explicit Exception(const std::string & description) : std::runtime_error(description) {}
};

class CvImage;
typedef std::shared_ptr<CvImage> CvImagePtr;
typedef std::shared_ptr<CvImage const> CvImageConstPtr;

// An OpenCV matrix with the header and encoding of the image message it came from or goes to.
class CvImage
{
public:
  std_msgs::msg::Header header;
  std::string encoding;
  cv::Mat image;

  CvImage() {}
  CvImage(
    const std_msgs::msg::Header & header, const std::string & encoding,
    const cv::Mat & image = cv::Mat())
  : header(header), encoding(encoding), image(image)
  {
  }

  // Copies the matrix into a message with step = cols * elemSize(), row by row when the matrix
  // is not continuous. Throws Exception when a known encoding disagrees with the matrix type.
  sensor_msgs::msg::Image::SharedPtr toImageMsg() const;
  void toImageMsg(sensor_msgs::msg::Image & ros_image) const;

  typedef std::shared_ptr<CvImage> Ptr;
  typedef std::shared_ptr<CvImage const> ConstPtr;
};

// Deep copy of `source`, converted to `encoding` (empty: keep the source's). Throws Exception
// when width or height is 0, step < width * pixel size, height * step != data.size() (all in 64
// bits), or the conversion is unsupported.
CvImagePtr toCvCopy(
  const sensor_msgs::msg::Image::ConstSharedPtr & source,
  const std::string & encoding = std::string());
CvImagePtr toCvCopy(
  const sensor_msgs::msg::Image & source, const std::string & encoding = std::string());

// The OpenCV type (CV_8UC3, ...) of an encoding; throws Exception for an unknown one.
int getCvType(const std::string & encoding);
}  // namespace cv_bridge

#endif  // CV_BRIDGE__CV_BRIDGE_H_
