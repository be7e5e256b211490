#include "camera_detection_node/frame/trash_cloud.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include "common/ansi_colors.hpp"
#include "common/mask_points.hpp"
#include "support/log_capture.hpp"
#include "support/synthetic_detections.hpp"

namespace
{
using Cloud = pcl::PointCloud<pcl::PointXYZ>;
using orvanite::CameraFrameSettings;
using orvanite::DetectedObject;
using orvanite_test::DepthImage;
using orvanite_test::Detection;

bool Contains(const std::vector<std::string> & lines, const std::string & line)
{
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

CameraFrameSettings Intrinsics()
{
  CameraFrameSettings settings;
  settings.cam_id = 7;
  settings.fx = 500.0F;
  settings.fy = 400.0F;
  settings.cx = 10.0F;
  settings.cy = 8.0F;
  return settings;
}

// --- getMaskPoints ---------------------------------------------------------------------------

TEST(GetMaskPoints, OffsetsFromTheBoxCornerInRowMajorOrder)
{
  cv::Mat mask = cv::Mat::zeros(20, 20, CV_8UC1);
  mask.at<uchar>(3, 6) = 255;
  mask.at<uchar>(5, 4) = 1;
  mask.at<uchar>(5, 7) = 255;
  mask.at<uchar>(15, 15) = 255;  // outside the box
  mask.at<uchar>(7, 4) = 255;    // row yi + hi: outside

  orvanite_test::LogCapture capture;
  const std::vector<cv::Point> points = orvanite::getMaskPoints(mask, {4.9F, 3.5F, 5.9F, 4.5F}, 1);

  EXPECT_EQ(points, (std::vector<cv::Point>{{2, 0}, {0, 2}, {3, 2}}));
  const std::vector<std::string> expected = {
    "[DEBUG] mask_init_size: 3",
    "[DEBUG] mask_rect: [ x: 4.9 y: 3.5 w: 5.9 h: 4.5 ]",
    "[DEBUG] mask.rows: 20 mask.cols: 20",
  };
  EXPECT_EQ(capture.Messages(), expected);
  for (const auto & record : capture.Records()) {
    EXPECT_EQ(record.function, "getMaskPoints");
    EXPECT_EQ(record.file, "./src/common/mask_points.cpp");
  }
}

TEST(GetMaskPoints, BoxPartlyOffTheMaskReadsOnlyTheMask)
{
  cv::Mat mask(10, 10, CV_8UC1, cv::Scalar(255));
  const std::vector<cv::Point> points = orvanite::getMaskPoints(mask, {-2.0F, 8.0F, 4.0F, 5.0F}, 1);
  // Columns 0 and 1 of rows 8 and 9, as offsets from (-2, 8).
  EXPECT_EQ(points, (std::vector<cv::Point>{{2, 0}, {3, 0}, {2, 1}, {3, 1}}));
}

struct ErosionCase
{
  const char * name;
  cv::Rect_<float> rect;
  int block_rows;       // a block of 100 columns starting at column 15, row 15
  bool isolated_pixel;  // plus one pixel far from the block
  int erosion_size;
  bool eroded;
  std::size_t points;
};

TEST(GetMaskPoints, ErosionGate)
{
  // A 5 x 100 block erodes to 3 x 98 = 294 pixels with a 3 x 3 kernel, the isolated pixel vanishes.
  const ErosionCase cases[] = {
    {"500 pixels", {10.5F, 11.0F, 200.0F, 100.0F}, 5, false, 1, false, 500},
    {"501 pixels", {10.5F, 11.0F, 200.0F, 100.0F}, 5, true, 1, true, 294},
    {"x exactly 10", {10.0F, 11.0F, 200.0F, 120.0F}, 100, false, 1, false, 10000},
    {"y exactly 10", {11.0F, 10.0F, 200.0F, 120.0F}, 100, false, 1, false, 10000},
    {"kernel 1 x 1", {10.5F, 11.0F, 200.0F, 100.0F}, 5, true, 0, true, 501},
  };
  for (const ErosionCase & c : cases) {
    cv::Mat mask = cv::Mat::zeros(140, 220, CV_8UC1);
    mask(cv::Rect(15, 15, 100, c.block_rows)).setTo(255);
    if (c.isolated_pixel) {
      mask.at<uchar>(12, 180) = 255;
    }
    const cv::Mat shared = mask;  // a header copy sees the erosion

    orvanite_test::LogCapture capture;
    const std::size_t points = orvanite::getMaskPoints(mask, c.rect, c.erosion_size).size();

    EXPECT_EQ(points, c.points) << c.name;
    EXPECT_EQ(static_cast<std::size_t>(cv::countNonZero(shared)), c.points) << c.name;
    const std::string erode_line =
      "[INFO] Erode mask ! erosion_size: " + std::to_string(c.erosion_size);
    EXPECT_EQ(Contains(capture.Messages(), erode_line), c.eroded) << c.name;
  }
}

TEST(GetMaskPoints, PixelsBeyondTheImageNeverErode)
{
  cv::Mat mask(40, 40, CV_8UC1, cv::Scalar(255));
  EXPECT_EQ(orvanite::getMaskPoints(mask, {10.5F, 10.5F, 29.5F, 29.5F}, 2).size(), 29u * 29u);
  EXPECT_EQ(cv::countNonZero(mask), 40 * 40);
}

// --- GetTrashCloud -----------------------------------------------------------------------------

TEST(GetTrashCloud, BackProjectsMaskPixelsWithDepth)
{
  const cv::Size frame(20, 16);
  DetectedObject obj = Detection({4.0F, 2.0F, 8.0F, 6.0F}, 4, 0.9F, frame);
  cv::Mat depth = cv::Mat::zeros(frame, CV_16UC1);
  obj.mask.at<uchar>(3, 5) = 255;
  depth.at<std::uint16_t>(3, 5) = 1000;
  obj.mask.at<uchar>(7, 11) = 255;  // no depth
  obj.mask.at<uchar>(7, 10) = 255;
  depth.at<std::uint16_t>(7, 10) = 2000;
  depth.at<std::uint16_t>(7, 9) = 3000;  // depth without mask

  Cloud::Ptr cloud(new Cloud);
  cloud->push_back(pcl::PointXYZ(9.0F, 9.0F, 9.0F));
  bool is_transparent = true;
  orvanite_test::LogCapture capture;
  orvanite::GetTrashCloud(DepthImage(depth), obj, cloud, &is_transparent, Intrinsics());

  ASSERT_EQ(cloud->size(), 2u);
  EXPECT_EQ(cloud->width, 2u);
  EXPECT_EQ(cloud->height, 1u);
  EXPECT_FLOAT_EQ(cloud->points[0].x, (5.0F - 10.0F) * 1.0F / 500.0F);
  EXPECT_FLOAT_EQ(cloud->points[0].y, (3.0F - 8.0F) * 1.0F / 400.0F);
  EXPECT_FLOAT_EQ(cloud->points[0].z, 1.0F);
  EXPECT_FLOAT_EQ(cloud->points[1].x, 0.0F);  // column cx
  EXPECT_FLOAT_EQ(cloud->points[1].y, -2.0F / 400.0F);
  EXPECT_FLOAT_EQ(cloud->points[1].z, 2.0F);
  EXPECT_FALSE(is_transparent);
  const std::vector<std::string> messages = capture.Messages();
  EXPECT_TRUE(Contains(
    messages,
    "[INFO] " + kDim + "null_count: 1 / mask_points.size: 3 = null_ratio: 0.333" + kReset));
  EXPECT_TRUE(Contains(
    messages,
    "[INFO] " + kDim + "obj.rect.height: 6 / obj.rect.width: 8 = hw_ratio: 0.750" + kReset));
}

TEST(GetTrashCloud, ExtremeDepthsAndThePrincipalPoint)
{
  const cv::Size frame(20, 16);
  DetectedObject obj = Detection({8.0F, 6.0F, 4.0F, 4.0F}, 4, 0.9F, frame);
  cv::Mat depth = cv::Mat::zeros(frame, CV_16UC1);
  obj.mask.at<uchar>(8, 10) = 255;  // (cx, cy)
  depth.at<std::uint16_t>(8, 10) = 65535;
  obj.mask.at<uchar>(9, 11) = 255;
  depth.at<std::uint16_t>(9, 11) = 1;

  Cloud::Ptr cloud(new Cloud);
  bool is_transparent = false;
  orvanite::GetTrashCloud(DepthImage(depth), obj, cloud, &is_transparent, Intrinsics());

  ASSERT_EQ(cloud->size(), 2u);
  EXPECT_EQ(cloud->points[0].x, 0.0F);
  EXPECT_EQ(cloud->points[0].y, 0.0F);
  EXPECT_FLOAT_EQ(cloud->points[0].z, 65.535F);
  EXPECT_FLOAT_EQ(cloud->points[1].z, 0.001F);
  EXPECT_FLOAT_EQ(cloud->points[1].x, 0.001F / 500.0F);
  EXPECT_FLOAT_EQ(cloud->points[1].y, 0.001F / 400.0F);
}

struct TransparencyCase
{
  const char * name;
  float width, height;
  int mask_pixels;  // first pixels of the box's top row
  int null_pixels;  // how many of them have no depth
  bool transparent;
  const char * null_line;
};

TEST(GetTrashCloud, TransparencyFromNullRatioAndBoxShape)
{
  const TransparencyCase cases[] = {
    {"all null, tall", 100.0F, 200.0F, 100, 100, true,
     "null_count: 100 / mask_points.size: 100 = null_ratio: 1.000"},
    {"all null, wide", 200.0F, 100.0F, 100, 100, false,
     "null_count: 100 / mask_points.size: 100 = null_ratio: 1.000"},
    {"ratio at threshold", 100.0F, 200.0F, 10, 3, false,
     "null_count: 3 / mask_points.size: 10 = null_ratio: 0.300"},
    {"ratio above", 100.0F, 200.0F, 10, 4, true,
     "null_count: 4 / mask_points.size: 10 = null_ratio: 0.400"},
    // 0 / 0 prints as "nan" or "-nan" depending on the processor.
    {"no mask pixel", 100.0F, 200.0F, 0, 0, false,
     "null_count: 0 / mask_points.size: 0 = null_ratio: "},
  };
  const cv::Size frame(210, 210);
  for (const TransparencyCase & c : cases) {
    DetectedObject obj = Detection({5.0F, 5.0F, c.width, c.height}, 4, 0.9F, frame);
    cv::Mat depth(frame, CV_16UC1, cv::Scalar(500));
    for (int i = 0; i < c.mask_pixels; ++i) {
      obj.mask.at<uchar>(5, 5 + i) = 255;
      if (i < c.null_pixels) {
        depth.at<std::uint16_t>(5, 5 + i) = 0;
      }
    }
    Cloud::Ptr cloud(new Cloud);
    bool is_transparent = !c.transparent;
    orvanite_test::LogCapture capture;
    orvanite::GetTrashCloud(DepthImage(depth), obj, cloud, &is_transparent, CameraFrameSettings());

    EXPECT_EQ(is_transparent, c.transparent) << c.name;
    EXPECT_EQ(cloud->size(), static_cast<std::size_t>(c.mask_pixels - c.null_pixels)) << c.name;
    const std::vector<std::string> messages = capture.Messages();
    const std::string null_line = "[INFO] " + kDim + c.null_line;
    EXPECT_TRUE(std::any_of(
      messages.begin(), messages.end(),
      [&](const std::string & message) { return message.rfind(null_line, 0) == 0; }))
      << c.name;
    EXPECT_EQ(
      Contains(
        messages, "[INFO] " + kYellow +
                    "is_transparent: true, null_ratio_threshold_: 0.3, hw_ratio_threshold_: 1.2" +
                    kReset),
      c.transparent)
      << c.name;
  }
}

TEST(GetTrashCloud, PaddedRowsAreReadThroughTheStep)
{
  const cv::Size frame(20, 16);
  DetectedObject obj = Detection({4.0F, 2.0F, 8.0F, 6.0F}, 4, 0.9F, frame);
  obj.mask(cv::Rect(4, 2, 8, 6)).setTo(255);
  cv::Mat depth(frame, CV_16UC1, cv::Scalar(1500));
  for (const std::string encoding : {"16UC1", "mono16"}) {
    Cloud::Ptr cloud(new Cloud);
    bool is_transparent = true;
    orvanite::GetTrashCloud(
      DepthImage(depth, 6, encoding), obj, cloud, &is_transparent, Intrinsics());
    ASSERT_EQ(cloud->size(), 48u) << encoding;
    for (const auto & point : cloud->points) {
      EXPECT_FLOAT_EQ(point.z, 1.5F) << encoding;
    }
    EXPECT_FALSE(is_transparent);
  }
}

TEST(GetTrashCloud, DepthThatCannotBeMeasuredIsSkippedWithAnError)
{
  // The mask is transparent-looking (all null, tall) so that a skipped trash shows as opaque.
  const cv::Size frame(20, 40);
  DetectedObject obj = Detection({4.0F, 2.0F, 8.0F, 30.0F}, 4, 0.9F, frame);
  obj.mask(cv::Rect(4, 2, 8, 30)).setTo(255);
  const cv::Mat depth = cv::Mat::zeros(frame, CV_16UC1);

  sensor_msgs::msg::Image short_rows = DepthImage(depth);
  short_rows.step = 38;
  sensor_msgs::msg::Image odd_step = DepthImage(depth, 1);
  sensor_msgs::msg::Image short_data = DepthImage(depth);
  short_data.data.resize(short_data.data.size() - 1);

  struct Case
  {
    const char * name;
    sensor_msgs::msg::Image image;
    std::string error;
  };
  const Case cases[] = {
    {"32FC1", DepthImage(depth, 0, "32FC1"),
     "[ERROR] cam_7: depth image encoding '32FC1' is not 16UC1 or mono16, trash not measured"},
    {"short rows", short_rows,
     "[ERROR] cam_7: depth image 20x40 with step 38 does not fit its 1600 bytes, trash not "
     "measured"},
    {"odd step", odd_step,
     "[ERROR] cam_7: depth image 20x40 with step 41 does not fit its 1640 bytes, trash not "
     "measured"},
    {"short data", short_data,
     "[ERROR] cam_7: depth image 20x40 with step 40 does not fit its 1599 bytes, trash not "
     "measured"},
    {"smaller than the box", DepthImage(cv::Mat::zeros(20, 10, CV_16UC1)),
     "[ERROR] cam_7: depth image 10x20 does not cover the trash box [ x: 4 y: 2 w: 8 h: 30 ], "
     "trash not measured"},
  };
  for (const Case & c : cases) {
    Cloud::Ptr cloud(new Cloud);
    cloud->push_back(pcl::PointXYZ(1.0F, 1.0F, 1.0F));
    bool is_transparent = true;
    orvanite_test::LogCapture capture;
    orvanite::GetTrashCloud(c.image, obj, cloud, &is_transparent, Intrinsics());
    EXPECT_TRUE(cloud->empty()) << c.name;
    EXPECT_FALSE(is_transparent) << c.name;
    EXPECT_TRUE(Contains(capture.Messages(), c.error)) << c.name;
  }
}

TEST(GetTrashCloud, DepthSmallerThanTheFrameMeasuresBoxesInside)
{
  DetectedObject obj = Detection({2.0F, 2.0F, 4.0F, 4.0F}, 4, 0.9F, {40, 30});
  obj.mask(cv::Rect(2, 2, 4, 4)).setTo(255);
  Cloud::Ptr cloud(new Cloud);
  bool is_transparent = true;
  orvanite::GetTrashCloud(
    DepthImage(cv::Mat(10, 10, CV_16UC1, cv::Scalar(700))), obj, cloud, &is_transparent,
    Intrinsics());
  EXPECT_EQ(cloud->size(), 16u);
}

TEST(GetTrashCloud, ErosionReachesEveryCopyOfTheDetection)
{
  const cv::Size frame(220, 130);
  DetectedObject obj = Detection({10.5F, 11.0F, 200.0F, 100.0F}, 4, 0.9F, frame);
  obj.mask(cv::Rect(15, 15, 100, 6)).setTo(255);  // 600 pixels
  const DetectedObject copy = obj;
  Cloud::Ptr cloud(new Cloud);
  bool is_transparent = true;
  orvanite::GetTrashCloud(
    DepthImage(cv::Mat(frame, CV_16UC1, cv::Scalar(800))), obj, cloud, &is_transparent,
    Intrinsics());
  EXPECT_EQ(cloud->size(), 4u * 98u);
  EXPECT_EQ(cv::countNonZero(copy.mask), 4 * 98);
}
}  // namespace
