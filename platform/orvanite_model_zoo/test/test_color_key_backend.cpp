#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "orvanite_model_zoo/yolov8_seg.hpp"
#include "test_support.hpp"

namespace
{

using ai_orva::model::DetectedObject;
using ai_orva::model::YOLOv8Seg;

constexpr const char * kConfig = R"(backend: color_key
color_key:
  min_area: 12
  colors:
    - rgb: [200, 30, 10]
      label: 3
      score: 0.6
    - rgb: [10, 30, 200]
      label: 0
      score: 0.8
)";

const cv::Scalar kRed(200, 30, 10);
const cv::Scalar kBlue(10, 30, 200);

cv::Mat RegionMask(cv::Size size, const std::vector<cv::Rect> & parts)
{
  cv::Mat mask = cv::Mat::zeros(size, CV_8UC1);
  for (const cv::Rect & part : parts) {
    mask(part).setTo(255);
  }
  return mask;
}

TEST(ColorKeyBackend, FindsEveryRegionWithExactBoxAndMask)
{
  const cv::Size size(100, 80);
  cv::Mat frame(size, CV_8UC3, cv::Scalar::all(0));
  // An L of blue: its box is larger than its pixels.
  const std::vector<cv::Rect> blue_l = {{60, 10, 5, 30}, {60, 35, 30, 5}};
  // Two red regions that touch the frame's edges.
  const std::vector<cv::Rect> red_left = {{0, 0, 10, 10}};
  const std::vector<cv::Rect> red_bottom = {{40, 70, 4, 10}};
  for (const auto & [parts, colour] :
       {std::pair{blue_l, kBlue}, std::pair{red_left, kRed}, std::pair{red_bottom, kRed}}) {
    for (const cv::Rect & part : parts) {
      frame(part).setTo(colour);
    }
  }
  // One step off red.
  frame(cv::Rect(20, 20, 20, 20)).setTo(cv::Scalar(201, 30, 10));

  test_support::TempDir dir;
  YOLOv8Seg model(dir.write("color_key.yaml", kConfig));
  std::vector<DetectedObject> objects;
  ASSERT_TRUE(model.detect(frame, objects));

  struct Expected
  {
    int label;
    float prob;
    cv::Rect rect;
    std::vector<cv::Rect> parts;
  };
  const std::vector<Expected> expected = {
    {0, 0.8F, {60, 10, 30, 30}, blue_l},
    {3, 0.6F, {0, 0, 10, 10}, red_left},
    {3, 0.6F, {40, 70, 4, 10}, red_bottom},
  };
  ASSERT_EQ(objects.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("detection " + std::to_string(i));
    EXPECT_EQ(objects[i].label, expected[i].label);
    EXPECT_FLOAT_EQ(objects[i].prob, expected[i].prob);
    EXPECT_EQ(objects[i].rect, cv::Rect_<float>(expected[i].rect));
    ASSERT_EQ(objects[i].mask.type(), CV_8UC1);
    EXPECT_EQ(cv::norm(objects[i].mask, RegionMask(size, expected[i].parts), cv::NORM_INF), 0.0);
  }
}

TEST(ColorKeyBackend, DropsRegionsBelowTheMinimumArea)
{
  cv::Mat frame(20, 20, CV_8UC3, cv::Scalar::all(0));
  // 9 + 3 pixels, joined at one corner: one region of exactly the minimum area.
  frame(cv::Rect(2, 2, 3, 3)).setTo(kBlue);
  frame(cv::Rect(5, 5, 3, 1)).setTo(kBlue);
  // 11 pixels.
  frame(cv::Rect(8, 10, 11, 1)).setTo(kRed);

  test_support::TempDir dir;
  YOLOv8Seg model(dir.write("color_key.yaml", kConfig));
  std::vector<DetectedObject> objects;
  ASSERT_TRUE(model.detect(frame, objects));
  ASSERT_EQ(objects.size(), 1U);
  EXPECT_EQ(objects[0].label, 0);
  EXPECT_EQ(cv::Rect(objects[0].rect), cv::Rect(2, 2, 6, 4));
  EXPECT_EQ(cv::countNonZero(objects[0].mask), 12);
}

}  // namespace
