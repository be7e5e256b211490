// The pixels of a detection's mask inside its box.
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__MASK_POINTS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__MASK_POINTS_HPP_

#include <vector>

#include <opencv2/core.hpp>

namespace orvanite
{
// Returns, in row-major order, the offsets (i, j) from the box's top-left corner (xi, yi) of the
// nonzero pixels of `mask` (CV_8UC1, whole frame) at rows yi .. yi + hi - 1 and columns
// xi .. xi + wi - 1, where xi, yi, wi, hi are `rect` truncated to int. Parts of the box outside
// the mask are not read.
//
// When rect.x > 10 and rect.y > 10 and the box holds more than 500 nonzero pixels, the whole
// mask is first eroded in place (its pixels are shared with every copy of the mask) with a
// (2 * erosion_size + 1) square kernel; pixels beyond the image never erode it.
std::vector<cv::Point> getMaskPoints(
  cv::Mat & mask, const cv::Rect_<float> & rect, int erosion_size);
// The same into `points` (cleared first), whose capacity is kept: a caller that passes the same
// vector every frame allocates nothing once it holds the largest mask.
void getMaskPoints(
  cv::Mat & mask, const cv::Rect_<float> & rect, int erosion_size, std::vector<cv::Point> & points);

// The part of `region` on `mask` when every nonzero pixel of `mask` lies in it (then work on
// the mask can stay inside it), otherwise the whole mask.
cv::Rect NonZeroRegion(const cv::Mat & mask, const cv::Rect & region);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__MASK_POINTS_HPP_
