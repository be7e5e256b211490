#include "yolo_seg_decoder.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

namespace
{

using ai_orva::model::DecodeYoloSeg;
using ai_orva::model::DetectedObject;
using ai_orva::model::Letterbox;
using ai_orva::model::SelectYoloSegOutputs;
using ai_orva::model::YoloSegOutputs;
using ai_orva::model::YoloSegSettings;

cv::Mat Tensor(std::vector<int> shape, float value = 0.0F)
{
  return cv::Mat(static_cast<int>(shape.size()), shape.data(), CV_32F, cv::Scalar(value));
}

// One class, one prototype of 4 x 4 cells that is 1 everywhere, coefficient 1: every mask covers
// its whole box.
YoloSegOutputs Outputs(const std::vector<cv::Vec4f> & boxes)
{
  YoloSegOutputs outputs{
    Tensor({1, 6, static_cast<int>(boxes.size())}), Tensor({1, 1, 4, 4}, 1.0F)};
  cv::Mat table(6, static_cast<int>(boxes.size()), CV_32F, outputs.detections.ptr<float>());
  for (int n = 0; n < table.cols; ++n) {
    for (int r = 0; r < 4; ++r) {
      table.at<float>(r, n) = boxes[n][r];
    }
    table.at<float>(4, n) = 0.9F - 0.1F * n;
    table.at<float>(5, n) = 1.0F;
  }
  return outputs;
}

TEST(YoloSegDecoder, DropsBoxesThatCannotBePlaced)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const YoloSegOutputs outputs = Outputs({
    {nan, 8, 4, 4},
    {8, 8, -4, 4},
    {8, 8, 4, inf},
    {8, 8, 0, 4},
    {40, 8, 4, 4},  // wholly right of the 16 x 16 input
    {14, 8, 8, 4},  // runs past the right edge
  });
  YoloSegSettings settings;
  settings.num_classes = 1;
  std::vector<DetectedObject> objects(1);
  DecodeYoloSeg(outputs, settings, Letterbox({16, 16}, {16, 16}), objects);
  ASSERT_EQ(objects.size(), 1U);
  EXPECT_EQ(objects[0].rect, cv::Rect_<float>(10, 6, 6, 4));
  EXPECT_EQ(cv::countNonZero(objects[0].mask), 24);
  EXPECT_EQ(cv::countNonZero(objects[0].mask(cv::Rect(10, 6, 6, 4))), 24);
}

TEST(YoloSegDecoder, RejectsOutputsOfAnotherLayout)
{
  struct Case
  {
    const char * name;
    std::vector<cv::Mat> outputs;
  };
  const std::vector<Case> cases = {
    {"no outputs", {}},
    {"two detection outputs", {Tensor({1, 6, 3}), Tensor({1, 6, 3}), Tensor({1, 1, 4, 4})}},
    {"a 2-D output", {Tensor({6, 3}), Tensor({1, 1, 4, 4})}},
    {"batch of two", {Tensor({2, 6, 3}), Tensor({1, 1, 4, 4})}},
    {"rows do not fit", {Tensor({1, 7, 3}), Tensor({1, 1, 4, 4})}},
  };
  YoloSegSettings settings;
  settings.num_classes = 1;
  for (const Case & c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<DetectedObject> objects;
    EXPECT_THROW(
      DecodeYoloSeg(SelectYoloSegOutputs(c.outputs), settings, Letterbox({8, 8}, {8, 8}), objects),
      std::invalid_argument);
  }
}

}  // namespace
