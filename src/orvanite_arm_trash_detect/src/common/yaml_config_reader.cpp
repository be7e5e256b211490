#include "common/yaml_config_reader.hpp"

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include <fmt/format.h>

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

std::string EntryPath(const std::string & map, const std::string & key, std::size_t index)
{
  return map + "/" + key + "[" + std::to_string(index) + "]";
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

std::string ConfigProblem(
  const std::string & path, const std::string & key_path, const std::string & reason)
{
  return path + ": " + key_path + ": " + reason;
}

std::string UnreadableFileReason(const std::string & path)
{
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error) {
    return error.message();
  }
  if (fs::is_directory(status)) {
    return "a folder, not a regular file";
  }
  if (!fs::is_regular_file(status)) {
    return "not a regular file";
  }
  const std::ifstream probe(path);
  if (!probe.is_open()) {
    return std::string("cannot be opened: ") + std::strerror(errno);
  }
  return {};
}

YamlConfigReader::YamlConfigReader(std::string path) : path_(std::move(path))
{
  const std::string unreadable = UnreadableFileReason(path_);
  if (!unreadable.empty()) {
    throw ConfigError(path_ + ": cannot load the file: " + unreadable);
  }
  try {
    root_ = YAML::LoadFile(path_);
  } catch (const std::exception & e) {
    throw ConfigError(path_ + ": cannot load the file: " + e.what());
  }
}

std::string YamlConfigReader::Describe(
  const std::string & key_path, const std::string & reason) const
{
  return ConfigProblem(path_, key_path, reason);
}

void YamlConfigReader::Fail(const std::string & key_path, const std::string & reason) const
{
  throw ConfigError(Describe(key_path, reason));
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
  const std::string key_path = EntryPath(map, key, index);
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
    values.push_back(Convert<T>(*this, list[i], EntryPath(map, key, i)));
  }
  return values;
}

template <typename T>
T YamlConfigReader::CheckRange(
  const std::string & key_path, T value, const ValueRange<T> & range) const
{
  if (!range.Contains(value)) {
    Fail(key_path, fmt::format("{} is outside [{}, {}]", value, range.min, range.max));
  }
  return value;
}

template <typename T>
T YamlConfigReader::ReadInRange(
  const std::string & map, const std::string & key, const ValueRange<T> & range) const
{
  return CheckRange(map + "/" + key, Read<T>(map, key), range);
}

template <typename T>
std::vector<T> YamlConfigReader::ReadListInRange(
  const std::string & map, const std::string & key, const ValueRange<T> & range) const
{
  const std::vector<T> values = ReadList<T>(map, key);
  for (std::size_t i = 0; i < values.size(); ++i) {
    CheckRange(EntryPath(map, key, i), values[i], range);
  }
  return values;
}

template <typename T>
T YamlConfigReader::ReadEntryInRange(
  const std::string & map, const std::string & key, std::size_t index,
  const ValueRange<T> & range) const
{
  return CheckRange(EntryPath(map, key, index), ReadEntry<T>(map, key, index), range);
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
template int YamlConfigReader::ReadInRange<int>(
  const std::string &, const std::string &, const ValueRange<int> &) const;
template unsigned int YamlConfigReader::ReadInRange<unsigned int>(
  const std::string &, const std::string &, const ValueRange<unsigned int> &) const;
template float YamlConfigReader::ReadInRange<float>(
  const std::string &, const std::string &, const ValueRange<float> &) const;
template std::vector<int> YamlConfigReader::ReadListInRange<int>(
  const std::string &, const std::string &, const ValueRange<int> &) const;
template float YamlConfigReader::ReadEntryInRange<float>(
  const std::string &, const std::string &, std::size_t, const ValueRange<float> &) const;
template float YamlConfigReader::CheckRange<float>(
  const std::string &, float, const ValueRange<float> &) const;
template double YamlConfigReader::CheckRange<double>(
  const std::string &, double, const ValueRange<double> &) const;

}  // namespace orvanite
