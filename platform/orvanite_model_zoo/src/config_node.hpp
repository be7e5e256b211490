#ifndef ORVANITE_MODEL_ZOO__CONFIG_NODE_HPP_
#define ORVANITE_MODEL_ZOO__CONFIG_NODE_HPP_

#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

namespace ai_orva::model
{

// A map of the model configuration file, with the file's path and the key path that leads to it,
// so that every error names both: "<file>: key 'onnx.num_classes': <problem>".
class ConfigNode
{
public:
  // Throws std::runtime_error when the file is missing, unreadable, not YAML or not a map.
  static ConfigNode load(const std::string & file);

  // The map under key; throws when it is missing or not a map.
  ConfigNode child(const std::string & key) const;

  // The sequence of maps under key; throws when it is missing or not a sequence of maps.
  std::vector<ConfigNode> children(const std::string & key) const;

  // The scalar (or sequence of scalars) under key; throws when it is missing or does not convert.
  template <typename T>
  T get(const std::string & key) const
  {
    const YAML::Node value = require(key);
    try {
      return value.as<T>();
    } catch (const YAML::Exception &) {
      fail(key, "has the wrong type");
    }
  }

  // Throws std::runtime_error "<file>: key '<path>.<key>': <problem>".
  [[noreturn]] void fail(const std::string & key, const std::string & problem) const;

  const std::string & file() const { return file_; }

private:
  ConfigNode(YAML::Node node, std::string file, std::string path);
  YAML::Node require(const std::string & key) const;
  std::string keyPath(const std::string & key) const;

  YAML::Node node_;
  std::string file_;
  std::string path_;
};

}  // namespace ai_orva::model

#endif  // ORVANITE_MODEL_ZOO__CONFIG_NODE_HPP_
