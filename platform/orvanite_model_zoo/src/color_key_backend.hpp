#ifndef ORVANITE_MODEL_ZOO__COLOR_KEY_BACKEND_HPP_
#define ORVANITE_MODEL_ZOO__COLOR_KEY_BACKEND_HPP_

#include <vector>

#include <opencv2/core.hpp>

#include "config_node.hpp"
#include "segmentation_backend.hpp"

namespace ai_orva::model
{

// Segmentation by exact colour, for synthetic scenes where colours encode classes: every
// 8-connected region of pixels of a configured RGB colour is one detection, with that colour's
// label and score, its exact bounding box and its pixels as the mask.
class ColorKeyBackend : public SegmentationBackend
{
public:
  struct Key
  {
    cv::Vec3b rgb;
    int label;
    float score;
  };

  // Reads the "color_key" section; throws std::runtime_error naming the file and the key.
  explicit ColorKeyBackend(const ConfigNode & section);
  ColorKeyBackend(std::vector<Key> keys, int min_area);

  void detect(const cv::Mat & rgb_frame, std::vector<DetectedObject> & objects) override;

private:
  std::vector<Key> keys_;
  // Regions with fewer pixels are dropped.
  int min_area_;
};

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__COLOR_KEY_BACKEND_HPP_
