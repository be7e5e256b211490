#ifndef ORVANITE_MODEL_ZOO__YOLOV8_SEG_HPP_
#define ORVANITE_MODEL_ZOO__YOLOV8_SEG_HPP_

#include <memory>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "orvanite_model_zoo/types.hpp"

namespace ai_orva::model
{

class SegmentationBackend;

// Instance segmentation of RGB frames. The YAML configuration file selects the backend:
// "onnx" runs a YOLOv8-seg network with OpenCV's DNN module, "color_key" segments regions of
// exact colours (synthetic scenes). The example configurations in this package's share folder
// document every key.
//
// Not thread-safe: one object serves one caller at a time.
class YOLOv8Seg
{
public:
  // Throws std::runtime_error, naming the file and the problem, when the configuration cannot
  // be read, is incomplete or invalid, or its model does not load or has unexpected outputs.
  explicit YOLOv8Seg(const std::string & config_path);
  virtual ~YOLOv8Seg();

  YOLOv8Seg(const YOLOv8Seg &) = delete;
  YOLOv8Seg & operator=(const YOLOv8Seg &) = delete;

  // Replaces the content of objects with the detections of rgb_frame (8-bit, 3 channels, RGB
  // order, any size), best score first. Returns false, with no detections, for a frame that is
  // empty or not CV_8UC3.
  virtual bool detect(const cv::Mat & rgb_frame, std::vector<DetectedObject> & objects);

private:
  std::unique_ptr<SegmentationBackend> backend_;
};

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__YOLOV8_SEG_HPP_
