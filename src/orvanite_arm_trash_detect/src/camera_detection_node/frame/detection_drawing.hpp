// The annotated detection image.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__DETECTION_DRAWING_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__DETECTION_DRAWING_HPP_

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "camera_detection_node/frame/types.hpp"

namespace orvanite
{
// "<name> <prob * 100 with one decimal>%" (e.g. "bottle 87.7%"), at most 255 characters; the name
// is class_names[label], or the label's number when the list has no such entry.
std::string DetectionLabelText(
  const DetectedObject & obj, const std::vector<std::string> & class_names);

// Overwrites `output` with `frame` (8-bit, 3 channels, channel order of the palettes) annotated:
// per detection a box in kClassColors80[label], its DetectionLabelText on a (0, 0, 255)
// background at the box's top-left corner, and its mask painted in kClassColors20[label % 20] on
// an overlay; then output = 0.5 output + 0.8 overlay + 1.0 (saturated), so the result is brighter
// than the frame. `class_names` is indexed by label.
//
// A label outside a palette takes the colour at label modulo the palette's size. A mask that is
// not the frame's size is not painted. An empty frame gives an empty output.
void DrawDetectedObjects(
  const cv::Mat & frame, cv::Mat & output, const std::vector<DetectedObject> & objs,
  const std::vector<std::string> & class_names);
// The same with the overlay drawn in `overlay` (scratch). `output` and `overlay` keep their pixel
// buffers when they already have the frame's size and type, so a camera that passes the same two
// matrices every frame allocates no image; their buffers must not be shared with `frame` or with
// anything that still reads them.
void DrawDetectedObjects(
  const cv::Mat & frame, cv::Mat & output, const std::vector<DetectedObject> & objs,
  const std::vector<std::string> & class_names, cv::Mat & overlay);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__DETECTION_DRAWING_HPP_
