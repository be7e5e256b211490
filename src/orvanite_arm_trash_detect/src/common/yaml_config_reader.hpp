#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__YAML_CONFIG_READER_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__YAML_CONFIG_READER_HPP_

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

#include "common/config_ranges.hpp"

namespace orvanite
{

// A configuration file that cannot be used; the text names the file and the key.
class ConfigError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

// "<path>: <key_path>: <reason>": the text of every ConfigError, and of every WARN line about a
// value that a file may hold but that is odd.
std::string ConfigProblem(
  const std::string & path, const std::string & key_path, const std::string & reason);

// Empty when `path` names a regular file that this process can open for reading; otherwise the
// reason, such as "No such file or directory" or "a folder, not a regular file". Checked before
// any file reaches yaml-cpp, whose loader throws from inside its stream buffer on a folder and
// leaks what it had allocated.
std::string UnreadableFileReason(const std::string & path);

// Typed reads of `map: {key: value}` entries of one YAML file. Keys have no fallback: a missing
// map, key or list entry, or a value of another type, throws ConfigError with the text
// "<file>: <map>/<key>: <reason>". Supported types: bool, int, unsigned int, float, std::string
// (an unsigned int written with a minus sign is a conversion error).
class YamlConfigReader
{
public:
  // Throws ConfigError "<file>: cannot load the file: <reason>" when the path is not a readable
  // regular file (UnreadableFileReason) or the file cannot be parsed.
  explicit YamlConfigReader(std::string path);

  template <typename T>
  T Read(const std::string & map, const std::string & key) const;
  // The whole list under map/key, every entry of type T.
  template <typename T>
  std::vector<T> ReadList(const std::string & map, const std::string & key) const;
  // Entry `index` (from 0) of the list under map/key; surplus entries are ignored.
  template <typename T>
  T ReadEntry(const std::string & map, const std::string & key, std::size_t index) const;

  // The reads above, then every value read checked against `range` (config_ranges.hpp): one
  // outside it, NaN included, throws ConfigError "<file>: <map>/<key>: <value> is outside
  // [<min>, <max>]", a list entry named with its index. For the types the files hold: int,
  // unsigned int and float values, int lists, float list entries.
  template <typename T>
  T ReadInRange(
    const std::string & map, const std::string & key, const ValueRange<T> & range) const;
  template <typename T>
  std::vector<T> ReadListInRange(
    const std::string & map, const std::string & key, const ValueRange<T> & range) const;
  template <typename T>
  T ReadEntryInRange(
    const std::string & map, const std::string & key, std::size_t index,
    const ValueRange<T> & range) const;
  // The same check of a value read otherwise (float or double), under `key_path`; returns it.
  template <typename T>
  T CheckRange(const std::string & key_path, T value, const ValueRange<T> & range) const;

  // ConfigProblem of this file.
  std::string Describe(const std::string & key_path, const std::string & reason) const;
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
