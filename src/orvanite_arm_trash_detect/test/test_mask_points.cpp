// Mask points and the erosion of large masks: the same points and the same eroded mask as an
// erosion of the whole frame, whether the mask stays in its box or not.
#include "common/mask_points.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "support/plain_stages.hpp"

namespace
{
struct MaskCase
{
  std::string name;
  cv::Rect_<float> rect;
  std::vector<cv::Rect> blobs;  // filled rectangles of the mask
  int erosion_size;
};

cv::Mat MaskOf(const std::vector<cv::Rect> & blobs)
{
  cv::Mat mask(480, 640, CV_8UC1, cv::Scalar(0));
  for (const auto & blob : blobs) {
    mask(blob & cv::Rect(0, 0, 640, 480)).setTo(255);
  }
  return mask;
}

TEST(MaskPoints, SameAsErodingTheWholeFrame)
{
  const std::vector<MaskCase> cases = {
    {"inside_box", {100.5f, 80.2f, 60.0f, 40.0f}, {{101, 81, 58, 38}}, 1},
    {"fills_box", {100.0f, 80.0f, 60.0f, 40.0f}, {{100, 80, 60, 40}}, 2},
    {"spills_out", {200.0f, 150.0f, 40.0f, 40.0f}, {{190, 140, 70, 20}, {205, 155, 20, 30}}, 1},
    {"second_blob_far_away",
     {300.0f, 200.0f, 50.0f, 50.0f},
     {{300, 200, 50, 50}, {10, 10, 5, 5}},
     1},
    {"at_frame_border", {590.0f, 430.0f, 50.0f, 50.0f}, {{590, 430, 50, 50}}, 3},
    {"no_erosion_near_corner", {5.0f, 5.0f, 60.0f, 60.0f}, {{5, 5, 60, 60}}, 1},
    {"too_small_to_erode", {100.0f, 100.0f, 20.0f, 20.0f}, {{100, 100, 20, 20}}, 1},
    {"zero_size_kernel", {100.0f, 100.0f, 40.0f, 40.0f}, {{100, 100, 40, 40}}, 0},
    {"box_off_frame", {700.0f, 100.0f, 40.0f, 40.0f}, {{600, 100, 40, 40}}, 1},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.name);
    cv::Mat fast = MaskOf(c.blobs);
    cv::Mat plain = MaskOf(c.blobs);
    const auto fast_points = orvanite::getMaskPoints(fast, c.rect, c.erosion_size);
    const auto plain_points = orvanite_test::plain::MaskPoints(plain, c.rect, c.erosion_size);
    EXPECT_EQ(fast_points, plain_points);
    EXPECT_EQ(cv::countNonZero(fast != plain), 0);
  }
}

TEST(MaskPoints, NonZeroRegionIsTheBoxOnlyWhenItHoldsEveryPixel)
{
  const cv::Mat mask = MaskOf({{100, 100, 20, 20}});
  EXPECT_EQ(orvanite::NonZeroRegion(mask, cv::Rect(95, 95, 40, 40)), cv::Rect(95, 95, 40, 40));
  EXPECT_EQ(orvanite::NonZeroRegion(mask, cv::Rect(105, 95, 40, 40)), cv::Rect(0, 0, 640, 480));
  EXPECT_EQ(orvanite::NonZeroRegion(mask, cv::Rect(630, 470, 40, 40)), cv::Rect(0, 0, 640, 480));
  EXPECT_EQ(orvanite::NonZeroRegion(mask, cv::Rect(700, 700, 4, 4)), cv::Rect(0, 0, 640, 480));
}
}  // namespace
