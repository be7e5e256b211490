#include "common/mask_points.hpp"

#include <opencv2/imgproc.hpp>

#include "common/logger.hpp"

namespace orvanite
{
namespace
{
// Large masks of boxes away from the top-left corner are eroded to drop their rim, where the
// depth of the background bleeds in.
constexpr float kErosionMinCorner = 10.0F;
constexpr int kErosionMinPixels = 500;
}  // namespace

std::vector<cv::Point> getMaskPoints(
  cv::Mat & mask, const cv::Rect_<float> & rect, int erosion_size)
{
  const cv::Rect box(
    static_cast<int>(rect.x), static_cast<int>(rect.y), static_cast<int>(rect.width),
    static_cast<int>(rect.height));
  // The part of the box that lies on the mask; the rest holds no mask pixel.
  const cv::Rect on_mask =
    box.width > 0 && box.height > 0 ? box & cv::Rect(0, 0, mask.cols, mask.rows) : cv::Rect();
  const int init_size = on_mask.empty() ? 0 : cv::countNonZero(mask(on_mask));
  LOG_DEBUG("mask_init_size: {}", init_size);

  if (rect.x > kErosionMinCorner && rect.y > kErosionMinCorner && init_size > kErosionMinPixels) {
    LOG_INFO("Erode mask ! erosion_size: {}", erosion_size);
    const cv::Mat kernel = cv::getStructuringElement(
      cv::MORPH_RECT, cv::Size(2 * erosion_size + 1, 2 * erosion_size + 1),
      cv::Point(erosion_size, erosion_size));
    cv::erode(
      mask, mask, kernel, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
      cv::morphologyDefaultBorderValue());
  }

  LOG_DEBUG("mask_rect: [ x: {} y: {} w: {} h: {} ]", rect.x, rect.y, rect.width, rect.height);
  LOG_DEBUG("mask.rows: {} mask.cols: {}", mask.rows, mask.cols);

  std::vector<cv::Point> points;
  for (int row = on_mask.y; row < on_mask.y + on_mask.height; ++row) {
    const uchar * pixels = mask.ptr<uchar>(row);
    for (int col = on_mask.x; col < on_mask.x + on_mask.width; ++col) {
      if (pixels[col] != 0) {
        points.emplace_back(col - box.x, row - box.y);
      }
    }
  }
  return points;
}
}  // namespace orvanite
