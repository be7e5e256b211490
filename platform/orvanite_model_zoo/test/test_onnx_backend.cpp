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
using test_support::GenerateOnnx;
using test_support::OnnxConfigText;
using test_support::OnnxSettings;
using test_support::PixelScore;
using test_support::TempDir;
using test_support::TestNetwork;

constexpr int kRed = 0;
constexpr int kGreen = 1;
constexpr int kBlue = 2;
const cv::Size kInput(64, 64);

struct Expected
{
  int label;
  float prob;
  cv::Rect2f rect;
};

void ExpectDetections(
  const std::vector<DetectedObject> & objects, const std::vector<Expected> & expected)
{
  ASSERT_EQ(objects.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("detection " + std::to_string(i));
    EXPECT_EQ(objects[i].label, expected[i].label);
    EXPECT_NEAR(objects[i].prob, expected[i].prob, 1e-3);
    EXPECT_NEAR(objects[i].rect.x, expected[i].rect.x, 1e-3);
    EXPECT_NEAR(objects[i].rect.y, expected[i].rect.y, 1e-3);
    EXPECT_NEAR(objects[i].rect.width, expected[i].rect.width, 1e-3);
    EXPECT_NEAR(objects[i].rect.height, expected[i].rect.height, 1e-3);
  }
}

// Nonzero mask pixels whose centres lie outside the box.
int MaskPixelsOutside(const DetectedObject & object)
{
  cv::Mat inside = cv::Mat::zeros(object.mask.size(), CV_8UC1);
  for (int v = 0; v < inside.rows; ++v) {
    for (int u = 0; u < inside.cols; ++u) {
      const cv::Point2f centre(u + 0.5F, v + 0.5F);
      inside.at<uchar>(v, u) = object.rect.contains(centre) ? 255 : 0;
    }
  }
  cv::Mat outside;
  cv::bitwise_and(object.mask, ~inside, outside);
  return cv::countNonZero(outside);
}

double IntersectionOverUnion(const cv::Mat & a, const cv::Mat & b)
{
  cv::Mat intersection;
  cv::Mat union_;
  cv::bitwise_and(a != 0, b != 0, intersection);
  cv::bitwise_or(a != 0, b != 0, union_);
  return static_cast<double>(cv::countNonZero(intersection)) / cv::countNonZero(union_);
}

// The network reads its scores from the letterboxed input, so the frame's channel order, the
// 0..1 scaling and the placement of the frame in the input (scale 0.5, 8 rows of padding above
// and below a 128 x 96 frame) decide which detections survive and with what score.
TEST(OnnxBackend, ReadsTheLetterboxedRgbFrame)
{
  TempDir dir;
  const cv::Scalar object_rgb(255, 20, 60);
  const cv::Rect object(32, 24, 48, 32);
  const cv::Rect marker(96, 8, 8, 8);
  cv::Mat frame(96, 128, CV_8UC3, cv::Scalar::all(0));
  frame(object).setTo(object_rgb);
  frame(marker).setTo(cv::Scalar(0, 180, 0));

  TestNetwork network{kInput, 2, {}};
  network.candidates = {
    // Red inside the object; its box stops 16 pixels before the object's right edge.
    {{16, 20, 16, 16}, 0, PixelScore{kRed, {24, 28}}},
    // Blue at the same place: 60 / 255 lies below the threshold.
    {{16, 20, 16, 16}, 1, PixelScore{kBlue, {24, 28}}},
    // Green of the marker.
    {{48, 12, 4, 4}, 1, PixelScore{kGreen, {50, 14}}},
    // Blue of the padding above the frame: 114 / 255.
    {{4, 36, 8, 8}, 1, PixelScore{kBlue, {10, 2}}},
    // Runs past the frame's right edge: clipped.
    {{52, 26, 16, 8}, 0, 0.9F},
    // Lies wholly in the padding: nothing of it is left in the frame.
    {{30, 1, 10, 4}, 0, 0.95F},
    {{40, 40, 8, 8}, 0, 0.2F},
  };
  OnnxSettings settings{GenerateOnnx(network, dir, "letterbox"), kInput, 2};
  YOLOv8Seg model(dir.write("model.yaml", OnnxConfigText(settings)));

  std::vector<DetectedObject> objects;
  ASSERT_TRUE(model.detect(frame, objects));
  ExpectDetections(
    objects, {
               {0, 1.0F, {32, 24, 32, 32}},
               {0, 0.9F, {104, 36, 24, 16}},
               {1, 180.0F / 255, {96, 8, 8, 8}},
               {1, 114.0F / 255, {8, 56, 16, 16}},
             });
  for (const DetectedObject & o : objects) {
    ASSERT_EQ(o.mask.type(), CV_8UC1);
    ASSERT_EQ(o.mask.size(), frame.size());
    EXPECT_EQ(MaskPixelsOutside(o), 0) << "label " << o.label << " prob " << o.prob;
  }
  // The object's part inside the box, up to the corners that the 8-pixel prototype cells round.
  cv::Mat object_in_box = cv::Mat::zeros(frame.size(), CV_8UC1);
  object_in_box(object & cv::Rect(32, 24, 32, 32)).setTo(255);
  EXPECT_GT(IntersectionOverUnion(objects[0].mask, object_in_box), 0.95);
  for (std::size_t i : {1, 2, 3}) {
    EXPECT_EQ(cv::countNonZero(objects[i].mask), 0) << "no red under detection " << i;
  }
}

// Candidates A to E; B overlaps A (intersection over union 0.82) with the same class, C overlaps
// A with another class, E scores 0.1.
TestNetwork OverlapNetwork()
{
  return {
    kInput,
    2,
    {
      {{10, 10, 20, 20}, 0, 0.9F},
      {{12, 10, 20, 20}, 0, 0.8F},
      {{11, 10, 20, 20}, 1, 0.7F},
      {{40, 40, 10, 10}, 0, 0.6F},
      {{40, 40, 10, 10}, 1, 0.1F},
    }};
}

TEST(OnnxBackend, SuppressesOverlapsPerClassAndDropsWeakScores)
{
  const Expected a{0, 0.9F, {10, 10, 20, 20}};
  const Expected b{0, 0.8F, {12, 10, 20, 20}};
  const Expected c{1, 0.7F, {11, 10, 20, 20}};
  const Expected d{0, 0.6F, {40, 40, 10, 10}};
  struct Case
  {
    const char * name;
    float score_threshold;
    float nms_threshold;
    int max_detections;
    std::vector<Expected> expected;
  };
  const std::vector<Case> cases = {
    {"same class suppressed, other class kept", 0.3F, 0.5F, 100, {a, c, d}},
    {"loose suppression keeps the overlap", 0.3F, 0.9F, 100, {a, b, c, d}},
    {"higher score threshold", 0.75F, 0.5F, 100, {a}},
    {"capped count keeps the best", 0.3F, 0.5F, 2, {a, c}},
  };
  TempDir dir;
  const std::string model_path = GenerateOnnx(OverlapNetwork(), dir, "overlap");
  const cv::Mat frame(kInput, CV_8UC3, cv::Scalar::all(0));
  for (const Case & test : cases) {
    SCOPED_TRACE(test.name);
    const OnnxSettings settings{
      model_path, kInput, 2, test.score_threshold, test.nms_threshold, test.max_detections};
    YOLOv8Seg model(dir.write("model.yaml", OnnxConfigText(settings)));
    std::vector<DetectedObject> objects;
    ASSERT_TRUE(model.detect(frame, objects));
    ExpectDetections(objects, test.expected);
  }
}

TEST(OnnxBackend, MapsBoxesBackToFramesOfAnyShape)
{
  struct Case
  {
    cv::Size frame;
    cv::Rect2f best_box;
  };
  const std::vector<Case> cases = {
    {{64, 64}, {10, 10, 20, 20}},
    // Scale 0.5, 8 rows of padding above.
    {{128, 96}, {20, 4, 40, 40}},
    // Scale 2/3, 16 columns of padding left: the box's left part lies in the padding.
    {{48, 96}, {0, 15, 21, 30}},
    // Scale 0.32, 16 rows of padding above: the box's top part lies in the padding.
    {{200, 100}, {31.25F, 0, 62.5F, 43.75F}},
  };
  TempDir dir;
  const OnnxSettings settings{GenerateOnnx(OverlapNetwork(), dir, "overlap"), kInput, 2};
  YOLOv8Seg model(dir.write("model.yaml", OnnxConfigText(settings)));
  for (const Case & test : cases) {
    SCOPED_TRACE(std::to_string(test.frame.width) + "x" + std::to_string(test.frame.height));
    std::vector<DetectedObject> objects;
    ASSERT_TRUE(model.detect(cv::Mat(test.frame, CV_8UC3, cv::Scalar::all(0)), objects));
    ASSERT_FALSE(objects.empty());
    ExpectDetections({objects.front()}, {{0, 0.9F, test.best_box}});
  }
}

}  // namespace
