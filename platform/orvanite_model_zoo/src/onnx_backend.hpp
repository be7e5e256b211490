#ifndef ORVANITE_MODEL_ZOO__ONNX_BACKEND_HPP_
#define ORVANITE_MODEL_ZOO__ONNX_BACKEND_HPP_

#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

#include "config_node.hpp"
#include "segmentation_backend.hpp"
#include "yolo_seg_decoder.hpp"

namespace ai_orva::model
{

// A YOLOv8-seg network exported to ONNX, run on the CPU by OpenCV's DNN module. The frame is
// letterboxed to the configured input size and fed as 1 x 3 x H x W RGB in 0..1.
class OnnxBackend : public SegmentationBackend
{
public:
  // Reads the "onnx" section, loads the network and runs it once on a blank input to check its
  // outputs against the configured number of classes. Throws std::runtime_error naming the file.
  explicit OnnxBackend(const ConfigNode & section);

  void detect(const cv::Mat & rgb_frame, std::vector<DetectedObject> & objects) override;

private:
  YoloSegOutputs forward(const cv::Mat & input);

  cv::dnn::Net net_;
  cv::Size input_size_;
  YoloSegSettings settings_;
  std::vector<cv::String> output_names_;
};

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__ONNX_BACKEND_HPP_
