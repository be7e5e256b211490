#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

#include "orvanite_model_zoo/yolov8_seg.hpp"
#include "test_support.hpp"

namespace
{

// The generated random-weight network must cost what the published YOLOv8n-seg costs, or the
// benchmark figures taken on it say nothing about a trained network.
constexpr int kSide = 640;
constexpr int kClasses = 23;
constexpr int kCandidates = 8400;
constexpr int kPrototypes = 32;
constexpr int kStrides[] = {8, 16, 32};
// Bins of the box regression: a box side lies at most this many strides from its cell centre.
constexpr int kRegMax = 16;

cv::dnn::Net LoadNetwork()
{
  return cv::dnn::readNetFromONNX(test_support::FullSizeOnnxSettings().model_path);
}

std::vector<int> Shape(const cv::Mat & m) { return std::vector<int>(m.size.p, m.size.p + m.dims); }

TEST(FullSizeNetwork, HasThePublishedParameterCountAndFlops)
{
  cv::dnn::Net net = LoadNetwork();
  // The learned weights are those of the convolutions; the other constants (anchors, strides,
  // shapes) are fixed by the input size.
  double parameters = 0;
  for (const std::string & name : net.getLayerNames()) {
    const cv::Ptr<cv::dnn::Layer> layer = net.getLayer(net.getLayerId(name));
    if (layer->type == "Convolution" || layer->type == "Deconvolution") {
      for (const cv::Mat & blob : layer->blobs) {
        parameters += static_cast<double>(blob.total());
      }
    }
  }
  EXPECT_NEAR(parameters, 3.3e6, 0.33e6);
  const double flops = static_cast<double>(net.getFLOPS({1, 3, kSide, kSide}));
  EXPECT_NEAR(flops, 12e9, 1.2e9);
}

TEST(FullSizeNetwork, RunsInOpenCvWithFiniteOutputsOfTheYoloSegLayout)
{
  cv::dnn::Net net = LoadNetwork();
  net.setInput(cv::dnn::blobFromImage(test_support::NoiseFrame({kSide, kSide}), 1.0 / 255.0));
  std::vector<cv::Mat> outputs;
  net.forward(outputs, std::vector<cv::String>{"output0", "output1"});
  ASSERT_EQ(outputs.size(), 2U);
  const cv::Mat & detections = outputs[0];
  const cv::Mat & prototypes = outputs[1];
  ASSERT_EQ(Shape(detections), (std::vector<int>{1, 4 + kClasses + kPrototypes, kCandidates}));
  ASSERT_EQ(Shape(prototypes), (std::vector<int>{1, kPrototypes, kSide / 4, kSide / 4}));
  EXPECT_TRUE(cv::checkRange(detections));
  EXPECT_TRUE(cv::checkRange(prototypes));

  const cv::Mat table(4 + kClasses + kPrototypes, kCandidates, CV_32F, detections.data);
  double low = 0;
  double high = 0;
  cv::minMaxLoc(table.rowRange(4, 4 + kClasses), &low, &high);
  EXPECT_GT(low, 0.0) << "class scores are probabilities";
  EXPECT_LT(high, 0.01) << "random weights propose nothing";

  // Candidates run scale by scale, cells row by row. Each box contains its cell centre and
  // reaches at most kRegMax - 1 strides beyond it on every side.
  int n = 0;
  for (const int stride : kStrides) {
    const int cells = kSide / stride;
    const float reach = static_cast<float>((kRegMax - 1) * stride) + 1e-3F;
    for (int i = 0; i < cells * cells; ++i, ++n) {
      const cv::Point2f centre((i % cells + 0.5F) * stride, (i / cells + 0.5F) * stride);
      const cv::Point2f box_centre(table.at<float>(0, n), table.at<float>(1, n));
      const cv::Point2f half_size(table.at<float>(2, n) / 2, table.at<float>(3, n) / 2);
      const cv::Point2f low_corner = box_centre - half_size - centre;
      const cv::Point2f high_corner = box_centre + half_size - centre;
      ASSERT_TRUE(
        low_corner.x <= 1e-3F && low_corner.y <= 1e-3F && low_corner.x >= -reach &&
        low_corner.y >= -reach && high_corner.x >= -1e-3F && high_corner.y >= -1e-3F &&
        high_corner.x <= reach && high_corner.y <= reach)
        << "candidate " << n << " at stride " << stride << ": box centre " << box_centre
        << ", size " << 2 * half_size << ", cell centre " << centre;
    }
  }
  EXPECT_EQ(n, kCandidates);
}

// What the benchmark times: the whole detect of a 640 x 480 frame, which finds nothing.
TEST(FullSizeNetwork, DetectsNothingThroughTheOnnxBackend)
{
  test_support::TempDir dir;
  ai_orva::model::YOLOv8Seg model(
    dir.write("model.yaml", test_support::OnnxConfigText(test_support::FullSizeOnnxSettings())));
  std::vector<ai_orva::model::DetectedObject> objects(1);
  ASSERT_TRUE(model.detect(test_support::NoiseFrame({640, 480}), objects));
  EXPECT_TRUE(objects.empty());
}

}  // namespace
