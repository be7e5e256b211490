#ifndef ORVANITE_MODEL_ZOO__YOLO_SEG_DECODER_HPP_
#define ORVANITE_MODEL_ZOO__YOLO_SEG_DECODER_HPP_

#include <vector>

#include <opencv2/core.hpp>

#include "letterbox.hpp"
#include "orvanite_model_zoo/types.hpp"

namespace ai_orva::model
{

struct YoloSegSettings
{
  int num_classes = 0;
  // Minimum best class score of a candidate, 0..1.
  float score_threshold = 0.25F;
  // Intersection over union above which the lower-scored of two boxes of one class is dropped.
  float nms_threshold = 0.45F;
  // Mask probability above which a pixel belongs to the object, strictly between 0 and 1.
  float mask_threshold = 0.5F;
  // At most this many detections per frame, best first.
  int max_detections = 100;
};

// The two outputs of a YOLOv8-seg network, both CV_32F:
// detections 1 x (4 + classes + M) x N: per candidate the box (centre x, centre y, width,
// height, input pixels), the class scores (probabilities) and M mask coefficients;
// prototypes 1 x M x Ph x Pw: the mask prototypes over the whole network input.
struct YoloSegOutputs
{
  cv::Mat detections;
  cv::Mat prototypes;
};

// Tells the outputs of a forward pass apart by rank (3-D detections, 4-D prototypes), so that
// output names and order do not matter. Throws std::invalid_argument unless exactly one of each.
YoloSegOutputs SelectYoloSegOutputs(const std::vector<cv::Mat> & outputs);

// Throws std::invalid_argument, saying what does not fit, unless the outputs have the layout of
// YoloSegOutputs for num_classes.
void CheckYoloSegOutputs(const YoloSegOutputs & outputs, int num_classes);

// Decodes one forward pass of a frame placed in the network input by letterbox: candidates at or
// above the score threshold, taking their best class; non-maximum suppression per class; boxes
// mapped to the frame and clipped to it (boxes left empty are dropped); a mask per detection from
// sigmoid(coefficients . prototypes) > mask threshold, cropped to its box. Fills objects (cleared
// first) best score first. Throws std::invalid_argument when CheckYoloSegOutputs does.
void DecodeYoloSeg(
  const YoloSegOutputs & outputs, const YoloSegSettings & settings, const Letterbox & letterbox,
  std::vector<DetectedObject> & objects);

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__YOLO_SEG_DECODER_HPP_
