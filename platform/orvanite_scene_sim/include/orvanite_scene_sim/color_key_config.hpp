// The configuration of the model library's color_key backend that segments a scene's frames.
#ifndef ORVANITE_SCENE_SIM__COLOR_KEY_CONFIG_HPP_
#define ORVANITE_SCENE_SIM__COLOR_KEY_CONFIG_HPP_

#include <string>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

struct ColorKeyOptions
{
  int min_area = 50;   // smaller regions are dropped, pixels
  float score = 0.9F;  // confidence reported for every detection, 0..1
};

// The YAML text: backend color_key, min_area, and one entry (rgb, label, score) per class colour.
std::string ColorKeyConfigYaml(const Scene & scene, const ColorKeyOptions & options = {});

// Writes ColorKeyConfigYaml to path; throws std::runtime_error naming the path when it cannot.
void WriteColorKeyConfig(
  const Scene & scene, const std::string & path, const ColorKeyOptions & options = {});

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__COLOR_KEY_CONFIG_HPP_
