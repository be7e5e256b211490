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

// Erodes `mask` in place as a whole-frame erosion would. Outside `region` (which holds every
// nonzero pixel) the mask is zero and stays zero; inside, a pixel's kernel reaches at most
// `erosion_size` beyond `region`, so a margin of that width (clipped to the frame, whose outside
// never erodes) decides the same result.
void ErodeAround(cv::Mat & mask, const cv::Rect & region, int erosion_size)
{
  const cv::Rect frame(0, 0, mask.cols, mask.rows);
  const cv::Rect margin = cv::Rect(
                            region.x - erosion_size, region.y - erosion_size,
                            region.width + 2 * erosion_size, region.height + 2 * erosion_size) &
                          frame;
  const cv::Mat kernel = cv::getStructuringElement(
    cv::MORPH_RECT, cv::Size(2 * erosion_size + 1, 2 * erosion_size + 1),
    cv::Point(erosion_size, erosion_size));
  // A continuous copy: its border is the constant "never erodes" value on every side, which
  // only the margin's zero pixels (or the frame's real border) ever meet.
  cv::Mat part = mask(margin).clone();
  cv::erode(
    part, part, kernel, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
    cv::morphologyDefaultBorderValue());
  part.copyTo(mask(margin));
}
}  // namespace

cv::Rect NonZeroRegion(const cv::Mat & mask, const cv::Rect & region)
{
  const cv::Rect frame(0, 0, mask.cols, mask.rows);
  const cv::Rect on_mask = region & frame;
  if (on_mask.empty() || cv::countNonZero(mask(on_mask)) != cv::countNonZero(mask)) {
    return frame;
  }
  return on_mask;
}

std::vector<cv::Point> getMaskPoints(
  cv::Mat & mask, const cv::Rect_<float> & rect, int erosion_size)
{
  std::vector<cv::Point> points;
  getMaskPoints(mask, rect, erosion_size, points);
  return points;
}

void getMaskPoints(
  cv::Mat & mask, const cv::Rect_<float> & rect, int erosion_size, std::vector<cv::Point> & points)
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
    ErodeAround(mask, NonZeroRegion(mask, on_mask), erosion_size);
  }

  LOG_DEBUG("mask_rect: [ x: {} y: {} w: {} h: {} ]", rect.x, rect.y, rect.width, rect.height);
  LOG_DEBUG("mask.rows: {} mask.cols: {}", mask.rows, mask.cols);

  points.clear();
  for (int row = on_mask.y; row < on_mask.y + on_mask.height; ++row) {
    const uchar * pixels = mask.ptr<uchar>(row);
    for (int col = on_mask.x; col < on_mask.x + on_mask.width; ++col) {
      if (pixels[col] != 0) {
        points.emplace_back(col - box.x, row - box.y);
      }
    }
  }
}
}  // namespace orvanite
