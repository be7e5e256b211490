#include "yolo_seg_decoder.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include <opencv2/dnn.hpp>

#include "yolo_seg_mask.hpp"

namespace ai_orva::model
{

namespace
{

constexpr int kBoxValues = 4;

struct Candidate
{
  int column;
  int label;
  float score;
  cv::Rect2d box;
};

std::string ShapeText(const cv::Mat & m)
{
  std::string text;
  for (int i = 0; i < m.dims; ++i) {
    text += (i == 0 ? "" : "x") + std::to_string(m.size[i]);
  }
  return text.empty() ? "empty" : text;
}

// cv::Mat offers no header on const data; the views made here are only read.
cv::Mat ReadOnlyPlane(const cv::Mat & tensor, int rows, int cols, std::size_t offset)
{
  return cv::Mat(rows, cols, CV_32F, const_cast<float *>(tensor.ptr<float>()) + offset);
}

// Candidates whose best class reaches the threshold; table is (4 + classes + M) x N.
std::vector<Candidate> ScoredCandidates(
  const cv::Mat & table, int num_classes, float score_threshold)
{
  cv::Mat best;
  cv::reduce(table.rowRange(kBoxValues, kBoxValues + num_classes), best, 0, cv::REDUCE_MAX);
  std::vector<Candidate> candidates;
  for (int n = 0; n < table.cols; ++n) {
    const float score = best.at<float>(0, n);
    if (!(score >= score_threshold)) {
      continue;
    }
    int label = 0;
    while (label + 1 < num_classes && table.at<float>(kBoxValues + label, n) != score) {
      ++label;
    }
    const float cx = table.at<float>(0, n);
    const float cy = table.at<float>(1, n);
    const float w = table.at<float>(2, n);
    const float h = table.at<float>(3, n);
    // A box that is not finite or has no area cannot be placed, nor compared in suppression.
    if (
      !std::isfinite(cx) || !std::isfinite(cy) || !(w > 0.0F && h > 0.0F) || !std::isfinite(w) ||
      !std::isfinite(h)) {
      continue;
    }
    candidates.push_back({n, label, score, cv::Rect2d(cx - w / 2, cy - h / 2, w, h)});
  }
  return candidates;
}

// Indices into candidates that survive non-maximum suppression within their class, best first.
std::vector<int> SuppressPerClass(
  const std::vector<Candidate> & candidates, int num_classes, const YoloSegSettings & settings)
{
  std::vector<std::vector<int>> by_class(num_classes);
  for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
    by_class[candidates[i].label].push_back(i);
  }
  std::vector<int> kept;
  std::vector<cv::Rect2d> boxes;
  std::vector<float> scores;
  std::vector<int> survivors;
  for (const std::vector<int> & members : by_class) {
    if (members.empty()) {
      continue;
    }
    boxes.clear();
    scores.clear();
    for (int i : members) {
      boxes.push_back(candidates[i].box);
      scores.push_back(candidates[i].score);
    }
    cv::dnn::NMSBoxes(boxes, scores, settings.score_threshold, settings.nms_threshold, survivors);
    for (int s : survivors) {
      kept.push_back(members[s]);
    }
  }
  std::sort(kept.begin(), kept.end(), [&candidates](int a, int b) {
    return candidates[a].score != candidates[b].score ? candidates[a].score > candidates[b].score
                                                      : a < b;
  });
  return kept;
}

}  // namespace

YoloSegOutputs SelectYoloSegOutputs(const std::vector<cv::Mat> & outputs)
{
  YoloSegOutputs selected;
  for (const cv::Mat & output : outputs) {
    if (output.dims != 3 && output.dims != 4) {
      throw std::invalid_argument("unexpected output of shape " + ShapeText(output));
    }
    cv::Mat & slot = output.dims == 3 ? selected.detections : selected.prototypes;
    if (!slot.empty()) {
      throw std::invalid_argument("more than one " + std::to_string(output.dims) + "-D output");
    }
    slot = output;
  }
  if (selected.detections.empty() || selected.prototypes.empty()) {
    throw std::invalid_argument(
      "expected a 3-D detection output and a 4-D prototype output, got " +
      std::to_string(outputs.size()) + " output(s) without " +
      (selected.detections.empty() ? "the detections" : "the prototypes"));
  }
  return selected;
}

void CheckYoloSegOutputs(const YoloSegOutputs & outputs, int num_classes)
{
  const cv::Mat & det = outputs.detections;
  const cv::Mat & proto = outputs.prototypes;
  if (det.type() != CV_32F || det.dims != 3 || det.size[0] != 1) {
    throw std::invalid_argument("detection output must be 1 x C x N float, got " + ShapeText(det));
  }
  if (
    proto.type() != CV_32F || proto.dims != 4 || proto.size[0] != 1 || proto.size[1] < 1 ||
    proto.size[2] < 1 || proto.size[3] < 1) {
    throw std::invalid_argument(
      "prototype output must be 1 x M x H x W float, got " + ShapeText(proto));
  }
  const int expected_rows = kBoxValues + num_classes + proto.size[1];
  if (det.size[1] != expected_rows) {
    throw std::invalid_argument(
      "detection output " + ShapeText(det) + " does not fit " + std::to_string(num_classes) +
      " classes and " + std::to_string(proto.size[1]) + " prototypes: expected " +
      std::to_string(expected_rows) + " values per candidate");
  }
}

void DecodeYoloSeg(
  const YoloSegOutputs & outputs, const YoloSegSettings & settings, const Letterbox & letterbox,
  std::vector<DetectedObject> & objects)
{
  CheckYoloSegOutputs(outputs, settings.num_classes);
  objects.clear();
  const cv::Mat & det = outputs.detections;
  const cv::Mat table = ReadOnlyPlane(det, det.size[1], det.size[2], 0);
  const std::vector<Candidate> candidates =
    ScoredCandidates(table, settings.num_classes, settings.score_threshold);

  const cv::Mat & proto = outputs.prototypes;
  const int num_prototypes = proto.size[1];
  const int grid_rows = proto.size[2];
  const int grid_cols = proto.size[3];
  std::vector<cv::Mat> planes;
  for (int k = 0; k < num_prototypes; ++k) {
    planes.push_back(ReadOnlyPlane(
      proto, grid_rows, grid_cols, static_cast<std::size_t>(k) * grid_rows * grid_cols));
  }
  const float p = settings.mask_threshold;
  const float logit_threshold = std::log(p / (1.0F - p));

  std::vector<float> coefficients(num_prototypes);
  for (int i : SuppressPerClass(candidates, settings.num_classes, settings)) {
    if (static_cast<int>(objects.size()) >= settings.max_detections) {
      break;
    }
    const Candidate & c = candidates[i];
    const cv::Rect2f rect = letterbox.toFrame(cv::Rect2f(c.box));
    if (!(rect.width > 0.0F && rect.height > 0.0F)) {
      continue;
    }
    for (int k = 0; k < num_prototypes; ++k) {
      coefficients[k] = table.at<float>(kBoxValues + settings.num_classes + k, c.column);
    }
    objects.push_back(
      {rect, c.label, c.score,
       InstanceMask(planes, coefficients, rect, letterbox, logit_threshold)});
  }
}

}  // namespace ai_orva::model
