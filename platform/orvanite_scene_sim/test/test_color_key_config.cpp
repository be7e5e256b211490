#include "orvanite_scene_sim/color_key_config.hpp"

#include <stdexcept>

#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

namespace orvanite_scene_sim
{
namespace
{

TEST(ColorKeyConfig, ListsEveryClassColourWithItsLabel)
{
  Scene scene;
  scene.class_rgb[0] = cv::Vec3b(255, 0, 0);
  scene.class_rgb[21] = cv::Vec3b(0, 128, 255);
  const YAML::Node config = YAML::Load(ColorKeyConfigYaml(scene, {80, 0.75F}));
  EXPECT_EQ(config["backend"].as<std::string>(), "color_key");
  EXPECT_EQ(config["color_key"]["min_area"].as<int>(), 80);
  const YAML::Node colours = config["color_key"]["colors"];
  ASSERT_EQ(colours.size(), 2U);
  EXPECT_EQ(colours[1]["rgb"].as<std::vector<int>>(), (std::vector<int>{0, 128, 255}));
  EXPECT_EQ(colours[1]["label"].as<int>(), 21);
  EXPECT_FLOAT_EQ(colours[1]["score"].as<float>(), 0.75F);
  EXPECT_EQ(colours[0]["label"].as<int>(), 0);
}

TEST(ColorKeyConfig, AnUnwritablePathIsNamed)
{
  try {
    WriteColorKeyConfig(Scene(), "/nonexistent_dir/model.yaml");
    FAIL();
  } catch (const std::runtime_error & error) {
    EXPECT_NE(std::string(error.what()).find("/nonexistent_dir/model.yaml"), std::string::npos);
  }
}

}  // namespace
}  // namespace orvanite_scene_sim
