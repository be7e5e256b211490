#include "camera_detection_node/frame/detection_drawing.hpp"

#include <cstdio>

#include <opencv2/imgproc.hpp>

#include "common/mask_points.hpp"
#include "common/trash_class_table.hpp"

namespace orvanite
{
namespace
{
constexpr double kFontScale = 0.4;
const cv::Scalar kLabelBackground(0, 0, 255, 0);
const cv::Scalar kLabelText(255, 255, 255, 0);

// The palette entry of `label`, wrapped into the palette so that no label reads past it.
cv::Scalar PaletteColor(const std::vector<std::vector<int>> & palette, int label)
{
  const int size = static_cast<int>(palette.size());
  const std::vector<int> & entry = palette[((label % size) + size) % size];
  return cv::Scalar(entry[0], entry[1], entry[2], 0);
}
}  // namespace

std::string DetectionLabelText(
  const DetectedObject & obj, const std::vector<std::string> & class_names)
{
  const bool named = obj.label >= 0 && obj.label < static_cast<int>(class_names.size());
  const std::string name = named ? class_names[obj.label] : std::to_string(obj.label);
  char text[256];  // longer labels are cut
  std::snprintf(
    text, sizeof(text), "%s %.1f%%", name.c_str(), static_cast<double>(obj.prob * 100.0F));
  return text;
}

void DrawDetectedObjects(
  const cv::Mat & frame, cv::Mat & output, const std::vector<DetectedObject> & objs,
  const std::vector<std::string> & class_names)
{
  cv::Mat overlay;
  output = cv::Mat();  // never write into pixels the caller may share
  DrawDetectedObjects(frame, output, objs, class_names, overlay);
}

void DrawDetectedObjects(
  const cv::Mat & frame, cv::Mat & output, const std::vector<DetectedObject> & objs,
  const std::vector<std::string> & class_names, cv::Mat & overlay)
{
  if (frame.empty()) {
    output = cv::Mat();
    return;
  }
  frame.copyTo(output);
  frame.copyTo(overlay);
  for (const DetectedObject & obj : objs) {
    const cv::Rect box = obj.rect;
    cv::rectangle(output, box, PaletteColor(kClassColors80, obj.label), 2, cv::LINE_8, 0);

    const std::string text = DetectionLabelText(obj, class_names);
    // An empty mask would mean "everywhere" to setTo.
    if (!obj.mask.empty() && obj.mask.size() == frame.size()) {
      // Only where the mask has pixels: usually the box, the whole frame if it spills over.
      const cv::Rect region = NonZeroRegion(obj.mask, box);
      overlay(region).setTo(PaletteColor(kClassColors20, obj.label), obj.mask(region));
    }

    int baseline = 0;
    const cv::Size label_size =
      cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, kFontScale, 1, &baseline);
    const int x = static_cast<int>(obj.rect.x);
    const int y = std::min(static_cast<int>(obj.rect.y) + 1, output.rows);
    cv::rectangle(
      output, cv::Rect(x, y, label_size.width, label_size.height + baseline), kLabelBackground,
      cv::FILLED, cv::LINE_8, 0);
    cv::putText(
      output, text, cv::Point(x, y + label_size.height), cv::FONT_HERSHEY_SIMPLEX, kFontScale,
      kLabelText, 1, cv::LINE_8, false);
  }
  cv::addWeighted(output, 0.5, overlay, 0.8, 1.0, output, output.depth());
}
}  // namespace orvanite
