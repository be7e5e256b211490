#include <vector>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

#include "color_key_backend.hpp"
#include "letterbox.hpp"
#include "orvanite_model_zoo/yolov8_seg.hpp"
#include "test_support.hpp"
#include "yolo_seg_decoder.hpp"

namespace
{

using ai_orva::model::ColorKeyBackend;
using ai_orva::model::DetectedObject;

constexpr int kInputSide = 640;
constexpr int kClasses = 23;
constexpr int kCandidates = 8400;
constexpr int kPrototypes = 32;
constexpr int kGridSide = kInputSide / 4;

// Network outputs of a 640 x 480 frame letterboxed into 640 x 640: background candidates score
// below the threshold, and each of `objects` objects is proposed by 20 jittered candidates that
// non-maximum suppression reduces to one.
ai_orva::model::YoloSegOutputs SyntheticOutputs(int objects)
{
  cv::RNG rng(7);
  const int rows = 4 + kClasses + kPrototypes;
  const int det_shape[] = {1, rows, kCandidates};
  cv::Mat detections(3, det_shape, CV_32F);
  cv::Mat table(rows, kCandidates, CV_32F, detections.ptr<float>());
  rng.fill(table.rowRange(0, 2), cv::RNG::UNIFORM, 0.0, kInputSide);
  rng.fill(table.rowRange(2, 4), cv::RNG::UNIFORM, 20.0, 200.0);
  rng.fill(table.rowRange(4, 4 + kClasses), cv::RNG::UNIFORM, 0.0, 0.2);
  rng.fill(table.rowRange(4 + kClasses, rows), cv::RNG::NORMAL, 0.0, 1.0);
  constexpr int kProposals = 20;
  for (int o = 0; o < objects; ++o) {
    const float cx = rng.uniform(100.0F, 540.0F);
    const float cy = rng.uniform(180.0F, 460.0F);
    const float side = rng.uniform(40.0F, 160.0F);
    const int label = o % kClasses;
    for (int p = 0; p < kProposals; ++p) {
      const int n = o * kProposals + p;
      table.at<float>(0, n) = cx + rng.uniform(-3.0F, 3.0F);
      table.at<float>(1, n) = cy + rng.uniform(-3.0F, 3.0F);
      table.at<float>(2, n) = side;
      table.at<float>(3, n) = side;
      table.at<float>(4 + label, n) = rng.uniform(0.5F, 0.95F);
    }
  }
  const int proto_shape[] = {1, kPrototypes, kGridSide, kGridSide};
  cv::Mat prototypes(4, proto_shape, CV_32F);
  cv::Mat planes(kPrototypes, kGridSide * kGridSide, CV_32F, prototypes.ptr<float>());
  rng.fill(planes, cv::RNG::NORMAL, 0.0, 1.0);
  return {detections, prototypes};
}

void BM_DecodeYoloSeg(benchmark::State & state)
{
  const ai_orva::model::YoloSegOutputs outputs = SyntheticOutputs(static_cast<int>(state.range(0)));
  ai_orva::model::YoloSegSettings settings;
  settings.num_classes = kClasses;
  const ai_orva::model::Letterbox letterbox(cv::Size(640, 480), cv::Size(kInputSide, kInputSide));
  std::vector<DetectedObject> objects;
  for (auto _ : state) {
    ai_orva::model::DecodeYoloSeg(outputs, settings, letterbox, objects);
    benchmark::DoNotOptimize(objects.data());
  }
  state.counters["detections"] = static_cast<double>(objects.size());
}
BENCHMARK(BM_DecodeYoloSeg)->Arg(0)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

// A 640 x 480 scene with `state.range(0)` rectangles in three key colours on a grey floor.
void BM_ColorKey(benchmark::State & state)
{
  const std::vector<ColorKeyBackend::Key> keys = {
    {{255, 0, 0}, 0, 0.9F}, {{0, 255, 0}, 1, 0.9F}, {{0, 0, 255}, 2, 0.9F}};
  ColorKeyBackend backend(keys, 50);
  cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(90, 90, 90));
  cv::RNG rng(7);
  for (int i = 0; i < state.range(0); ++i) {
    const cv::Rect box(rng.uniform(0, 600), rng.uniform(0, 440), 40, 40);
    frame(box & cv::Rect(0, 0, 640, 480)).setTo(cv::Scalar(keys[i % 3].rgb));
  }
  std::vector<DetectedObject> objects;
  for (auto _ : state) {
    objects.clear();
    backend.detect(frame, objects);
    benchmark::DoNotOptimize(objects.data());
  }
  state.counters["detections"] = static_cast<double>(objects.size());
}
BENCHMARK(BM_ColorKey)->Arg(3)->Arg(20)->Unit(benchmark::kMillisecond);

// The whole onnx backend on the generated network of the published YOLOv8n-seg size (random
// weights: no candidate passes the threshold, so no masks are made): letterbox, forward, decode.
void BM_DetectOnnxFullSize(benchmark::State & state)
{
  const test_support::TempDir dir;
  ai_orva::model::YOLOv8Seg model(
    dir.write("model.yaml", test_support::OnnxConfigText(test_support::FullSizeOnnxSettings())));
  const cv::Mat frame = test_support::NoiseFrame({640, 480});
  std::vector<DetectedObject> objects;
  for (auto _ : state) {
    model.detect(frame, objects);
    benchmark::DoNotOptimize(objects.data());
  }
  state.counters["detections"] = static_cast<double>(objects.size());
}
BENCHMARK(BM_DetectOnnxFullSize)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bare OpenCV DNN share of the above: the same network on the same letterboxed frame.
void BM_ForwardOnnxFullSize(benchmark::State & state)
{
  const test_support::OnnxSettings settings = test_support::FullSizeOnnxSettings();
  cv::dnn::Net net = cv::dnn::readNetFromONNX(settings.model_path);
  const std::vector<cv::String> names = net.getUnconnectedOutLayersNames();
  const cv::Mat frame = test_support::NoiseFrame({640, 480});
  const cv::Mat input = ai_orva::model::Letterbox(frame.size(), settings.input_size).apply(frame);
  const auto forward = [&] {
    net.setInput(cv::dnn::blobFromImage(input, 1.0 / 255.0));
    std::vector<cv::Mat> outputs;
    net.forward(outputs, names);
    return outputs;
  };
  // The first pass allocates the network's buffers; the backend's constructor makes it too.
  forward();
  for (auto _ : state) {
    const std::vector<cv::Mat> outputs = forward();
    benchmark::DoNotOptimize(outputs.data());
  }
}
BENCHMARK(BM_ForwardOnnxFullSize)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
