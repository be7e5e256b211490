// Each case runs the probe in a fresh process: the logger reads its environment only once.
#include <array>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace
{
struct EnvironmentCase
{
  const char * name;
  const char * stdout_value;  // nullptr: unset
  const char * systemd_value;
  const char * level_value;
  std::string expected;
};

// env takes its -u options before any assignment.
std::string Unset(const char * variable, const char * value)
{
  return value == nullptr ? std::string("-u ") + variable + " " : std::string();
}

std::string Assignment(const char * variable, const char * value)
{
  return value == nullptr ? std::string() : std::string(variable) + "='" + value + "' ";
}

std::string RunProbe(const EnvironmentCase & c)
{
  const std::string command =
    "env " + Unset("SPDLOG_STDOUT", c.stdout_value) + Unset("SPDLOG_SYSTEMD", c.systemd_value) +
    Unset("SPDLOG_LEVEL", c.level_value) + Assignment("SPDLOG_STDOUT", c.stdout_value) +
    Assignment("SPDLOG_SYSTEMD", c.systemd_value) + Assignment("SPDLOG_LEVEL", c.level_value) +
    LOGGER_PROBE_PATH;
  std::string output;
  FILE * pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return "popen failed";
  }
  std::array<char, 512> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    output.append(buffer.data(), n);
  }
  const int status = pclose(pipe);
  EXPECT_EQ(status, 0) << c.name;
  return output;
}

const std::string kStdoutUnset = "environment variable SPDLOG_STDOUT is not set, and set true\n";
const std::string kStdoutInvalid = "environment variable SPDLOG_STDOUT is invalid, and set true\n";
const std::string kSystemdUnset = "environment variable SPDLOG_SYSTEMD is not set, and set false\n";
const std::string kSystemdInvalid =
  "environment variable SPDLOG_SYSTEMD is invalid, and set false\n";
const std::string kLevelUnset =
  "environment variable SPDLOG_LEVEL is not set, and set default level\n";
const std::string kLevelInvalid =
  "environment variable SPDLOG_LEVEL is invalid, and set default level\n";
const std::string kInfoLines =
  "  1 [INFO] info 2\n  2 [WARN] warn 3\n  3 [ERROR] error 4\n  4 [INFO] last\n";
const std::string kDebugLines =
  "  1 [DEBUG] debug 1\n  2 [INFO] info 2\n  3 [WARN] warn 3\n  4 [ERROR] error 4\n"
  "  5 [INFO] last\n";

class LoggerEnvironment : public ::testing::TestWithParam<EnvironmentCase>
{
};

TEST_P(LoggerEnvironment, WritesTheExpectedStandardOutput)
{
  EXPECT_EQ(RunProbe(GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
  Cases, LoggerEnvironment,
  ::testing::Values(
    EnvironmentCase{
      "all_unset", nullptr, nullptr, nullptr,
      kStdoutUnset + kSystemdUnset + kLevelUnset + kInfoLines},
    EnvironmentCase{"all_valid", "true", "false", "info", kInfoLines},
    EnvironmentCase{"stdout_upper_case", "TRUE", "false", "info", kStdoutInvalid + kInfoLines},
    EnvironmentCase{"stdout_empty", "", "false", "info", kStdoutInvalid + kInfoLines},
    EnvironmentCase{"no_sinks", "false", "false", "debug", ""},
    EnvironmentCase{"no_console_unset_journal", "false", nullptr, "debug", kSystemdUnset},
    EnvironmentCase{"systemd_invalid", "true", "yes", "info", kSystemdInvalid + kInfoLines},
    EnvironmentCase{"level_warn_is_invalid", "true", "false", "warn", kLevelInvalid + kInfoLines},
    EnvironmentCase{"level_empty", "true", "false", "", kLevelInvalid + kInfoLines},
    EnvironmentCase{"level_trace_like_debug", "true", "false", "trace", kDebugLines},
    EnvironmentCase{"level_debug", "true", "false", "debug", kDebugLines},
    EnvironmentCase{
      "level_warning", "true", "false", "warning", "  1 [WARN] warn 3\n  2 [ERROR] error 4\n"},
    EnvironmentCase{
      "level_error_numbers_without_gaps", "true", "false", "error", "  1 [ERROR] error 4\n"},
    EnvironmentCase{"level_critical_writes_nothing", "true", "false", "critical", ""},
    // Without a journal to write to, the journal sink fails inside the logging library; the
    // console still gets every line.
    EnvironmentCase{"journal_unreachable", "true", "true", "info", kInfoLines}),
  [](const ::testing::TestParamInfo<EnvironmentCase> & info) { return info.param.name; });
}  // namespace
