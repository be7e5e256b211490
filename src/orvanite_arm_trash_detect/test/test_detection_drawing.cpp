#include "camera_detection_node/frame/detection_drawing.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/trash_class_table.hpp"
#include "support/plain_stages.hpp"
#include "support/synthetic_detections.hpp"

namespace
{
using orvanite::DetectedObject;
using orvanite_test::Detection;

const std::vector<std::string> kNames = {"paper", "mask", "thread", "obstacle", "bottle"};

// 0.5 * drawn + 0.8 * overlay + 1, per channel, saturated; the test values avoid halves.
cv::Vec3b Blend(const cv::Vec3b & drawn, const cv::Vec3b & overlay)
{
  cv::Vec3b out;
  for (int i = 0; i < 3; ++i) {
    out[i] = cv::saturate_cast<uchar>(0.5 * drawn[i] + 0.8 * overlay[i] + 1.0);
  }
  return out;
}

cv::Vec3b Palette(const std::vector<int> & entry)
{
  return cv::Vec3b(entry[0], entry[1], entry[2]);
}

TEST(DrawDetectedObjects, WithoutDetectionsTheFrameIsBrightened)
{
  const uchar values[] = {0, 10, 100, 150, 196, 255};
  cv::Mat frame(1, 6, CV_8UC3);
  for (int col = 0; col < 6; ++col) {
    frame.at<cv::Vec3b>(0, col) = cv::Vec3b(values[col], values[col], values[col]);
  }
  const cv::Mat original = frame.clone();
  cv::Mat output(3, 3, CV_8UC1, cv::Scalar(7));  // overwritten

  orvanite::DrawDetectedObjects(frame, output, {}, kNames);

  ASSERT_EQ(output.size(), frame.size());
  ASSERT_EQ(output.type(), CV_8UC3);
  const uchar expected[] = {1, 14, 131, 196, 255, 255};  // 1.3 v + 1, saturated
  for (int col = 0; col < 6; ++col) {
    EXPECT_EQ(output.at<cv::Vec3b>(0, col), cv::Vec3b::all(expected[col])) << values[col];
  }
  EXPECT_EQ(cv::norm(frame, original, cv::NORM_INF), 0.0);
}

TEST(DrawDetectedObjects, EmptyFrameGivesEmptyOutput)
{
  cv::Mat output(3, 3, CV_8UC3);
  orvanite::DrawDetectedObjects(cv::Mat(), output, {Detection({1.0F, 1.0F, 2.0F, 2.0F})}, kNames);
  EXPECT_TRUE(output.empty());
}

TEST(DrawDetectedObjects, BoxMaskAndLabelInTheColoursOfLabel22)
{
  const cv::Vec3b background(12, 12, 12);
  const cv::Mat frame(60, 80, CV_8UC3, cv::Scalar::all(12));
  DetectedObject obj = Detection({20.0F, 20.0F, 30.0F, 20.0F}, 22, 0.9F, frame.size());
  obj.mask(cv::Rect(30, 45, 11, 6)).setTo(255);  // below the box and its label

  cv::Mat output;
  orvanite::DrawDetectedObjects(frame, output, {obj}, kNames);  // no name for 22: drawn as "22"

  const cv::Vec3b box_colour = Palette(kClassColors80[22]);
  const cv::Vec3b mask_colour = Palette(kClassColors20[2]);
  EXPECT_EQ(box_colour, cv::Vec3b(255, 170, 0));
  EXPECT_EQ(mask_colour, cv::Vec3b(255, 112, 31));
  EXPECT_EQ(output.at<cv::Vec3b>(39, 35), Blend(box_colour, background));   // bottom edge
  EXPECT_EQ(output.at<cv::Vec3b>(48, 35), Blend(background, mask_colour));  // mask only
  EXPECT_EQ(output.at<cv::Vec3b>(5, 5), Blend(background, background));     // untouched
  EXPECT_EQ(output.at<cv::Vec3b>(45, 60), Blend(background, background));
  EXPECT_EQ(output.at<cv::Vec3b>(55, 35), Blend(background, background));

  // The label background sits inside the box, from one row below its top edge.
  const cv::Vec3b label_background = Blend(cv::Vec3b(0, 0, 255), background);
  const cv::Mat label_area = output(cv::Rect(20, 21, 30, 8));
  int background_pixels = 0;
  for (auto it = label_area.begin<cv::Vec3b>(); it != label_area.end<cv::Vec3b>(); ++it) {
    background_pixels += *it == label_background ? 1 : 0;
  }
  EXPECT_GT(background_pixels, 30);
  EXPECT_NE(output.at<cv::Vec3b>(20, 20), label_background);  // the box's top edge
}

TEST(DrawDetectedObjects, LaterMaskWinsAndUnpaintableMasksAreSkipped)
{
  const cv::Vec3b background(12, 12, 12);
  const cv::Mat frame(60, 60, CV_8UC3, cv::Scalar::all(12));
  DetectedObject first = Detection({5.0F, 5.0F, 20.0F, 20.0F}, 0, 0.5F, frame.size());
  DetectedObject second = Detection({10.0F, 10.0F, 20.0F, 20.0F}, 1, 0.5F, frame.size());
  // Masks below the boxes and their labels.
  first.mask(cv::Rect(12, 32, 8, 8)).setTo(1);
  second.mask(cv::Rect(16, 36, 8, 8)).setTo(255);
  DetectedObject no_mask = Detection({5.0F, 5.0F, 20.0F, 20.0F}, 3);
  DetectedObject wrong_size = Detection({5.0F, 5.0F, 20.0F, 20.0F}, 3, 0.5F, {10, 10});
  wrong_size.mask.setTo(255);
  // A label far past both tables, whose box lies below the last row.
  DetectedObject off_tables = Detection({2.0F, 60.5F, 5.0F, 5.0F}, 85, 0.5F);

  cv::Mat output;
  orvanite::DrawDetectedObjects(
    frame, output, {first, second, no_mask, wrong_size, off_tables}, kNames);

  EXPECT_EQ(output.at<cv::Vec3b>(34, 14), Blend(background, Palette(kClassColors20[0])));
  EXPECT_EQ(output.at<cv::Vec3b>(38, 18), Blend(background, Palette(kClassColors20[1])));
  EXPECT_EQ(output.at<cv::Vec3b>(50, 50), Blend(background, background));
}

TEST(DetectionLabelText, NameAndConfidence)
{
  struct Case
  {
    int label;
    float prob;
    const char * text;
  };
  const Case cases[] = {
    {4, 0.8765F, "bottle 87.7%"}, {4, 1.0F, "bottle 100.0%"},
    {0, 0.0F, "paper 0.0%"},      {5, 0.5F, "5 50.0%"},  // past the class names
    {-1, 0.5F, "-1 50.0%"},
  };
  for (const Case & c : cases) {
    EXPECT_EQ(orvanite::DetectionLabelText(Detection({}, c.label, c.prob), kNames), c.text);
  }
  const std::vector<std::string> long_name = {std::string(300, 'x')};
  EXPECT_EQ(orvanite::DetectionLabelText(Detection({}, 0, 1.0F), long_name), std::string(255, 'x'));
}
// Masks are painted only where they have pixels; the picture is that of painting each over the
// whole frame, for masks inside their boxes, spilling out of them, empty, and boxes off the frame.
TEST(DrawDetectedObjects, SameImageAsPaintingEveryMaskOverTheWholeFrame)
{
  cv::Mat frame(480, 640, CV_8UC3);
  cv::randu(frame, 0, 256);
  const auto mask_of = [](const cv::Rect & pixels) {
    cv::Mat mask(480, 640, CV_8UC1, cv::Scalar(0));
    mask(pixels & cv::Rect(0, 0, 640, 480)).setTo(255);
    return mask;
  };
  std::vector<DetectedObject> objs(5);
  objs[0].rect = cv::Rect_<float>(100.4f, 80.6f, 60.0f, 40.0f);
  objs[0].mask = mask_of(cv::Rect(101, 81, 59, 39));
  objs[0].label = 0;
  objs[1].rect = cv::Rect_<float>(300.0f, 200.0f, 50.0f, 50.0f);
  objs[1].mask = mask_of(cv::Rect(290, 195, 80, 70));  // spills out of its box
  objs[1].label = 4;
  objs[2].rect = cv::Rect_<float>(400.0f, 300.0f, 30.0f, 30.0f);
  objs[2].mask = cv::Mat(480, 640, CV_8UC1, cv::Scalar(0));
  objs[2].label = 21;
  objs[3].rect = cv::Rect_<float>(620.0f, 460.0f, 40.0f, 40.0f);  // partly off the frame
  objs[3].mask = mask_of(cv::Rect(620, 460, 40, 40));
  objs[3].label = 1;
  objs[4].rect = cv::Rect_<float>(-20.0f, -10.0f, 30.0f, 30.0f);
  objs[4].mask = mask_of(cv::Rect(0, 0, 10, 20));
  objs[4].label = 85;
  for (auto & obj : objs) {
    obj.prob = 0.75f;
  }
  cv::Mat drawn;
  cv::Mat expected;
  orvanite::DrawDetectedObjects(frame, drawn, objs, kNames);
  orvanite_test::plain::DrawDetectedObjects(frame, expected, objs, kNames);
  ASSERT_EQ(drawn.size(), expected.size());
  EXPECT_EQ(cv::norm(drawn, expected, cv::NORM_INF), 0.0);
}

}  // namespace
