// The model library segments rendered frames with the configuration written for their scene: one
// detection per object, with the object's label and exactly its colour region as the mask.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "orvanite_model_zoo/yolov8_seg.hpp"
#include "orvanite_scene_sim/color_key_config.hpp"
#include "orvanite_scene_sim/renderer.hpp"
#include "orvanite_scene_sim/scene_loader.hpp"

namespace orvanite_scene_sim
{
namespace
{

class ColorKeyModel : public ::testing::TestWithParam<int>
{
};

TEST_P(ColorKeyModel, FindsEveryObjectOfTheDemoSceneWithItsLabelAndColourRegion)
{
  Scene scene = LoadScene(std::string(SCENES_DIR) + "/several_litter.yaml");
  scene.render.mask_grow_px = GetParam();
  const std::string config =
    (std::filesystem::temp_directory_path() /
     ("color_key_" + std::to_string(scene.render.mask_grow_px + 10) + ".yaml"))
      .string();
  WriteColorKeyConfig(scene, config);
  ai_orva::model::YOLOv8Seg model(config);
  std::filesystem::remove(config);

  const RenderedFrame frame = Render(scene, scene.cameras.at(0));
  std::vector<ai_orva::model::DetectedObject> detections;
  ASSERT_TRUE(model.detect(frame.rgb, detections));
  ASSERT_EQ(detections.size(), scene.objects.size());
  for (std::size_t i = 0; i < scene.objects.size(); ++i) {
    const cv::Vec3b rgb = scene.class_rgb.at(scene.objects[i].label);
    cv::Mat region;
    cv::inRange(frame.rgb, rgb, rgb, region);
    int matches = 0;
    for (const auto & detection : detections) {
      if (detection.label == scene.objects[i].label) {
        ++matches;
        EXPECT_EQ(cv::countNonZero(detection.mask != region), 0) << scene.objects[i].name;
      }
    }
    EXPECT_EQ(matches, 1) << scene.objects[i].name;
  }
}

INSTANTIATE_TEST_SUITE_P(MaskGrowPx, ColorKeyModel, ::testing::Values(0, 3, -3));

}  // namespace
}  // namespace orvanite_scene_sim
