// ROS entities whose names come from a configuration file.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CONFIG_NAMED_ENTITY_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CONFIG_NAMED_ENTITY_HPP_

#include <string>
#include <utility>

#include <rclcpp/exceptions.hpp>

#include "common/yaml_config_reader.hpp"

namespace orvanite
{

// The result of `create()` (which makes a node, publisher, subscription or service). An invalid
// node, topic or service name becomes a ConfigError "<file>: <key_path>: <reason>" naming the
// file and key the name came from, instead of rclcpp's text, which names only the value.
template <typename Create>
auto CreateConfigNamed(
  const YamlConfigReader & reader, const std::string & key_path, Create && create)
{
  try {
    return std::forward<Create>(create)();
  } catch (const rclcpp::exceptions::NameValidationError & e) {
    reader.Fail(key_path, "invalid " + e.name_type + " '" + e.name + "': " + e.error_msg);
  }
}

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CONFIG_NAMED_ENTITY_HPP_
