#include "onnx_backend.hpp"

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>

namespace ai_orva::model
{

namespace
{

namespace fs = std::filesystem;

template <typename T>
T GetInRange(const ConfigNode & section, const std::string & key, T low, T high)
{
  const T value = section.get<T>(key);
  if (!(value >= low && value <= high)) {
    std::ostringstream problem;
    problem << "must lie in " << low << " .. " << high << ", got " << value;
    section.fail(key, problem.str());
  }
  return value;
}

// A relative model path starts at the folder of the configuration file.
fs::path ModelPath(const ConfigNode & section)
{
  const fs::path path = section.get<std::string>("model_path");
  const fs::path resolved =
    path.is_absolute() ? path : fs::path(section.file()).parent_path() / path;
  std::error_code error;
  if (!fs::is_regular_file(resolved, error)) {
    section.fail("model_path", "model file '" + resolved.string() + "' does not exist");
  }
  return resolved;
}

}  // namespace

OnnxBackend::OnnxBackend(const ConfigNode & section)
{
  constexpr int kMaxInputSide = 8192;
  input_size_.width = GetInRange(section, "input_width", 1, kMaxInputSide);
  input_size_.height = GetInRange(section, "input_height", 1, kMaxInputSide);
  settings_.num_classes = GetInRange(section, "num_classes", 1, 1 << 16);
  settings_.score_threshold = GetInRange(section, "score_threshold", 0.0F, 1.0F);
  settings_.nms_threshold = GetInRange(section, "nms_threshold", 0.0F, 1.0F);
  settings_.mask_threshold = GetInRange(section, "mask_threshold", 0.001F, 0.999F);
  settings_.max_detections = GetInRange(section, "max_detections", 1, 1 << 16);
  const fs::path model_path = ModelPath(section);

  const std::string model_text = "model '" + model_path.string() + "'";
  try {
    net_ = cv::dnn::readNetFromONNX(model_path.string());
  } catch (const cv::Exception & e) {
    section.fail("model_path", model_text + " does not load: " + e.what());
  }
  if (net_.empty()) {
    section.fail("model_path", model_text + " does not load: no layers");
  }
  output_names_ = net_.getUnconnectedOutLayersNames();
  try {
    const cv::Mat blank(input_size_, CV_8UC3, cv::Scalar::all(0));
    CheckYoloSegOutputs(forward(blank), settings_.num_classes);
  } catch (const cv::Exception & e) {
    section.fail(
      "model_path", model_text + " does not run on the configured input size: " + e.what());
  } catch (const std::invalid_argument & e) {
    section.fail("model_path", model_text + ": " + e.what());
  }
}

void OnnxBackend::detect(const cv::Mat & rgb_frame, std::vector<DetectedObject> & objects)
{
  const Letterbox letterbox(rgb_frame.size(), input_size_);
  DecodeYoloSeg(forward(letterbox.apply(rgb_frame)), settings_, letterbox, objects);
}

YoloSegOutputs OnnxBackend::forward(const cv::Mat & input)
{
  // The frame is RGB already, the order the network expects: no channel swap.
  net_.setInput(cv::dnn::blobFromImage(input, 1.0 / 255.0, cv::Size(), cv::Scalar(), false, false));
  std::vector<cv::Mat> outputs;
  net_.forward(outputs, output_names_);
  return SelectYoloSegOutputs(outputs);
}

}  // namespace ai_orva::model
