#include "yolo_seg_mask.hpp"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace ai_orva::model
{

namespace
{

// How frame pixel indices map to prototype cell indices along one axis: cell = index * step +
// start, both in the coordinates where cell and pixel centres are integers.
struct AxisMap
{
  double step;
  double start;
};

AxisMap MapAxis(float input_per_frame, float input_offset, int input_extent, int grid_extent)
{
  const double cells_per_input = static_cast<double>(grid_extent) / input_extent;
  const double step = input_per_frame * cells_per_input;
  return {step, (0.5 * input_per_frame + input_offset) * cells_per_input - 0.5};
}

// The grid cells [first, last] that bilinear sampling at cells begin..end needs, within the grid.
cv::Range CellsNeeded(double begin, double end, int grid_extent)
{
  const int first = std::clamp(static_cast<int>(std::floor(begin)), 0, grid_extent - 1);
  const int last = std::clamp(static_cast<int>(std::ceil(end)), 0, grid_extent - 1);
  return cv::Range(first, last + 1);
}

}  // namespace

cv::Mat InstanceMask(
  const std::vector<cv::Mat> & prototypes, const std::vector<float> & coefficients,
  const cv::Rect2f & frame_box, const Letterbox & letterbox, float logit_threshold)
{
  const cv::Size frame_size = letterbox.frameSize();
  cv::Mat mask = cv::Mat::zeros(frame_size, CV_8UC1);

  // Frame pixels whose centres lie in the box.
  const int u0 = std::max(0, static_cast<int>(std::ceil(frame_box.x - 0.5F)));
  const int v0 = std::max(0, static_cast<int>(std::ceil(frame_box.y - 0.5F)));
  const int u1 = std::min(
    frame_size.width - 1, static_cast<int>(std::floor(frame_box.x + frame_box.width - 0.5F)));
  const int v1 = std::min(
    frame_size.height - 1, static_cast<int>(std::floor(frame_box.y + frame_box.height - 0.5F)));
  if (u1 < u0 || v1 < v0 || prototypes.empty()) {
    return mask;
  }
  const cv::Rect pixels(u0, v0, u1 - u0 + 1, v1 - v0 + 1);

  const cv::Size grid = prototypes.front().size();
  const AxisMap map_x =
    MapAxis(letterbox.scale().x, letterbox.offset().x, letterbox.inputSize().width, grid.width);
  const AxisMap map_y =
    MapAxis(letterbox.scale().y, letterbox.offset().y, letterbox.inputSize().height, grid.height);
  const double cell_x0 = u0 * map_x.step + map_x.start;
  const double cell_y0 = v0 * map_y.step + map_y.start;
  const cv::Range cols = CellsNeeded(cell_x0, u1 * map_x.step + map_x.start, grid.width);
  const cv::Range rows = CellsNeeded(cell_y0, v1 * map_y.step + map_y.start, grid.height);

  // Only the cells under the box are combined: a small fraction of the grid for most objects.
  cv::Mat logits = cv::Mat::zeros(rows.size(), cols.size(), CV_32F);
  for (std::size_t k = 0; k < prototypes.size(); ++k) {
    cv::scaleAdd(prototypes[k](rows, cols), coefficients[k], logits, logits);
  }

  const cv::Matx23d pixel_to_cell(
    map_x.step, 0.0, cell_x0 - cols.start, 0.0, map_y.step, cell_y0 - rows.start);
  cv::Mat box_logits;
  cv::warpAffine(
    logits, box_logits, pixel_to_cell, pixels.size(), cv::INTER_LINEAR | cv::WARP_INVERSE_MAP,
    cv::BORDER_REPLICATE);
  cv::Mat box_mask = mask(pixels);
  cv::compare(box_logits, logit_threshold, box_mask, cv::CMP_GT);
  return mask;
}

}  // namespace ai_orva::model
