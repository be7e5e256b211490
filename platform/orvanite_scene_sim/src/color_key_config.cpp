#include "orvanite_scene_sim/color_key_config.hpp"

#include <fstream>
#include <stdexcept>

#include <yaml-cpp/yaml.h>

namespace orvanite_scene_sim
{

std::string ColorKeyConfigYaml(const Scene & scene, const ColorKeyOptions & options)
{
  YAML::Emitter out;
  out << YAML::Comment(
    "color_key model configuration generated for the scene " +
    (scene.file.empty() ? std::string("built in code") : scene.file));
  out << YAML::BeginMap;
  out << YAML::Key << "backend" << YAML::Value << "color_key";
  out << YAML::Comment("segmentation by exact colour");
  out << YAML::Key << "color_key" << YAML::Value << YAML::BeginMap;
  out << YAML::Key << "min_area" << YAML::Value << options.min_area;
  out << YAML::Comment("regions with fewer pixels are dropped, pixels");
  out << YAML::Key << "colors" << YAML::Value << YAML::BeginSeq;
  for (const auto & [label, rgb] : scene.class_rgb) {
    out << YAML::BeginMap;
    out << YAML::Key << "rgb" << YAML::Value << YAML::Flow << YAML::BeginSeq
        << static_cast<int>(rgb[0]) << static_cast<int>(rgb[1]) << static_cast<int>(rgb[2])
        << YAML::EndSeq << YAML::Comment("exact colour, red green blue, 0..255 each");
    out << YAML::Key << "label" << YAML::Value << label;
    out << YAML::Comment("0-based class index reported for it");
    out << YAML::Key << "score" << YAML::Value << options.score;
    out << YAML::Comment("confidence reported for it, 0..1");
    out << YAML::EndMap;
  }
  out << YAML::EndSeq << YAML::EndMap << YAML::EndMap;
  return std::string(out.c_str()) + "\n";
}

void WriteColorKeyConfig(
  const Scene & scene, const std::string & path, const ColorKeyOptions & options)
{
  std::ofstream file(path);
  file << ColorKeyConfigYaml(scene, options);
  if (!file) {
    throw std::runtime_error(path + ": cannot write the model configuration");
  }
}

}  // namespace orvanite_scene_sim
