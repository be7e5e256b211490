// The one configuration reader: whatever is wrong with a file, the error names file and key.
#include "common/yaml_config_reader.hpp"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

std::string ErrorOf(const std::string & path)
{
  try {
    orvanite::YamlConfigReader(path).Read<int>("camera_detection_params", "cam_id");
  } catch (const orvanite::ConfigError & e) {
    return e.what();
  }
  return "no error";
}

TEST(YamlConfigReader, ARootThatIsNoMapIsAMissingMapOfThatFile)
{
  const fs::path dir = fs::temp_directory_path() / ("yaml_reader_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  struct Case
  {
    const char * content;
    const char * reason;
  };
  const Case cases[] = {
    {"hello\n", "camera_detection_params: missing map (the file's root is not a map)"},
    {"[1, 2]\n", "camera_detection_params: missing map (the file's root is not a map)"},
    {"", "camera_detection_params: missing map (the file's root is not a map)"},
    {"camera_detection_params: 3\n", "camera_detection_params: missing map"},
    {"camera_detection_params: {}\n", "camera_detection_params/cam_id: missing key"},
  };
  const std::string path = (dir / "cam.yaml").string();
  for (const auto & c : cases) {
    std::ofstream(path) << c.content;
    EXPECT_EQ(ErrorOf(path), path + ": " + c.reason) << c.content;
  }
  fs::remove_all(dir);
}

TEST(YamlConfigReader, AFolderOrAMissingFileCannotBeLoadedAndIsNamed)
{
  const std::string folder = fs::temp_directory_path().string();
  EXPECT_EQ(ErrorOf(folder).rfind(folder + ": cannot load the file: ", 0), 0u) << ErrorOf(folder);
  const std::string missing = folder + "/no_such_config_file.yaml";
  EXPECT_EQ(ErrorOf(missing).rfind(missing + ": cannot load the file: ", 0), 0u);
}
}  // namespace
