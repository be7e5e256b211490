#include "config_node.hpp"

#include <stdexcept>
#include <utility>

namespace ai_orva::model
{

ConfigNode::ConfigNode(YAML::Node node, std::string file, std::string path)
: node_(std::move(node)), file_(std::move(file)), path_(std::move(path))
{
}

ConfigNode ConfigNode::load(const std::string & file)
{
  YAML::Node root;
  try {
    root = YAML::LoadFile(file);
  } catch (const YAML::BadFile &) {
    throw std::runtime_error(file + ": cannot open the model configuration file");
  } catch (const YAML::Exception & e) {
    throw std::runtime_error(file + ": not a valid YAML file: " + e.what());
  }
  if (!root.IsMap()) {
    throw std::runtime_error(file + ": the model configuration must be a YAML map");
  }
  return ConfigNode(root, file, "");
}

ConfigNode ConfigNode::child(const std::string & key) const
{
  const YAML::Node value = require(key);
  if (!value.IsMap()) {
    fail(key, "must be a map");
  }
  return ConfigNode(value, file_, keyPath(key));
}

std::vector<ConfigNode> ConfigNode::children(const std::string & key) const
{
  const YAML::Node value = require(key);
  if (!value.IsSequence()) {
    fail(key, "must be a sequence");
  }
  std::vector<ConfigNode> elements;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const std::string element_key = key + "[" + std::to_string(i) + "]";
    if (!value[i].IsMap()) {
      fail(element_key, "must be a map");
    }
    elements.push_back(ConfigNode(value[i], file_, keyPath(element_key)));
  }
  return elements;
}

void ConfigNode::fail(const std::string & key, const std::string & problem) const
{
  throw std::runtime_error(file_ + ": key '" + keyPath(key) + "': " + problem);
}

YAML::Node ConfigNode::require(const std::string & key) const
{
  const YAML::Node value = node_[key];
  if (!value.IsDefined() || value.IsNull()) {
    fail(key, "is missing");
  }
  return value;
}

std::string ConfigNode::keyPath(const std::string & key) const
{
  return path_.empty() ? key : path_ + "." + key;
}

}  // namespace ai_orva::model
