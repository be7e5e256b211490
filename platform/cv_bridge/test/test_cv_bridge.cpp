#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "cv_bridge/cv_bridge.h"

namespace
{
namespace enc = sensor_msgs::image_encodings;

sensor_msgs::msg::Image makeImage(
  const std::string & encoding, std::uint32_t width, std::uint32_t height, std::uint32_t step,
  const std::vector<std::uint8_t> & data)
{
  sensor_msgs::msg::Image image;
  image.header.frame_id = "camera";
  image.header.stamp.sec = 7;
  image.encoding = encoding;
  image.width = width;
  image.height = height;
  image.step = step;
  image.data = data;
  return image;
}

// Two rgb8 pixels per row, two rows, each row padded to 8 bytes.
sensor_msgs::msg::Image paddedRgb()
{
  return makeImage(
    enc::RGB8, 2, 2, 8,
    {10, 20, 30, 40, 50, 60, 0xEE, 0xEE, 70, 80, 90, 100, 110, 120, 0xEE, 0xEE});
}

TEST(ToCvCopy, RejectsImagesWhoseStepOrSizeDoNotFit)
{
  struct Case
  {
    const char * what;
    sensor_msgs::msg::Image image;
  };
  const Case cases[] = {
    {"step shorter than a row", makeImage(enc::RGB8, 4, 1, 11, std::vector<std::uint8_t>(11))},
    {"data one byte short", makeImage(enc::RGB8, 4, 2, 12, std::vector<std::uint8_t>(23))},
    {"data one byte long", makeImage(enc::RGB8, 4, 2, 12, std::vector<std::uint8_t>(25))},
    {"16-bit row counted in pixels",
     makeImage(enc::TYPE_16UC1, 4, 1, 4, std::vector<std::uint8_t>(4))},
    {"unknown encoding", makeImage("rgb9", 1, 1, 3, std::vector<std::uint8_t>(3))},
  };
  for (const Case & c : cases) {
    EXPECT_THROW(cv_bridge::toCvCopy(c.image), cv_bridge::Exception) << c.what;
    EXPECT_THROW(cv_bridge::toCvCopy(c.image, enc::BGR8), cv_bridge::Exception) << c.what;
  }
}

TEST(ToCvCopy, CopiesPaddedRowsWithoutThePadding)
{
  const auto message = std::make_shared<const sensor_msgs::msg::Image>(paddedRgb());
  const cv_bridge::CvImagePtr copy = cv_bridge::toCvCopy(message);
  EXPECT_EQ(copy->encoding, enc::RGB8);
  EXPECT_EQ(copy->header.frame_id, "camera");
  EXPECT_EQ(copy->header.stamp.sec, 7);
  ASSERT_EQ(copy->image.type(), CV_8UC3);
  EXPECT_EQ(copy->image.at<cv::Vec3b>(1, 1), cv::Vec3b(100, 110, 120));
  // A deep copy: the message's bytes are not shared.
  EXPECT_NE(
    static_cast<const void *>(copy->image.data), static_cast<const void *>(message->data.data()));
}

TEST(ToCvCopy, ConvertsBetweenEncodings)
{
  struct Case
  {
    const char * from;
    std::vector<std::uint8_t> pixel;  // one pixel in `from`
    const char * to;
    int type;
    std::vector<double> expected;  // its channels in `to`
  };
  const Case cases[] = {
    {enc::RGB8, {10, 20, 30}, enc::BGR8, CV_8UC3, {30, 20, 10}},
    {enc::BGR8, {10, 20, 30}, enc::RGB8, CV_8UC3, {30, 20, 10}},
    {enc::RGB8, {10, 20, 30}, "", CV_8UC3, {10, 20, 30}},
    {enc::RGB8, {10, 20, 30}, enc::TYPE_8UC3, CV_8UC3, {10, 20, 30}},
    {enc::MONO8, {77}, enc::RGB8, CV_8UC3, {77, 77, 77}},
    {enc::MONO8, {255}, enc::MONO16, CV_16UC1, {65535}},
    {enc::MONO8, {1}, enc::TYPE_16UC1, CV_16UC1, {257}},
    {enc::MONO16, {0x34, 0x12}, enc::TYPE_16UC1, CV_16UC1, {0x1234}},
    {enc::TYPE_16UC1, {0xE8, 0x03}, enc::TYPE_32FC1, CV_32FC1, {1000}},
    {enc::RGBA8, {10, 20, 30, 40}, enc::BGR8, CV_8UC3, {30, 20, 10}},
  };
  for (const Case & c : cases) {
    const auto width = static_cast<std::uint32_t>(c.pixel.size());
    const auto image = makeImage(c.from, 1, 1, width, c.pixel);
    const cv_bridge::CvImagePtr converted = cv_bridge::toCvCopy(image, c.to);
    const std::string label = std::string(c.from) + " -> " + c.to;
    EXPECT_EQ(converted->encoding, *c.to ? c.to : c.from) << label;
    ASSERT_EQ(converted->image.type(), c.type) << label;
    cv::Mat as_double;
    converted->image.convertTo(as_double, CV_64F);
    for (size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_DOUBLE_EQ(as_double.ptr<double>(0)[i], c.expected[i]) << label << " channel " << i;
    }
  }
}

TEST(ToCvCopy, RefusesConversionsThatMakeNoSense)
{
  const std::pair<const char *, const char *> cases[] = {
    {enc::TYPE_16UC1, enc::MONO16}, {enc::TYPE_32FC1, enc::MONO8}, {enc::TYPE_8UC3, enc::BGR8},
    {enc::RGB8, enc::TYPE_8UC1},    {enc::RGB8, "rgb9"},
  };
  for (const auto & [from, to] : cases) {
    const int bytes = CV_ELEM_SIZE(cv_bridge::getCvType(from));
    const auto image = makeImage(from, 1, 1, bytes, std::vector<std::uint8_t>(bytes));
    EXPECT_THROW(cv_bridge::toCvCopy(image, to), cv_bridge::Exception) << from << " -> " << to;
  }
}

TEST(ToCvCopy, SwapsBytesOfBigEndianImages)
{
  auto image = makeImage(enc::TYPE_16UC1, 1, 1, 2, {0x01, 0x02});
  image.is_bigendian = 1;
  EXPECT_EQ(cv_bridge::toCvCopy(image)->image.at<std::uint16_t>(0, 0), 0x0102);
}

TEST(ToImageMsg, PacksANonContinuousMatrixRowByRow)
{
  cv::Mat wide(3, 5, CV_8UC3);
  for (int r = 0; r < wide.rows; ++r) {
    for (int c = 0; c < wide.cols; ++c) {
      wide.at<cv::Vec3b>(r, c) = cv::Vec3b(r, c, 100 + r * 10 + c);
    }
  }
  const cv::Mat window = wide(cv::Rect(1, 1, 3, 2));
  ASSERT_FALSE(window.isContinuous());

  std_msgs::msg::Header header;
  header.frame_id = "camera";
  const sensor_msgs::msg::Image::SharedPtr message =
    cv_bridge::CvImage(header, enc::BGR8, window).toImageMsg();
  EXPECT_EQ(message->header.frame_id, "camera");
  EXPECT_EQ(message->encoding, enc::BGR8);
  EXPECT_EQ(message->width, 3u);
  EXPECT_EQ(message->height, 2u);
  EXPECT_EQ(message->step, 9u);
  EXPECT_EQ(message->is_bigendian, 0);
  ASSERT_EQ(message->data.size(), 18u);
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 3; ++c) {
      const std::uint8_t * pixel = &message->data[r * 9 + c * 3];
      const cv::Vec3b expected = window.at<cv::Vec3b>(r, c);
      EXPECT_EQ(cv::Vec3b(pixel[0], pixel[1], pixel[2]), expected) << r << "," << c;
    }
  }
  const cv::Mat back = cv_bridge::toCvCopy(*message)->image;
  EXPECT_EQ(cv::norm(back, window, cv::NORM_INF), 0.0);
}

TEST(ToImageMsg, RefusesAnEncodingThatContradictsTheMatrix)
{
  const cv_bridge::CvImage mislabelled(std_msgs::msg::Header(), enc::RGB8, cv::Mat(2, 2, CV_8UC1));
  EXPECT_THROW(mislabelled.toImageMsg(), cv_bridge::Exception);

  const auto empty = cv_bridge::CvImage(std_msgs::msg::Header(), enc::MONO8).toImageMsg();
  EXPECT_EQ(empty->width, 0u);
  EXPECT_TRUE(empty->data.empty());
}
}  // namespace
