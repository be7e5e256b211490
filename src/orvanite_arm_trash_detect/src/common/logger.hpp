// The process-wide logger and the LOG_* macros every source file uses.
//
// One spdlog logger named "spdlog" whose sinks (coloured console, systemd journal) and level are
// read once from SPDLOG_STDOUT, SPDLOG_SYSTEMD and SPDLOG_LEVEL. Each line is written as
// "<n> [LEVEL] <message>", where n is a message counter shown modulo 128 in three columns.
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__LOGGER_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__LOGGER_HPP_

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include <fmt/format.h>
#include <spdlog/spdlog.h>

namespace orvanite
{
class Logger
{
public:
  // The one instance, built on the first call; a failed build is retried by the next call.
  static Logger & Instance()
  {
    static Logger instance("spdlog");
    return instance;
  }

  // Chooses sinks and level from the environment, printing its decisions to std::cout.
  explicit Logger(const std::string & name);
  ~Logger();

  Logger(const Logger &) = delete;
  Logger & operator=(const Logger &) = delete;

  // Formats the message (always, also below the level), counts it when it reaches the level and
  // hands "<prefix><message>" to spdlog as finished text with the call site's location.
  // `prefix_format` is one of the level prefixes, e.g. "{0:3d} [INFO] ".
  template <typename... Args>
  void Log(
    const spdlog::source_loc & location, int level, const char * prefix_format,
    fmt::format_string<Args...> format, Args &&... args)
  {
    const std::shared_ptr<spdlog::logger> logger = logger_;
    const std::string message = fmt::format(format, std::forward<Args>(args)...);
    if (log_level_ > level) {
      return;
    }
    WriteCounted(logger, location, level, prefix_format, message);
  }

  // The library logger, for tests that attach a sink of their own.
  std::shared_ptr<spdlog::logger> library_logger() const { return logger_; }
  int level() const { return log_level_; }

private:
  void WriteCounted(
    const std::shared_ptr<spdlog::logger> & logger, const spdlog::source_loc & location, int level,
    const char * prefix_format, const std::string & message);

  std::shared_ptr<spdlog::logger> logger_;
  std::atomic<std::uint8_t> log_count_{0};
  int log_level_ = 2;
};

// A level with the prefix of its lines, for a step whose callers choose the level of a line.
struct LogLevel
{
  int value;
  const char * prefix;
};
inline constexpr LogLevel kLogDebug{1, "{0:3d} [DEBUG] "};
inline constexpr LogLevel kLogInfo{2, "{0:3d} [INFO] "};
inline constexpr LogLevel kLogWarn{3, "{0:3d} [WARN] "};
inline constexpr LogLevel kLogError{4, "{0:3d} [ERROR] "};
}  // namespace orvanite

// A record that names `function` as the operation it belongs to: a step split out of a long
// operation logs under the operation's name, as if its lines were still written there.
#define ORVANITE_LOG_AS(function, level, prefix, ...) \
  ::orvanite::Logger::Instance().Log(                 \
    ::spdlog::source_loc{__FILE__, __LINE__, function}, level, prefix, __VA_ARGS__)

#define ORVANITE_LOG_AT(level, prefix, ...) \
  ORVANITE_LOG_AS(static_cast<const char *>(__func__), level, prefix, __VA_ARGS__)

// A record at an orvanite::LogLevel chosen at run time, naming `function`.
#define LOG_AT_LEVEL_AS(log_level, function, ...) \
  ORVANITE_LOG_AS(function, (log_level).value, (log_level).prefix, __VA_ARGS__)

#define LOG_DEBUG(...) \
  ORVANITE_LOG_AT(::orvanite::kLogDebug.value, ::orvanite::kLogDebug.prefix, __VA_ARGS__)
#define LOG_INFO(...) \
  ORVANITE_LOG_AT(::orvanite::kLogInfo.value, ::orvanite::kLogInfo.prefix, __VA_ARGS__)
#define LOG_WARN(...) \
  ORVANITE_LOG_AT(::orvanite::kLogWarn.value, ::orvanite::kLogWarn.prefix, __VA_ARGS__)
#define LOG_ERROR(...) \
  ORVANITE_LOG_AT(::orvanite::kLogError.value, ::orvanite::kLogError.prefix, __VA_ARGS__)

#define LOG_DEBUG_AS(function, ...) LOG_AT_LEVEL_AS(::orvanite::kLogDebug, function, __VA_ARGS__)
#define LOG_INFO_AS(function, ...) LOG_AT_LEVEL_AS(::orvanite::kLogInfo, function, __VA_ARGS__)
#define LOG_WARN_AS(function, ...) LOG_AT_LEVEL_AS(::orvanite::kLogWarn, function, __VA_ARGS__)
#define LOG_ERROR_AS(function, ...) LOG_AT_LEVEL_AS(::orvanite::kLogError, function, __VA_ARGS__)

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__LOGGER_HPP_
