#include "common/yaml_config_reader.hpp"

#include <exception>
#include <utility>

namespace orvanite
{
namespace
{

template <typename T>
const char * TypeName();
template <>
const char * TypeName<bool>()
{
  return "bool";
}
template <>
const char * TypeName<int>()
{
  return "int";
}
template <>
const char * TypeName<unsigned int>()
{
  return "unsigned int";
}
template <>
const char * TypeName<float>()
{
  return "float";
}
template <>
const char * TypeName<std::string>()
{
  return "string";
}

template <typename T>
T Convert(const YamlConfigReader & reader, const YAML::Node & value, const std::string & key_path)
{
  try {
    return value.as<T>();
  } catch (const YAML::Exception &) {
    const std::string shown = value.IsScalar() ? "'" + value.Scalar() + "'" : "a non-scalar value";
    reader.Fail(key_path, "cannot convert " + shown + " to " + TypeName<T>());
  }
}

}  // namespace

YamlConfigReader::YamlConfigReader(std::string path) : path_(std::move(path))
{
  try {
    root_ = YAML::LoadFile(path_);
  } catch (const std::exception & e) {
    // Not only YAML errors: reading a folder fails inside the file stream.
    throw ConfigError(path_ + ": cannot load the file: " + e.what());
  }
}

void YamlConfigReader::Fail(const std::string & key_path, const std::string & reason) const
{
  throw ConfigError(path_ + ": " + key_path + ": " + reason);
}

YAML::Node YamlConfigReader::Lookup(const std::string & map, const std::string & key) const
{
  const YAML::Node & root = root_;  // const access never inserts missing keys
  if (!root.IsMap()) {
    Fail(map, "missing map (the file's root is not a map)");
  }
  const YAML::Node map_node = root[map];
  if (!map_node.IsDefined() || !map_node.IsMap()) {
    Fail(map, "missing map");
  }
  const YAML::Node value = map_node[key];
  if (!value.IsDefined()) {
    Fail(map + "/" + key, "missing key");
  }
  return value;
}

template <typename T>
T YamlConfigReader::Read(const std::string & map, const std::string & key) const
{
  return Convert<T>(*this, Lookup(map, key), map + "/" + key);
}

template <typename T>
T YamlConfigReader::ReadEntry(
  const std::string & map, const std::string & key, std::size_t index) const
{
  const YAML::Node list = Lookup(map, key);
  const std::string key_path = map + "/" + key + "[" + std::to_string(index) + "]";
  if (!list.IsSequence()) {
    Fail(map + "/" + key, "not a list");
  }
  if (index >= list.size()) {
    Fail(key_path, "missing list entry (the list has " + std::to_string(list.size()) + ")");
  }
  return Convert<T>(*this, list[index], key_path);
}

template <typename T>
std::vector<T> YamlConfigReader::ReadList(const std::string & map, const std::string & key) const
{
  const YAML::Node list = Lookup(map, key);
  if (!list.IsSequence()) {
    Fail(map + "/" + key, "not a list");
  }
  std::vector<T> values;
  for (std::size_t i = 0; i < list.size(); ++i) {
    values.push_back(Convert<T>(*this, list[i], map + "/" + key + "[" + std::to_string(i) + "]"));
  }
  return values;
}

template bool YamlConfigReader::Read<bool>(const std::string &, const std::string &) const;
template int YamlConfigReader::Read<int>(const std::string &, const std::string &) const;
template unsigned int YamlConfigReader::Read<unsigned int>(
  const std::string &, const std::string &) const;
template float YamlConfigReader::Read<float>(const std::string &, const std::string &) const;
template std::string YamlConfigReader::Read<std::string>(
  const std::string &, const std::string &) const;
template std::vector<int> YamlConfigReader::ReadList<int>(
  const std::string &, const std::string &) const;
template std::vector<std::string> YamlConfigReader::ReadList<std::string>(
  const std::string &, const std::string &) const;
template float YamlConfigReader::ReadEntry<float>(
  const std::string &, const std::string &, std::size_t) const;

}  // namespace orvanite
