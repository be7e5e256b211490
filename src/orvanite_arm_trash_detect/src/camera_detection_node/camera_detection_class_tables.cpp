// The per-class tables every camera loads from the package's config folder.
#include <string>

#include <yaml-cpp/yaml.h>

#include "camera_detection_node/camera_config.hpp"
#include "camera_detection_node/camera_detection_node.hpp"
#include "common/logger.hpp"
#include "common/yaml_config_reader.hpp"

namespace
{
using orvanite::ClassConf;
using orvanite::kClassConfFields;

[[noreturn]] void Fail(
  const std::string & path, const std::string & key, const std::string & reason)
{
  throw orvanite::ConfigError(path + ": " + key + ": " + reason);
}

// The document of `path`; ConfigError naming the file when it cannot be read or parsed.
YAML::Node LoadFile(const std::string & path) { return orvanite::YamlConfigReader(path).root(); }

template <typename T>
T Convert(const YAML::Node & value, const std::string & path, const std::string & key)
{
  if (!value.IsDefined()) {
    Fail(path, key, "missing key");
  }
  try {
    return value.as<T>();
  } catch (const YAML::Exception &) {
    Fail(path, key, "not a number");
  }
}

// All 23 values are read before any is logged, so a missing key logs none of them.
ClassConf LoadClassConf(const std::string & path)
{
  const YAML::Node root = LoadFile(path);
  if (!root.IsMap()) {
    Fail(path, "/", "the root is not a map of class names");
  }
  ClassConf conf{};
  for (const auto & field : kClassConfFields) {
    conf.*field.value = Convert<float>(root[field.name], path, field.name);
  }
  return conf;
}

// `key`[index] of one size-range entry; surplus items are ignored.
double ReadRangeItem(
  const YAML::Node & entry, const std::string & path, const std::string & name, const char * key,
  std::size_t index)
{
  const std::string key_path = name + "/" + key;
  const YAML::Node list = entry[key];
  if (!list.IsDefined()) {
    Fail(path, key_path, "missing key");
  }
  if (!list.IsSequence()) {
    Fail(path, key_path, "not a list");
  }
  if (index >= list.size()) {
    Fail(path, key_path, "fewer than three numbers");
  }
  return Convert<double>(list[index], path, key_path + "[" + std::to_string(index) + "]");
}
}  // namespace

void CameraDetectionNode::initializeClassHeightConf()
{
  const std::string path = PackageConfigPath("class_height_conf.yaml");
  LOG_DEBUG("cam_{0:d}_class_height_conf_file_path = {1:s}", cam_id_, path);
  class_height_conf_ = LoadClassConf(path);
  // Logged here, not in a helper, so that each line names this loader.
  for (const auto & field : kClassConfFields) {
    LOG_DEBUG(
      std::string("cam_{0:d}_class_height_conf_.") + field.name + " = {1:03.2f}", cam_id_,
      class_height_conf_.*field.value);
  }
}

void CameraDetectionNode::initializeAiConf()
{
  ai_conf_ = LoadClassConf(PackageConfigPath("class_conf.yaml"));
  for (const auto & field : kClassConfFields) {
    LOG_DEBUG(
      std::string("cam_{0:d}_ai_conf_.") + field.name + " = {1:03.2f}", cam_id_,
      ai_conf_.*field.value);
  }
}

void CameraDetectionNode::initializeClassSizeRange()
{
  const std::string path = PackageConfigPath("class_size_range.yaml");
  LOG_DEBUG("cam_{0:d}_class_size_range_file_path = {1:s}", cam_id_, path);
  const YAML::Node root = LoadFile(path);
  if (root.IsSequence() && root.size() > 0) {
    Fail(path, "/", "the root is a list, not a map of class names");
  }
  if (!root.IsMap()) {
    return;  // an empty document, a null or a plain value names no class
  }
  for (const auto & item : root) {
    if (!item.first.IsScalar()) {
      Fail(path, "/", "a class name that is not a plain word");
    }
    const std::string name = item.first.Scalar();
    if (!item.second.IsMap()) {
      Fail(path, name, "not a map with min and max");
    }
    orvanite::SizeRange range{};
    for (std::size_t i = 0; i < 3; ++i) {
      range.min[i] = ReadRangeItem(item.second, path, name, "min", i);
    }
    for (std::size_t i = 0; i < 3; ++i) {
      range.max[i] = ReadRangeItem(item.second, path, name, "max", i);
    }
    class_size_range_map[name] = range;  // a name given twice keeps its later range
  }
}
