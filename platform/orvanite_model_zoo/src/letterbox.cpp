#include "letterbox.hpp"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace ai_orva::model
{

namespace
{
constexpr double kPadValue = 114.0;
}  // namespace

Letterbox::Letterbox(cv::Size frame_size, cv::Size input_size)
: frame_size_(frame_size), input_size_(input_size)
{
  const double fit = std::min(
    static_cast<double>(input_size.width) / frame_size.width,
    static_cast<double>(input_size.height) / frame_size.height);
  resized_size_.width =
    std::clamp(static_cast<int>(std::lround(frame_size.width * fit)), 1, input_size.width);
  resized_size_.height =
    std::clamp(static_cast<int>(std::lround(frame_size.height * fit)), 1, input_size.height);
  pad_ = cv::Point(
    (input_size.width - resized_size_.width) / 2, (input_size.height - resized_size_.height) / 2);
  // The scales of the resize as performed, which rounding makes differ slightly per axis.
  scale_ = cv::Point2f(
    static_cast<float>(resized_size_.width) / frame_size.width,
    static_cast<float>(resized_size_.height) / frame_size.height);
}

cv::Mat Letterbox::apply(const cv::Mat & frame) const
{
  CV_Assert(frame.size() == frame_size_);
  cv::Mat resized;
  cv::resize(frame, resized, resized_size_, 0.0, 0.0, cv::INTER_LINEAR);
  cv::Mat padded;
  cv::copyMakeBorder(
    resized, padded, pad_.y, input_size_.height - resized_size_.height - pad_.y, pad_.x,
    input_size_.width - resized_size_.width - pad_.x, cv::BORDER_CONSTANT,
    cv::Scalar::all(kPadValue));
  return padded;
}

cv::Rect2f Letterbox::toFrame(const cv::Rect2f & input_box) const
{
  const float x0 = (input_box.x - pad_.x) / scale_.x;
  const float y0 = (input_box.y - pad_.y) / scale_.y;
  const float x1 = (input_box.x + input_box.width - pad_.x) / scale_.x;
  const float y1 = (input_box.y + input_box.height - pad_.y) / scale_.y;
  const auto width = static_cast<float>(frame_size_.width);
  const auto height = static_cast<float>(frame_size_.height);
  const float cx0 = std::clamp(x0, 0.0F, width);
  const float cy0 = std::clamp(y0, 0.0F, height);
  const float cx1 = std::clamp(x1, 0.0F, width);
  const float cy1 = std::clamp(y1, 0.0F, height);
  return cv::Rect2f(cx0, cy0, std::max(0.0F, cx1 - cx0), std::max(0.0F, cy1 - cy0));
}

}  // namespace ai_orva::model
