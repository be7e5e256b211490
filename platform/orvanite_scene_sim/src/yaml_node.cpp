#include "yaml_node.hpp"

#include <stdexcept>
#include <utility>

namespace orvanite_scene_sim
{

YamlNode YamlNode::Load(const std::string & file)
{
  YAML::Node root;
  try {
    root = YAML::LoadFile(file);
  } catch (const YAML::BadFile &) {
    throw std::runtime_error(file + ": cannot be read");
  } catch (const YAML::Exception & error) {
    throw std::runtime_error(file + ": not valid YAML: " + error.what());
  }
  if (!root.IsMap()) {
    throw std::runtime_error(file + ": must hold a map of keys");
  }
  return YamlNode(root, file, "");
}

YamlNode::YamlNode(YAML::Node node, std::string file, std::string path)
: node_(std::move(node)), file_(std::move(file)), path_(std::move(path))
{
}

bool YamlNode::Has(const std::string & key) const { return static_cast<bool>(node_[key]); }

YamlNode YamlNode::Child(const std::string & key) const
{
  const YAML::Node value = Require(key);
  if (!value.IsMap()) {
    Fail(key, "must be a map");
  }
  return YamlNode(value, file_, KeyPath(key));
}

std::vector<YamlNode> YamlNode::Children(const std::string & key) const
{
  const YAML::Node value = Require(key);
  if (!value.IsSequence()) {
    Fail(key, "must be a sequence");
  }
  std::vector<YamlNode> children;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const std::string item = key + "[" + std::to_string(i) + "]";
    if (!value[i].IsMap()) {
      Fail(item, "must be a map");
    }
    children.push_back(YamlNode(value[i], file_, KeyPath(item)));
  }
  return children;
}

std::vector<double> YamlNode::GetNumbers(const std::string & key, std::size_t count) const
{
  const auto numbers = Get<std::vector<double>>(key);
  if (numbers.size() != count) {
    Fail(key, "must hold " + std::to_string(count) + " numbers");
  }
  return numbers;
}

void YamlNode::Fail(const std::string & key, const std::string & problem) const
{
  throw std::runtime_error(file_ + ": key '" + KeyPath(key) + "': " + problem);
}

YAML::Node YamlNode::Require(const std::string & key) const
{
  const YAML::Node value = node_[key];
  if (!value) {
    Fail(key, "is missing");
  }
  return value;
}

std::string YamlNode::KeyPath(const std::string & key) const
{
  return path_.empty() ? key : path_ + "." + key;
}

}  // namespace orvanite_scene_sim
