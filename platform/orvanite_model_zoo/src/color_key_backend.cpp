#include "color_key_backend.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include <opencv2/imgproc.hpp>

namespace ai_orva::model
{

namespace
{

ColorKeyBackend::Key ReadKey(const ConfigNode & entry)
{
  const std::vector<int> rgb = entry.get<std::vector<int>>("rgb");
  if (rgb.size() != 3 || std::any_of(rgb.begin(), rgb.end(), [](int c) {
        return c < 0 || c > 255;
      })) {
    entry.fail("rgb", "must be three values in 0 .. 255");
  }
  const int label = entry.get<int>("label");
  if (label < 0) {
    entry.fail("label", "must be 0 or more");
  }
  const float score = entry.get<float>("score");
  if (!(score >= 0.0F && score <= 1.0F)) {
    entry.fail("score", "must lie in 0 .. 1");
  }
  return {cv::Vec3b(rgb[0], rgb[1], rgb[2]), label, score};
}

std::vector<ColorKeyBackend::Key> ReadKeys(const ConfigNode & section)
{
  std::vector<ColorKeyBackend::Key> keys;
  for (const ConfigNode & entry : section.children("colors")) {
    keys.push_back(ReadKey(entry));
  }
  if (keys.empty()) {
    section.fail("colors", "must list at least one colour");
  }
  return keys;
}

int ReadMinArea(const ConfigNode & section)
{
  const int min_area = section.get<int>("min_area");
  if (min_area < 1) {
    section.fail("min_area", "must be 1 or more");
  }
  return min_area;
}

}  // namespace

ColorKeyBackend::ColorKeyBackend(const ConfigNode & section)
: ColorKeyBackend(ReadKeys(section), ReadMinArea(section))
{
}

ColorKeyBackend::ColorKeyBackend(std::vector<Key> keys, int min_area)
: keys_(std::move(keys)), min_area_(min_area)
{
}

void ColorKeyBackend::detect(const cv::Mat & rgb_frame, std::vector<DetectedObject> & objects)
{
  cv::Mat selected;
  cv::Mat regions;
  cv::Mat stats;
  cv::Mat centroids;
  for (const Key & key : keys_) {
    cv::inRange(rgb_frame, key.rgb, key.rgb, selected);
    const int count =
      cv::connectedComponentsWithStats(selected, regions, stats, centroids, 8, CV_32S);
    for (int region = 1; region < count; ++region) {
      if (stats.at<int>(region, cv::CC_STAT_AREA) < min_area_) {
        continue;
      }
      const cv::Rect box(
        stats.at<int>(region, cv::CC_STAT_LEFT), stats.at<int>(region, cv::CC_STAT_TOP),
        stats.at<int>(region, cv::CC_STAT_WIDTH), stats.at<int>(region, cv::CC_STAT_HEIGHT));
      cv::Mat mask = cv::Mat::zeros(rgb_frame.size(), CV_8UC1);
      cv::Mat box_mask = mask(box);
      cv::compare(regions(box), region, box_mask, cv::CMP_EQ);
      objects.push_back({cv::Rect_<float>(box), key.label, key.score, mask});
    }
  }
  std::stable_sort(
    objects.begin(), objects.end(), [](const auto & a, const auto & b) { return a.prob > b.prob; });
}

}  // namespace ai_orva::model
