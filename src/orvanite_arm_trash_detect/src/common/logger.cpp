#include "common/logger.hpp"

#include <cstdlib>
#include <iostream>
#include <vector>

#include <spdlog/sinks/ansicolor_sink.h>
#include <spdlog/sinks/systemd_sink.h>

namespace orvanite
{
namespace
{
// Names accepted in SPDLOG_LEVEL, in level order 0..5.
const char * const kLevelNames[] = {"trace", "debug", "info", "warning", "error", "critical"};
constexpr int kDefaultLevel = 2;

// The value of an environment variable, or nullptr when it is not set.
const char * Env(const char * name) { return std::getenv(name); }

// A "true"/"false" switch; unset or any other text gives `fallback` with a notice naming it.
bool FlagWanted(const char * name, bool fallback)
{
  const char * value = Env(name);
  const char * const fallback_text = fallback ? "true" : "false";
  if (value == nullptr) {
    std::cout << "environment variable " << name << " is not set, and set " << fallback_text
              << "\n";
    return fallback;
  }
  const std::string text(value);
  if (text == "true" || text == "false") {
    return text == "true";
  }
  std::cout << "environment variable " << name << " is invalid, and set " << fallback_text << "\n";
  return fallback;
}

int LevelWanted()
{
  const char * value = Env("SPDLOG_LEVEL");
  if (value == nullptr) {
    std::cout << "environment variable SPDLOG_LEVEL is not set, and set default level\n";
    return kDefaultLevel;
  }
  const std::string text(value);
  for (int level = 0; level < 6; ++level) {
    if (text == kLevelNames[level]) {
      return level;
    }
  }
  std::cout << "environment variable SPDLOG_LEVEL is invalid, and set default level\n";
  return kDefaultLevel;
}
}  // namespace

Logger::Logger(const std::string & name)
{
  try {
    std::vector<spdlog::sink_ptr> sinks;
    if (FlagWanted("SPDLOG_STDOUT", true)) {
      sinks.push_back(
        std::make_shared<spdlog::sinks::ansicolor_stdout_sink_mt>(spdlog::color_mode::automatic));
    }
    if (FlagWanted("SPDLOG_SYSTEMD", false)) {
      sinks.push_back(std::make_shared<spdlog::sinks::systemd_sink_mt>());
    }
    logger_ = std::make_shared<spdlog::logger>(name, sinks.begin(), sinks.end());
    log_level_ = LevelWanted();
    logger_->set_level(static_cast<spdlog::level::level_enum>(log_level_));
    logger_->set_pattern("%v");
  } catch (const spdlog::spdlog_ex &) {
    // The logging library's failure leaves the logger with what was set up so far.
  }
}

Logger::~Logger() { logger_.reset(); }

void Logger::WriteCounted(
  const std::shared_ptr<spdlog::logger> & logger, const spdlog::source_loc & location, int level,
  const char * prefix_format, const std::string & message)
{
  const std::uint8_t count = static_cast<std::uint8_t>(log_count_.fetch_add(1) + 1);
  const std::string line = fmt::format(fmt::runtime(prefix_format), count & 0x7f) + message;
  if (logger) {
    logger->log(
      location, static_cast<spdlog::level::level_enum>(level), spdlog::string_view_t(line));
  }
}
}  // namespace orvanite
