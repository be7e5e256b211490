#include "orvanite_scene_sim/yaml_node.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace orvanite_scene_sim
{

std::string ReadTextFile(const std::string & file)
{
  // A folder opens like a file and fails only on the first read, with the library's own text.
  std::error_code ignored;
  if (std::filesystem::is_directory(file, ignored)) {
    throw std::runtime_error(file + ": is a folder, not a file");
  }
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  if (in) {
    text << in.rdbuf();
  }
  if (!in || in.bad()) {
    throw std::runtime_error(file + ": cannot be read");
  }
  return text.str();
}

std::string YamlFloat(double value)
{
  char text[64];
  const auto result = std::to_chars(text, text + sizeof(text), value);
  std::string out(text, result.ptr);
  if (out.find_first_of(".eEn") == std::string::npos) {
    out += ".0";
  }
  return out;
}

YamlNode YamlNode::Load(const std::string & file)
{
  const std::string text = ReadTextFile(file);
  YAML::Node root;
  try {
    root = YAML::Load(text);
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

double YamlNode::GetFinite(const std::string & key) const
{
  const auto number = Get<double>(key);
  if (!std::isfinite(number)) {
    Fail(key, "must be a finite number");
  }
  return number;
}

std::vector<double> YamlNode::GetNumbers(const std::string & key, std::size_t count) const
{
  const auto numbers = Get<std::vector<double>>(key);
  if (numbers.size() != count) {
    Fail(key, "must hold " + std::to_string(count) + " numbers");
  }
  for (const double number : numbers) {
    if (!std::isfinite(number)) {
      Fail(key, "must hold finite numbers");
    }
  }
  return numbers;
}

void YamlNode::RefuseUnknownKeys(const std::vector<std::string> & known) const
{
  for (const auto & entry : node_) {
    const std::string key = entry.first.IsScalar() ? entry.first.Scalar() : "(a non-text key)";
    if (std::find(known.begin(), known.end(), key) != known.end()) {
      continue;
    }
    std::string names;
    for (const std::string & name : known) {
      names += (names.empty() ? "" : ", ") + name;
    }
    Fail(key, "is not a known key; the keys known here are " + names);
  }
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
