#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

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
    {"no columns but 2^31 - 1 rows", makeImage(enc::RGB8, 0, 2147483647, 0, {})},
    {"no rows", makeImage(enc::RGB8, 4, 0, 12, {})},
    {"no pixels at all", makeImage(enc::MONO8, 0, 0, 0, {})},
    {"row size wrapping to 0 in 32 bits", makeImage(enc::RGB16, 0x80000000u, 1, 0, {})},
    {"image size wrapping to 0 in 32 bits", makeImage(enc::MONO8, 1, 65536, 65536, {})},
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

// 8 x 6 pixels of seeded noise over the full range of `type`'s depth.
cv::Mat noise(int type)
{
  cv::Mat image(6, 8, type);
  cv::RNG rng(7);
  rng.fill(image, cv::RNG::UNIFORM, 0, CV_MAT_DEPTH(type) == CV_16U ? 65536 : 256);
  return image;
}

sensor_msgs::msg::Image messageOf(const cv::Mat & image, const std::string & encoding)
{
  return *cv_bridge::CvImage(std_msgs::msg::Header(), encoding, image).toImageMsg();
}

// `code` applied explicitly, then the depth scaled to 8 bits as a 16-bit source needs.
cv::Mat referenceRgb8(const cv::Mat & source, int code)
{
  cv::Mat rgb;
  cv::cvtColor(source, rgb, code);
  if (rgb.depth() == CV_16U) {
    rgb.convertTo(rgb, CV_8U, 255.0 / 65535.0);
  }
  return rgb;
}

TEST(ToCvCopy, DemosaicsEveryBayerPatternToRgb8)
{
  struct Case
  {
    const char * encoding;
    int type;
    int code;  // OpenCV names the pattern after its second row: rggb is BayerBG
  };
  const Case cases[] = {
    {enc::BAYER_RGGB8, CV_8UC1, cv::COLOR_BayerBG2RGB},
    {enc::BAYER_BGGR8, CV_8UC1, cv::COLOR_BayerRG2RGB},
    {enc::BAYER_GBRG8, CV_8UC1, cv::COLOR_BayerGR2RGB},
    {enc::BAYER_GRBG8, CV_8UC1, cv::COLOR_BayerGB2RGB},
    {enc::BAYER_RGGB16, CV_16UC1, cv::COLOR_BayerBG2RGB},
    {enc::BAYER_BGGR16, CV_16UC1, cv::COLOR_BayerRG2RGB},
    {enc::BAYER_GBRG16, CV_16UC1, cv::COLOR_BayerGR2RGB},
    {enc::BAYER_GRBG16, CV_16UC1, cv::COLOR_BayerGB2RGB},
  };
  for (const Case & c : cases) {
    const cv::Mat source = noise(c.type);
    const cv_bridge::CvImagePtr converted =
      cv_bridge::toCvCopy(messageOf(source, c.encoding), enc::RGB8);
    EXPECT_EQ(converted->encoding, enc::RGB8);
    ASSERT_EQ(converted->image.type(), CV_8UC3) << c.encoding;
    EXPECT_EQ(cv::norm(converted->image, referenceRgb8(source, c.code), cv::NORM_INF), 0.0)
      << c.encoding;

    // A mosaic with red 200, green 100 and blue 50 at the sites the name gives (row by row in
    // the 2 x 2 tile) demosaics to that colour everywhere.
    const std::string tile = std::string(c.encoding).substr(6, 4);
    const double scale = CV_MAT_DEPTH(c.type) == CV_16U ? 257.0 : 1.0;
    cv::Mat mosaic(6, 8, c.type);
    for (int r = 0; r < mosaic.rows; ++r) {
      for (int col = 0; col < mosaic.cols; ++col) {
        const char site = tile[(r % 2) * 2 + col % 2];
        const double value = scale * (site == 'r' ? 200 : site == 'g' ? 100 : 50);
        if (scale == 1.0) {
          mosaic.at<std::uint8_t>(r, col) = static_cast<std::uint8_t>(value);
        } else {
          mosaic.at<std::uint16_t>(r, col) = static_cast<std::uint16_t>(value);
        }
      }
    }
    const cv::Mat rgb = cv_bridge::toCvCopy(messageOf(mosaic, c.encoding), enc::RGB8)->image;
    EXPECT_EQ(rgb.at<cv::Vec3b>(2, 3), cv::Vec3b(200, 100, 50)) << c.encoding;
  }
}

TEST(ToCvCopy, ConvertsBothYuv422ByteOrdersToRgb8)
{
  struct Case
  {
    const char * encoding;
    int code;
    std::vector<std::uint8_t> white_then_black;  // two pixels: Y 235 and Y 16, neutral chroma
  };
  const Case cases[] = {
    {enc::YUV422, cv::COLOR_YUV2RGB_UYVY, {128, 235, 128, 16}},
    {enc::YUV422_YUY2, cv::COLOR_YUV2RGB_YUY2, {235, 128, 16, 128}},
  };
  for (const Case & c : cases) {
    const cv::Mat source = noise(CV_8UC2);
    const cv_bridge::CvImagePtr converted =
      cv_bridge::toCvCopy(messageOf(source, c.encoding), enc::RGB8);
    ASSERT_EQ(converted->image.type(), CV_8UC3) << c.encoding;
    EXPECT_EQ(cv::norm(converted->image, referenceRgb8(source, c.code), cv::NORM_INF), 0.0)
      << c.encoding;

    const cv::Mat pair =
      cv_bridge::toCvCopy(makeImage(c.encoding, 2, 1, 4, c.white_then_black), enc::RGB8)->image;
    EXPECT_EQ(pair.at<cv::Vec3b>(0, 0), cv::Vec3b(255, 255, 255)) << c.encoding;
    EXPECT_EQ(pair.at<cv::Vec3b>(0, 1), cv::Vec3b(0, 0, 0)) << c.encoding;
  }
}

TEST(ToCvCopy, RefusesConversionsThatMakeNoSense)
{
  const std::pair<const char *, const char *> cases[] = {
    {enc::TYPE_16UC1, enc::MONO16},
    {enc::TYPE_32FC1, enc::MONO8},
    {enc::TYPE_8UC3, enc::BGR8},
    {enc::RGB8, enc::TYPE_8UC1},
    {enc::RGB8, "rgb9"},
    {enc::RGB8, enc::YUV422},
    {enc::BAYER_RGGB8, enc::BAYER_BGGR8},
    {enc::BAYER_RGGB8, enc::RGBA8},
    {enc::MONO8, enc::BAYER_GRBG8},
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
