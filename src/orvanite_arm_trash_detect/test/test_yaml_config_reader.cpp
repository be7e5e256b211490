// The one configuration reader: whatever is wrong with a file, the error names file and key.
#include "common/yaml_config_reader.hpp"

#include <filesystem>
#include <fstream>
#include <functional>
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

// Checked before yaml-cpp sees the path: its loader throws from inside the stream on a folder
// and leaks what it had allocated.
TEST(YamlConfigReader, AFolderOrAMissingFileCannotBeLoadedAndIsNamed)
{
  const std::string folder = fs::temp_directory_path().string();
  EXPECT_EQ(ErrorOf(folder), folder + ": cannot load the file: a folder, not a regular file");
  const std::string missing = folder + "/no_such_config_file.yaml";
  EXPECT_EQ(ErrorOf(missing), missing + ": cannot load the file: No such file or directory");
  EXPECT_EQ(ErrorOf("/dev/null"), "/dev/null: cannot load the file: not a regular file");
  EXPECT_EQ(orvanite::UnreadableFileReason(folder), "a folder, not a regular file");
}

// Bounds are inside, NaN and infinity never are; list entries are named with their index.
TEST(YamlConfigReader, ValuesOutsideTheirRangeNameFileKeyValueAndRange)
{
  const fs::path dir = fs::temp_directory_path() / ("yaml_range_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "ranges.yaml").string();
  std::ofstream(path) << "m: {low: 0, high: 1000, over: 1001, neg: -1, big: 2147483647,\n"
                         "    f: 0.5, nan: .nan, inf: .inf, tiny: 1e-36, list: [3, 7, -2]}\n";
  const orvanite::YamlConfigReader reader(path);
  constexpr orvanite::ValueRange<int> kInts{0, 1000};
  constexpr orvanite::ValueRange<float> kFloats{1.0f, 1.0e5f};
  EXPECT_EQ(reader.ReadInRange("m", "low", kInts), 0);
  EXPECT_EQ(reader.ReadInRange("m", "high", kInts), 1000);
  EXPECT_EQ(reader.ReadEntryInRange("m", "list", 1, orvanite::ValueRange<float>{7.0f, 7.0f}), 7.0f);
  const auto error_of = [](const auto & read) -> std::string {
    try {
      read();
    } catch (const orvanite::ConfigError & e) {
      return e.what();
    }
    return "no error";
  };
  struct Case
  {
    std::function<void()> read;
    std::string error;  // after "<file>: "
  };
  const Case cases[] = {
    {[&] { reader.ReadInRange("m", "over", kInts); }, "m/over: 1001 is outside [0, 1000]"},
    {[&] { reader.ReadInRange("m", "neg", kInts); }, "m/neg: -1 is outside [0, 1000]"},
    {[&] { reader.ReadInRange("m", "big", kInts); }, "m/big: 2147483647 is outside [0, 1000]"},
    {[&] { reader.ReadInRange("m", "f", kFloats); }, "m/f: 0.5 is outside [1, 100000]"},
    {[&] { reader.ReadInRange("m", "nan", kFloats); }, "m/nan: nan is outside [1, 100000]"},
    {[&] { reader.ReadInRange("m", "inf", kFloats); }, "m/inf: inf is outside [1, 100000]"},
    {[&] { reader.ReadInRange("m", "tiny", kFloats); }, "m/tiny: 1e-36 is outside [1, 100000]"},
    {[&] { reader.ReadListInRange("m", "list", kInts); }, "m/list[2]: -2 is outside [0, 1000]"},
    {[&] { reader.ReadEntryInRange("m", "list", 2, kFloats); },
     "m/list[2]: -2 is outside [1, 100000]"},
    {[&] {
       reader.CheckRange("a/b[1]", -0.25, orvanite::ValueRange<double>{0.0, 10.0});
     },
     "a/b[1]: -0.25 is outside [0, 10]"},
  };
  for (const auto & c : cases) {
    EXPECT_EQ(error_of(c.read), path + ": " + c.error);
  }
  fs::remove_all(dir);
}
}  // namespace
