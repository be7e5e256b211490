#ifndef ORVANITE_MODEL_ZOO__YOLO_SEG_MASK_HPP_
#define ORVANITE_MODEL_ZOO__YOLO_SEG_MASK_HPP_

#include <vector>

#include <opencv2/core.hpp>

#include "letterbox.hpp"

namespace ai_orva::model
{

// The instance mask of one detection: the logit map sum_k coefficients[k] * prototypes[k],
// bilinearly resampled from the prototype grid (which spans the network input) to the frame
// pixels whose centres lie in frame_box, then thresholded. prototypes are CV_32F planes of one
// size, as many as coefficients. Returns a CV_8UC1 mask of the frame's size, 255 where the logit
// exceeds logit_threshold, zero everywhere else (outside frame_box in particular).
cv::Mat InstanceMask(
  const std::vector<cv::Mat> & prototypes, const std::vector<float> & coefficients,
  const cv::Rect2f & frame_box, const Letterbox & letterbox, float logit_threshold);

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__YOLO_SEG_MASK_HPP_
