// What a camera driver sends is checked before the per-frame steps or cv_bridge trust it.
#include "camera_detection_node/frame/camera_message_checks.hpp"

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace
{
using orvanite::CameraInfoProblem;
using orvanite::ImageLayoutProblem;

sensor_msgs::msg::CameraInfo Info(
  std::uint32_t width, std::uint32_t height, double fx, double fy, double cx, double cy)
{
  sensor_msgs::msg::CameraInfo info;
  info.width = width;
  info.height = height;
  info.k = {fx, 0.0, cx, 0.0, fy, cy, 0.0, 0.0, 1.0};
  return info;
}

TEST(CameraInfoCheck, PhysicalIntrinsicsPassAndAbsurdOnesNameTheValue)
{
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case
  {
    sensor_msgs::msg::CameraInfo info;
    std::string problem;  // empty: usable
  };
  const Case cases[] = {
    {Info(640, 480, 600.0, 605.0, 320.5, 240.25), ""},
    {Info(1, 1, 1.0, 1.0, 0.0, 1.0), ""},  // the edges of the focal lengths and principal point
                                           // are inside
    {Info(32768, 32768, 1e5, 1e5, 32768.0, 0.0), ""},
    {Info(0, 480, 600, 600, 0, 240), "image size 0x480 is outside 1 to 32768 pixels"},
    {Info(640, 0, 600, 600, 320, 0), "image size 640x0 is outside 1 to 32768 pixels"},
    {Info(2147483648u, 480, 600, 600, 320, 240),
     "image size 2147483648x480 is outside 1 to 32768 pixels"},
    {Info(640, 480, 0.0, 600, 320, 240), "focal lengths fx=0 fy=600 are not finite and positive"},
    {Info(640, 480, 600, -1.0, 320, 240), "focal lengths fx=600 fy=-1 are not finite and positive"},
    {Info(640, 480, inf, 600, 320, 240), "focal lengths fx=inf fy=600 are not finite and positive"},
    {Info(640, 480, 600, nan, 320, 240), "focal lengths fx=600 fy=nan are not finite and positive"},
    {Info(640, 480, 1e-300, 600, 320, 240),
     "focal lengths fx=0 fy=600 are not finite and positive"},
    {Info(640, 480, 600, 1e300, 320, 240),
     "focal lengths fx=600 fy=inf are not finite and positive"},
    // Finite and positive, yet no camera: every point would land beyond 1e4 m, or at the axis.
    {Info(640, 480, 1e-36, 600, 320, 240),
     "focal lengths fx=1e-36 fy=600 are outside 1 to 100000 pixels"},
    {Info(640, 480, 600, 0.999, 320, 240),
     "focal lengths fx=600 fy=0.999 are outside 1 to 100000 pixels"},
    {Info(640, 480, 100001, 600, 320, 240),
     "focal lengths fx=100001 fy=600 are outside 1 to 100000 pixels"},
    {Info(640, 480, 600, 600, -0.5, 240),
     "principal point cx=-0.5 cy=240 lies outside the 640x480 image"},
    {Info(640, 480, 600, 600, 320, 480.5),
     "principal point cx=320 cy=480.5 lies outside the 640x480 image"},
    {Info(640, 480, 600, 600, nan, 240),
     "principal point cx=nan cy=240 lies outside the 640x480 image"},
  };
  for (const auto & c : cases) {
    EXPECT_EQ(CameraInfoProblem(c.info), c.problem);
  }
}

sensor_msgs::msg::Image ImageOf(
  const std::string & encoding, std::uint32_t width, std::uint32_t height, std::uint32_t step,
  std::size_t bytes)
{
  sensor_msgs::msg::Image image;
  image.encoding = encoding;
  image.width = width;
  image.height = height;
  image.step = step;
  image.data.resize(bytes);
  return image;
}

TEST(ImageLayoutCheck, OnlyImagesWhoseDataFitsTheirSizeAndStepPass)
{
  struct Case
  {
    sensor_msgs::msg::Image image;
    std::string problem;
  };
  const Case cases[] = {
    {ImageOf("rgb8", 4, 3, 12, 36), ""},
    {ImageOf("bgr8", 4, 3, 16, 48), ""},  // padded rows
    {ImageOf("mono16", 4, 3, 8, 24), ""},
    {ImageOf("yuv422", 4, 2, 8, 16), ""},
    {ImageOf("bayer_rggb8", 4, 2, 4, 8), ""},
    // The message that once made the conversion walk 2^31 rows of nothing.
    {ImageOf("rgb8", 0, 2147483647u, 0, 0), "image size 0x2147483647 is outside 1 to 32768 pixels"},
    {ImageOf("rgb8", 4, 3, 11, 33), "rgb8 image 4x3 with step 11 does not fit its 33 bytes"},
    {ImageOf("rgb8", 4, 3, 12, 35), "rgb8 image 4x3 with step 12 does not fit its 35 bytes"},
    {ImageOf("rgb8", 4, 3, 12, 37), "rgb8 image 4x3 with step 12 does not fit its 37 bytes"},
    // height x step overflows 32 bits and must not wrap to match the data.
    {ImageOf("mono8", 32768, 32768, 4294967295u, 0),
     "mono8 image 32768x32768 with step 4294967295 does not fit its 0 bytes"},
    {ImageOf("no_such_encoding", 4, 3, 12, 36), "encoding 'no_such_encoding' is unknown"},
  };
  for (const auto & c : cases) {
    EXPECT_EQ(ImageLayoutProblem(c.image), c.problem);
  }
}
}  // namespace
