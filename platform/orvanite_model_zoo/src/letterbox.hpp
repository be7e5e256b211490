#ifndef ORVANITE_MODEL_ZOO__LETTERBOX_HPP_
#define ORVANITE_MODEL_ZOO__LETTERBOX_HPP_

#include <opencv2/core.hpp>

namespace ai_orva::model
{

// The placement of a frame in a network input: scaled to fit with its aspect ratio kept,
// centred, the rest padded with grey 114. Coordinates are continuous pixel coordinates (pixel
// (u, v) covers [u, u + 1) x [v, v + 1)).
class Letterbox
{
public:
  // Both sizes must be positive.
  Letterbox(cv::Size frame_size, cv::Size input_size);

  // The frame resized and padded to the input size; frame must have frame_size.
  cv::Mat apply(const cv::Mat & frame) const;

  // A box in input pixels mapped to frame pixels and clipped to the frame (possibly empty).
  cv::Rect2f toFrame(const cv::Rect2f & input_box) const;

  // Input pixels per frame pixel, along x and y.
  cv::Point2f scale() const { return scale_; }
  // Offset of the frame's top-left corner in the input, pixels.
  cv::Point2f offset() const { return cv::Point2f(pad_); }
  cv::Size frameSize() const { return frame_size_; }
  cv::Size inputSize() const { return input_size_; }

private:
  cv::Size frame_size_;
  cv::Size input_size_;
  cv::Size resized_size_;
  cv::Point pad_;
  cv::Point2f scale_;
};

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__LETTERBOX_HPP_
