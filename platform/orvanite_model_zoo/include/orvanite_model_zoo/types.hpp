#ifndef ORVANITE_MODEL_ZOO__TYPES_HPP_
#define ORVANITE_MODEL_ZOO__TYPES_HPP_

#include <opencv2/core.hpp>

namespace ai_orva::model
{

// One detected object of a frame.
struct DetectedObject
{
  // Bounding box in frame pixels (top-left corner and size); it always lies inside the frame.
  cv::Rect_<float> rect;
  // 0-based class index.
  int label = 0;
  // Confidence, 0 to 1.
  float prob = 0.0F;
  // CV_8UC1 of the whole frame's size: 255 = object pixel, 0 = background. Nonzero pixels lie
  // inside rect only.
  cv::Mat mask;
};

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__TYPES_HPP_
