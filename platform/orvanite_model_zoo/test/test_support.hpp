#ifndef ORVANITE_MODEL_ZOO__TEST__TEST_SUPPORT_HPP_
#define ORVANITE_MODEL_ZOO__TEST__TEST_SUPPORT_HPP_

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include <opencv2/core.hpp>

namespace test_support
{

// A folder of its own under the system's temporary folder, removed with its content.
class TempDir
{
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir & operator=(const TempDir &) = delete;

  const std::filesystem::path & path() const { return path_; }

  // Writes text to the file name in this folder and returns its path.
  std::string write(const std::string & name, const std::string & text) const;

private:
  std::filesystem::path path_;
};

// A candidate's score is the network input's value in one channel (0 red, 1 green, 2 blue, in
// 0..1) at one input pixel.
struct PixelScore
{
  int channel;
  cv::Point at;
};

struct TestCandidate
{
  // Input pixels: top-left corner and size.
  cv::Rect2f box;
  int label;
  std::variant<float, PixelScore> score;
};

// A YOLOv8-seg-shaped network whose detections are the candidates, with 32 prototypes at stride
// 4 that make every mask the red (> 0.5) part of its box.
struct TestNetwork
{
  cv::Size input_size;
  int num_classes;
  std::vector<TestCandidate> candidates;
  bool with_prototypes = true;
};

// Generates the network as dir/name.onnx with Debian's python3-onnx and returns its path.
// Throws std::runtime_error when the generator fails (python3-onnx missing included).
std::string GenerateOnnx(
  const TestNetwork & network, const TempDir & dir, const std::string & name);

struct OnnxSettings
{
  std::string model_path;
  cv::Size input_size;
  int num_classes;
  float score_threshold = 0.3F;
  float nms_threshold = 0.5F;
  int max_detections = 100;
};

// The text of an onnx model configuration.
std::string OnnxConfigText(const OnnxSettings & settings);

// The network generated at build time with the published YOLOv8n-seg layer structure and random
// weights: 640 x 640 input, 23 classes; the usual thresholds.
OnnxSettings FullSizeOnnxSettings();

// A frame of uniform noise, the same for the same size.
cv::Mat NoiseFrame(cv::Size size);

}  // namespace test_support

#endif  // ORVANITE_MODEL_ZOO__TEST__TEST_SUPPORT_HPP_
