#include "test_support.hpp"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test_support
{

namespace fs = std::filesystem;

TempDir::TempDir()
{
  std::string pattern = (fs::temp_directory_path() / "orvanite_model_zoo_test_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder from " + pattern);
  }
  path_ = pattern;
}

TempDir::~TempDir()
{
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string & name, const std::string & text) const
{
  const fs::path file = path_ / name;
  std::ofstream out(file);
  out << text;
  if (!out) {
    throw std::runtime_error("cannot write " + file.string());
  }
  return file.string();
}

namespace
{

std::string NetworkJson(const TestNetwork & network)
{
  std::ostringstream json;
  json << "{\"input_width\": " << network.input_size.width
       << ", \"input_height\": " << network.input_size.height
       << ", \"num_classes\": " << network.num_classes
       << ", \"prototypes\": " << (network.with_prototypes ? "true" : "false")
       << ", \"candidates\": [";
  for (std::size_t i = 0; i < network.candidates.size(); ++i) {
    const TestCandidate & c = network.candidates[i];
    json << (i == 0 ? "" : ", ") << "{\"box\": [" << c.box.x << ", " << c.box.y << ", "
         << c.box.width << ", " << c.box.height << "], \"label\": " << c.label;
    if (const auto * pixel = std::get_if<PixelScore>(&c.score)) {
      json << ", \"pixel\": [" << pixel->channel << ", " << pixel->at.x << ", " << pixel->at.y
           << "]}";
    } else {
      json << ", \"score\": " << std::get<float>(c.score) << "}";
    }
  }
  json << "]}";
  return json.str();
}

}  // namespace

std::string GenerateOnnx(const TestNetwork & network, const TempDir & dir, const std::string & name)
{
  const std::string description = dir.write(name + ".json", NetworkJson(network));
  const std::string model = (dir.path() / (name + ".onnx")).string();
  // Bounded: a generator that hangs fails the test instead of stalling it.
  const std::string command = std::string("timeout 120 '") + TEST_PYTHON + "' '" +
                              TEST_ONNX_GENERATOR + "' '" + description + "' '" + model + "'";
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !fs::exists(model)) {
    throw std::runtime_error("generating " + model + " failed: " + command);
  }
  return model;
}

std::string OnnxConfigText(const OnnxSettings & settings)
{
  std::ostringstream text;
  text << "backend: onnx\n"
       << "onnx:\n"
       << "  model_path: " << settings.model_path << "\n"
       << "  input_width: " << settings.input_size.width << "\n"
       << "  input_height: " << settings.input_size.height << "\n"
       << "  num_classes: " << settings.num_classes << "\n"
       << "  score_threshold: " << settings.score_threshold << "\n"
       << "  nms_threshold: " << settings.nms_threshold << "\n"
       << "  mask_threshold: 0.5\n"
       << "  max_detections: " << settings.max_detections << "\n";
  return text.str();
}

OnnxSettings FullSizeOnnxSettings() { return {FULL_SIZE_ONNX, {640, 640}, 23, 0.25F, 0.45F, 100}; }

cv::Mat NoiseFrame(cv::Size size)
{
  cv::Mat frame(size, CV_8UC3);
  cv::RNG(7).fill(frame, cv::RNG::UNIFORM, 0, 256);
  return frame;
}

}  // namespace test_support
