// The per-class tables every camera loads from the package's config folder.
#include <string>

#include <yaml-cpp/yaml.h>

#include "camera_detection_node/camera_config.hpp"
#include "camera_detection_node/camera_detection_node.hpp"
#include "common/config_ranges.hpp"
#include "common/logger.hpp"
#include "common/yaml_config_reader.hpp"

namespace
{
using orvanite::ClassConf;
using orvanite::kClassConfFields;
using orvanite::YamlConfigReader;
using orvanite::config_range::kFraction;
using orvanite::config_range::kLength;

// Extents of the size ranges, m, as the float64 they are stored in.
constexpr orvanite::ValueRange<double> kExtentRange{kLength.min, kLength.max};

template <typename T>
T Convert(const YAML::Node & value, const YamlConfigReader & file, const std::string & key)
{
  if (!value.IsDefined()) {
    file.Fail(key, "missing key");
  }
  try {
    return value.as<T>();
  } catch (const YAML::Exception &) {
    file.Fail(key, "not a number");
  }
}

// All 23 values are read and checked against `value_range` before any is logged, so a missing
// or bad key logs none of them.
ClassConf LoadClassConf(const std::string & path, const orvanite::ValueRange<float> & value_range)
{
  const YamlConfigReader file(path);
  const YAML::Node & root = file.root();
  if (!root.IsMap()) {
    file.Fail("/", "the root is not a map of class names");
  }
  ClassConf conf{};
  for (const auto & field : kClassConfFields) {
    conf.*field.value =
      file.CheckRange(field.name, Convert<float>(root[field.name], file, field.name), value_range);
  }
  return conf;
}

// `key`[index] of one size-range entry; surplus items are ignored.
double ReadRangeItem(
  const YAML::Node & entry, const YamlConfigReader & file, const std::string & name,
  const char * key, std::size_t index)
{
  const std::string key_path = name + "/" + key;
  const YAML::Node list = entry[key];
  if (!list.IsDefined()) {
    file.Fail(key_path, "missing key");
  }
  if (!list.IsSequence()) {
    file.Fail(key_path, "not a list");
  }
  if (index >= list.size()) {
    file.Fail(key_path, "fewer than three numbers");
  }
  const std::string item_path = key_path + "[" + std::to_string(index) + "]";
  return file.CheckRange(item_path, Convert<double>(list[index], file, item_path), kExtentRange);
}
}  // namespace

void CameraDetectionNode::initializeClassHeightConf()
{
  const std::string path = PackageConfigPath("class_height_conf.yaml");
  LOG_DEBUG("cam_{0:d}_class_height_conf_file_path = {1:s}", cam_id_, path);
  class_height_conf_ = LoadClassConf(path, kLength);
  // Logged here, not in a helper, so that each line names this loader.
  for (const auto & field : kClassConfFields) {
    LOG_DEBUG(
      std::string("cam_{0:d}_class_height_conf_.") + field.name + " = {1:03.2f}", cam_id_,
      class_height_conf_.*field.value);
  }
}

void CameraDetectionNode::initializeAiConf()
{
  ai_conf_ = LoadClassConf(PackageConfigPath("class_conf.yaml"), kFraction);
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
  const YamlConfigReader file(path);
  const YAML::Node & root = file.root();
  if (root.IsSequence() && root.size() > 0) {
    file.Fail("/", "the root is a list, not a map of class names");
  }
  if (!root.IsMap()) {
    return;  // an empty document, a null or a plain value names no class
  }
  for (const auto & item : root) {
    if (!item.first.IsScalar()) {
      file.Fail("/", "a class name that is not a plain word");
    }
    const std::string name = item.first.Scalar();
    if (!item.second.IsMap()) {
      file.Fail(name, "not a map with min and max");
    }
    orvanite::SizeRange range{};
    for (std::size_t i = 0; i < 3; ++i) {
      range.min[i] = ReadRangeItem(item.second, file, name, "min", i);
    }
    for (std::size_t i = 0; i < 3; ++i) {
      range.max[i] = ReadRangeItem(item.second, file, name, "max", i);
    }
    class_size_range_map[name] = range;  // a name given twice keeps its later range
  }
}
