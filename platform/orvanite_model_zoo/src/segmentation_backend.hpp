#ifndef ORVANITE_MODEL_ZOO__SEGMENTATION_BACKEND_HPP_
#define ORVANITE_MODEL_ZOO__SEGMENTATION_BACKEND_HPP_

#include <vector>

#include <opencv2/core.hpp>

#include "orvanite_model_zoo/types.hpp"

namespace ai_orva::model
{

// What YOLOv8Seg delegates to; the configuration's "backend" key picks the implementation.
class SegmentationBackend
{
public:
  virtual ~SegmentationBackend() = default;

  // rgb_frame is a non-empty CV_8UC3 frame in RGB order; objects is empty on entry and receives
  // the detections, best score first.
  virtual void detect(const cv::Mat & rgb_frame, std::vector<DetectedObject> & objects) = 0;
};

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__SEGMENTATION_BACKEND_HPP_
