// The command line of orvanite_demo: every option checked, with a message naming the option and
// what it accepts.
#ifndef ORVANITE_DEMO__ARGUMENTS_HPP_
#define ORVANITE_DEMO__ARGUMENTS_HPP_

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvanite_demo
{

// A command line that cannot be run; the message says what to change.
class UsageError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

struct Arguments
{
  bool help = false;
  std::string scene_file;  // empty: the shipped several_litter scene
  int calls = 3;
  std::filesystem::path output = "/tmp/orvanite_demo";
  bool error_table = false;
  bool debug = false;
  std::optional<double> max_grab_radius;
  std::optional<int> detect_timeout_ms;
};

// The usage text that --help prints.
std::string UsageText();

// The arguments after the program name (ROS arguments removed); throws UsageError.
Arguments ParseArguments(const std::vector<std::string> & args);

// Creates the --output folder (and its parents) before the run writes into it; throws UsageError
// naming the path and the reason when it is a file or cannot be created.
void CreateOutputFolder(const std::filesystem::path & folder);

}  // namespace orvanite_demo

#endif  // ORVANITE_DEMO__ARGUMENTS_HPP_
