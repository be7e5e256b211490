#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__YAML_CONFIG_READER_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__YAML_CONFIG_READER_HPP_

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

namespace orvanite
{

// A configuration file that cannot be used; the text names the file and the key.
class ConfigError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

// Typed reads of `map: {key: value}` entries of one YAML file. Keys have no fallback: a missing
// map, key or list entry, or a value of another type, throws ConfigError with the text
// "<file>: <map>/<key>: <reason>". Supported types: bool, int, unsigned int, float, std::string
// (an unsigned int written with a minus sign is a conversion error).
class YamlConfigReader
{
public:
  // Throws ConfigError when the file cannot be read or parsed.
  explicit YamlConfigReader(std::string path);

  template <typename T>
  T Read(const std::string & map, const std::string & key) const;
  // The whole list under map/key, every entry of type T.
  template <typename T>
  std::vector<T> ReadList(const std::string & map, const std::string & key) const;
  // Entry `index` (from 0) of the list under map/key; surplus entries are ignored.
  template <typename T>
  T ReadEntry(const std::string & map, const std::string & key, std::size_t index) const;

  [[noreturn]] void Fail(const std::string & key_path, const std::string & reason) const;

  const std::string & path() const { return path_; }
  // The whole document, for files whose root holds the entries themselves.
  const YAML::Node & root() const { return root_; }

private:
  YAML::Node Lookup(const std::string & map, const std::string & key) const;

  std::string path_;
  YAML::Node root_;
};

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__YAML_CONFIG_READER_HPP_
