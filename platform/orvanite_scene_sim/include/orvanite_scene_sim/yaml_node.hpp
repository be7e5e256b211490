// A node of a YAML file (a scene, or a configuration the demo reads) that remembers the file and
// the key path leading to it, so that every error names both:
// "<file>: key 'objects[2].size': <problem>".
#ifndef ORVANITE_SCENE_SIM__YAML_NODE_HPP_
#define ORVANITE_SCENE_SIM__YAML_NODE_HPP_

#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

namespace orvanite_scene_sim
{

// The whole text of a file; throws std::runtime_error "<file>: cannot be read" or
// "<file>: is a folder, not a file".
std::string ReadTextFile(const std::string & file);

// The shortest text that reads back exactly, always with a decimal point as YAML floats are shown.
std::string YamlFloat(double value);

class YamlNode
{
public:
  // Throws std::runtime_error when the file is missing, unreadable, not YAML or not a map.
  static YamlNode Load(const std::string & file);

  bool Has(const std::string & key) const;

  // The map under key; throws when it is missing or not a map.
  YamlNode Child(const std::string & key) const;

  // The maps of the sequence under key; throws when it is missing or not a sequence of maps.
  std::vector<YamlNode> Children(const std::string & key) const;

  // The value under key; throws when it is missing or does not convert.
  template <typename T>
  T Get(const std::string & key) const
  {
    const YAML::Node value = Require(key);
    try {
      return value.as<T>();
    } catch (const YAML::Exception &) {
      Fail(key, "has the wrong type");
    }
  }

  // A finite number.
  double GetFinite(const std::string & key) const;

  // A sequence of exactly count finite numbers.
  std::vector<double> GetNumbers(const std::string & key, std::size_t count) const;

  // Throws for the first key of this map that is not one of `known`, naming it and the known
  // ones: a misspelt optional key would otherwise be silently ignored.
  void RefuseUnknownKeys(const std::vector<std::string> & known) const;

  [[noreturn]] void Fail(const std::string & key, const std::string & problem) const;

private:
  YamlNode(YAML::Node node, std::string file, std::string path);
  YAML::Node Require(const std::string & key) const;
  std::string KeyPath(const std::string & key) const;

  YAML::Node node_;
  std::string file_;
  std::string path_;
};

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__YAML_NODE_HPP_
