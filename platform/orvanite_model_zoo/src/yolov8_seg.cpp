#include "orvanite_model_zoo/yolov8_seg.hpp"

#include "color_key_backend.hpp"
#include "config_node.hpp"
#include "onnx_backend.hpp"
#include "segmentation_backend.hpp"

namespace ai_orva::model
{

namespace
{

std::unique_ptr<SegmentationBackend> MakeBackend(const ConfigNode & config)
{
  const std::string backend = config.get<std::string>("backend");
  if (backend == "onnx") {
    return std::make_unique<OnnxBackend>(config.child("onnx"));
  }
  if (backend == "color_key") {
    return std::make_unique<ColorKeyBackend>(config.child("color_key"));
  }
  config.fail("backend", "unknown backend '" + backend + "' (expected onnx or color_key)");
}

}  // namespace

YOLOv8Seg::YOLOv8Seg(const std::string & config_path)
: backend_(MakeBackend(ConfigNode::load(config_path)))
{
}

YOLOv8Seg::~YOLOv8Seg() = default;

bool YOLOv8Seg::detect(const cv::Mat & rgb_frame, std::vector<DetectedObject> & objects)
{
  objects.clear();
  if (rgb_frame.empty() || rgb_frame.type() != CV_8UC3) {
    return false;
  }
  backend_->detect(rgb_frame, objects);
  return true;
}

}  // namespace ai_orva::model
