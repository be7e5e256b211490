#include "arguments.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orvanite_demo
{

namespace
{
constexpr int kMaxCalls = 1000;
constexpr double kMaxGrabRadius = 10.0;      // m, far beyond any arm's reach
constexpr int kMaxDetectTimeoutMs = 600000;  // ten minutes

// The whole text as a decimal integer in min .. max.
int ParseInt(const std::string & option, const std::string & text, int min, int max)
{
  const std::string range =
    "a whole number in " + std::to_string(min) + " .. " + std::to_string(max);
  char * end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || value < min || value > max) {
    throw UsageError(option + " " + text + ": must be " + range);
  }
  return static_cast<int>(value);
}

// The whole text as a finite number greater than 0 and at most max.
double ParsePositive(const std::string & option, const std::string & text, double max)
{
  char * end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (
    text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value) || !(value > 0.0) ||
    value > max) {
    char range[64];
    std::snprintf(range, sizeof(range), "a number greater than 0 and at most %g", max);
    throw UsageError(option + " " + text + ": must be " + range);
  }
  return value;
}
}  // namespace

std::string UsageText()
{
  return "usage: orvanite_demo [SCENE.yaml] [--calls N] [--output DIR] [--max-grab-radius M]\n"
         "                     [--detect-timeout-ms MS] [--debug]\n"
         "       orvanite_demo --error-table [SCENE.yaml] [--output DIR]\n"
         "       orvanite_demo --help\n"
         "\n"
         "Runs the detection node on a synthetic RGB-D scene in this process and calls its\n"
         "ArmTrashPose service, printing each answer. The node reads the shipped configuration,\n"
         "changed only where the scene requires it (see the README).\n"
         "\n"
         "  SCENE.yaml              scene file (default: the shipped several_litter scene)\n"
         "  --calls N               service calls, 1 .. 1000 (default 3)\n"
         "  --output DIR            configuration overlay and debug files (default\n"
         "                          /tmp/orvanite_demo)\n"
         "  --max-grab-radius M     max_grab_radius of the service, m, > 0 and at most 10\n"
         "                          (default: the shipped value)\n"
         "  --detect-timeout-ms MS  detect_timeout_ms of the service, 1 .. 600000 (default: the\n"
         "                          shipped value)\n"
         "  --debug                 is_debug on: debug images and clouds under DIR/debug\n"
         "  --error-table           grasp-point errors per object with exact, bleeding and\n"
         "                          shrunken masks, as a Markdown table\n"
         "  -h, --help              this text\n";
}

Arguments ParseArguments(const std::vector<std::string> & args)
{
  Arguments parsed;
  std::vector<std::string> call_options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string & arg = args[i];
    const auto value = [&]() {
      if (i + 1 >= args.size()) {
        throw UsageError(arg + " needs a value");
      }
      return args[++i];
    };
    if (arg == "-h" || arg == "--help") {
      parsed.help = true;
    } else if (arg == "--calls") {
      parsed.calls = ParseInt(arg, value(), 1, kMaxCalls);
      call_options.push_back(arg);
    } else if (arg == "--output") {
      parsed.output = value();
      if (parsed.output.empty()) {
        throw UsageError("--output needs a folder");
      }
    } else if (arg == "--max-grab-radius") {
      parsed.max_grab_radius = ParsePositive(arg, value(), kMaxGrabRadius);
      call_options.push_back(arg);
    } else if (arg == "--detect-timeout-ms") {
      parsed.detect_timeout_ms = ParseInt(arg, value(), 1, kMaxDetectTimeoutMs);
      call_options.push_back(arg);
    } else if (arg == "--debug") {
      parsed.debug = true;
      call_options.push_back(arg);
    } else if (arg == "--error-table") {
      parsed.error_table = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError("unknown option " + arg);
    } else if (!parsed.scene_file.empty()) {
      throw UsageError("one scene file only, but " + parsed.scene_file + " and " + arg + " given");
    } else {
      parsed.scene_file = arg;
    }
  }
  if (parsed.error_table && !call_options.empty()) {
    throw UsageError(
      call_options.front() +
      " does not apply to --error-table, which takes SCENE.yaml and "
      "--output only");
  }
  return parsed;
}

void CreateOutputFolder(const std::filesystem::path & folder)
{
  const std::string option = "--output " + folder.string() + ": ";
  std::error_code error;
  if (std::filesystem::exists(folder, error) && !std::filesystem::is_directory(folder, error)) {
    throw UsageError(option + "is a file, not a folder");
  }
  std::filesystem::create_directories(folder, error);
  if (error) {
    throw UsageError(option + "cannot be created: " + error.message());
  }
}

}  // namespace orvanite_demo
