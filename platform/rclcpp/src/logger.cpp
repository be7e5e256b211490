#include "rclcpp/logger.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "rclcpp/logging.hpp"

namespace rclcpp
{
namespace
{

struct LevelRegistry
{
  std::mutex mutex;
  std::map<std::string, Logger::Level> levels;
};

// Never destroyed, so that threads still running at exit may log.
LevelRegistry & level_registry()
{
  static LevelRegistry * const registry = new LevelRegistry();
  return *registry;
}

const char * severity_name(Logger::Level level)
{
  switch (level) {
    case Logger::Level::Debug:
      return "DEBUG";
    case Logger::Level::Info:
      return "INFO";
    case Logger::Level::Warn:
      return "WARN";
    case Logger::Level::Error:
      return "ERROR";
    case Logger::Level::Fatal:
      return "FATAL";
    case Logger::Level::Unset:
      break;
  }
  return "UNSET";
}

std::string format_time()
{
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                    std::chrono::system_clock::now().time_since_epoch())
                    .count();
  char buffer[32];
  std::snprintf(
    buffer, sizeof(buffer), "%lld.%09lld", static_cast<long long>(ns / 1000000000LL),
    static_cast<long long>(ns % 1000000000LL));
  return buffer;
}

std::string render(
  const std::string & layout, const Logger & logger, Logger::Level level,
  const detail::LogLocation & location, const std::string & message)
{
  const std::map<std::string, std::string> tokens = {
    {"severity", severity_name(level)},
    {"time", format_time()},
    {"name", logger.get_name()},
    {"message", message},
    {"function_name", location.function_name},
    {"file_name", location.file_name},
    {"line_number", std::to_string(location.line_number)},
  };
  std::string out;
  size_t pos = 0;
  while (pos < layout.size()) {
    const size_t open = layout.find('{', pos);
    if (open == std::string::npos) {
      out.append(layout, pos, std::string::npos);
      break;
    }
    const size_t close = layout.find('}', open);
    if (close == std::string::npos) {
      out.append(layout, pos, std::string::npos);
      break;
    }
    out.append(layout, pos, open - pos);
    const auto token = tokens.find(layout.substr(open + 1, close - open - 1));
    if (token != tokens.end()) {
      out += token->second;
    } else {
      out.append(layout, open, close - open + 1);
    }
    pos = close + 1;
  }
  return out;
}

}  // namespace

Logger::Logger(const std::string & name) : name_(std::make_shared<const std::string>(name)) {}

const char * Logger::get_name() const { return name_->c_str(); }

Logger Logger::get_child(const std::string & suffix) { return Logger(*name_ + "." + suffix); }

void Logger::set_level(Level level)
{
  LevelRegistry & registry = level_registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.levels[*name_] = level;
}

Logger::Level Logger::get_effective_level() const
{
  LevelRegistry & registry = level_registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::string name = *name_;
  while (true) {
    const auto it = registry.levels.find(name);
    if (it != registry.levels.end() && it->second != Level::Unset) {
      return it->second;
    }
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
      break;
    }
    name.resize(dot);
  }
  return Level::Info;
}

Logger get_logger(const std::string & name) { return Logger(name); }

namespace detail
{

bool logging_enabled(const Logger & logger, Logger::Level level)
{
  return static_cast<int>(level) >= static_cast<int>(logger.get_effective_level());
}

void log_message(
  const Logger & logger, Logger::Level level, const LogLocation & location,
  const std::string & message)
{
  const char * layout_env = std::getenv("RCUTILS_CONSOLE_OUTPUT_FORMAT");
  const std::string layout = (layout_env != nullptr && layout_env[0] != '\0')
                               ? layout_env
                               : "[{severity}] [{time}] [{name}]: {message}";
  const char * stdout_env = std::getenv("RCUTILS_LOGGING_USE_STDOUT");
  FILE * stream = (stdout_env != nullptr && std::string(stdout_env) == "1") ? stdout : stderr;
  const std::string line = render(layout, logger, level, location, message) + "\n";
  static std::mutex * const output_mutex = new std::mutex();  // never destroyed, as above
  std::lock_guard<std::mutex> lock(*output_mutex);
  std::fputs(line.c_str(), stream);
  std::fflush(stream);
}

void log_format(
  const Logger & logger, Logger::Level level, const LogLocation & location, const char * format,
  ...)
{
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string message(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  if (size > 0) {
    std::vsnprintf(&message[0], message.size() + 1, format, args);
  }
  va_end(args);
  log_message(logger, level, location, message);
}

bool throttle_allows(rclcpp::Clock & clock, double period_ms, std::atomic<int64_t> & last)
{
  const int64_t now = clock.now().nanoseconds();
  int64_t previous = last.load();
  const auto period_ns = static_cast<int64_t>(period_ms * 1e6);
  if (previous != 0 && now - previous < period_ns) {
    return false;
  }
  return last.compare_exchange_strong(previous, now);
}

}  // namespace detail
}  // namespace rclcpp
