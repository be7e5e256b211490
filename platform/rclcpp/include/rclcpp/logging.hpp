// printf-style logging macros: RCLCPP_{DEBUG,INFO,WARN,ERROR,FATAL}, their _STREAM, _ONCE
// and _THROTTLE forms.
//
// A record is written to stderr (stdout when RCUTILS_LOGGING_USE_STDOUT=1) as
// "[SEVERITY] [seconds.nanoseconds] [logger name]: message"; RCUTILS_CONSOLE_OUTPUT_FORMAT,
// when set, replaces that layout ({severity} {time} {name} {message} {function_name}
// {file_name} {line_number}).
#ifndef RCLCPP__LOGGING_HPP_
#define RCLCPP__LOGGING_HPP_

#include <atomic>
#include <sstream>
#include <string>
#include <type_traits>

#include "rclcpp/clock.hpp"
#include "rclcpp/logger.hpp"

namespace rclcpp
{
namespace detail
{

struct LogLocation
{
  const char * function_name;
  const char * file_name;
  int line_number;
};

bool logging_enabled(const Logger & logger, Logger::Level level);
void log_message(
  const Logger & logger, Logger::Level level, const LogLocation & location,
  const std::string & message);
void log_format(
  const Logger & logger, Logger::Level level, const LogLocation & location, const char * format,
  ...) __attribute__((format(printf, 4, 5)));
// True at most once per `period_ms` of `clock` time for one call site's `last` stamp.
bool throttle_allows(rclcpp::Clock & clock, double period_ms, std::atomic<int64_t> & last);

}  // namespace detail
}  // namespace rclcpp

#define RCLCPP_DETAIL_CHECK_LOGGER(logger)                                           \
  static_assert(                                                                     \
    ::std::is_same<                                                                  \
      typename std::remove_cv_t<typename std::remove_reference_t<decltype(logger)>>, \
      ::rclcpp::Logger>::value,                                                      \
    "First argument to logging macros must be an rclcpp::Logger")

#define RCLCPP_DETAIL_LOCATION \
  ::rclcpp::detail::LogLocation { __func__, __FILE__, __LINE__ }

#define RCLCPP_DETAIL_LOG(level, logger, ...)                                           \
  do {                                                                                  \
    RCLCPP_DETAIL_CHECK_LOGGER(logger);                                                 \
    if (::rclcpp::detail::logging_enabled(logger, level)) {                             \
      ::rclcpp::detail::log_format(logger, level, RCLCPP_DETAIL_LOCATION, __VA_ARGS__); \
    }                                                                                   \
  } while (0)

#define RCLCPP_DETAIL_LOG_STREAM(level, logger, stream_arg)              \
  do {                                                                   \
    RCLCPP_DETAIL_CHECK_LOGGER(logger);                                  \
    if (::rclcpp::detail::logging_enabled(logger, level)) {              \
      std::stringstream rclcpp_stream_ss_;                               \
      rclcpp_stream_ss_ << stream_arg;                                   \
      ::rclcpp::detail::log_message(                                     \
        logger, level, RCLCPP_DETAIL_LOCATION, rclcpp_stream_ss_.str()); \
    }                                                                    \
  } while (0)

#define RCLCPP_DETAIL_LOG_ONCE(level, logger, ...)       \
  do {                                                   \
    static std::atomic<bool> rclcpp_logged_once_{false}; \
    if (!rclcpp_logged_once_.exchange(true)) {           \
      RCLCPP_DETAIL_LOG(level, logger, __VA_ARGS__);     \
    }                                                    \
  } while (0)

#define RCLCPP_DETAIL_LOG_THROTTLE(level, logger, clock, duration, ...)              \
  do {                                                                               \
    static std::atomic<int64_t> rclcpp_throttle_last_{0};                            \
    if (::rclcpp::detail::throttle_allows(clock, duration, rclcpp_throttle_last_)) { \
      RCLCPP_DETAIL_LOG(level, logger, __VA_ARGS__);                                 \
    }                                                                                \
  } while (0)

#define RCLCPP_DEBUG(logger, ...) \
  RCLCPP_DETAIL_LOG(::rclcpp::Logger::Level::Debug, logger, __VA_ARGS__)
#define RCLCPP_INFO(logger, ...) \
  RCLCPP_DETAIL_LOG(::rclcpp::Logger::Level::Info, logger, __VA_ARGS__)
#define RCLCPP_WARN(logger, ...) \
  RCLCPP_DETAIL_LOG(::rclcpp::Logger::Level::Warn, logger, __VA_ARGS__)
#define RCLCPP_ERROR(logger, ...) \
  RCLCPP_DETAIL_LOG(::rclcpp::Logger::Level::Error, logger, __VA_ARGS__)
#define RCLCPP_FATAL(logger, ...) \
  RCLCPP_DETAIL_LOG(::rclcpp::Logger::Level::Fatal, logger, __VA_ARGS__)

#define RCLCPP_DEBUG_STREAM(logger, s) \
  RCLCPP_DETAIL_LOG_STREAM(::rclcpp::Logger::Level::Debug, logger, s)
#define RCLCPP_INFO_STREAM(logger, s) \
  RCLCPP_DETAIL_LOG_STREAM(::rclcpp::Logger::Level::Info, logger, s)
#define RCLCPP_WARN_STREAM(logger, s) \
  RCLCPP_DETAIL_LOG_STREAM(::rclcpp::Logger::Level::Warn, logger, s)
#define RCLCPP_ERROR_STREAM(logger, s) \
  RCLCPP_DETAIL_LOG_STREAM(::rclcpp::Logger::Level::Error, logger, s)
#define RCLCPP_FATAL_STREAM(logger, s) \
  RCLCPP_DETAIL_LOG_STREAM(::rclcpp::Logger::Level::Fatal, logger, s)

#define RCLCPP_DEBUG_ONCE(logger, ...) \
  RCLCPP_DETAIL_LOG_ONCE(::rclcpp::Logger::Level::Debug, logger, __VA_ARGS__)
#define RCLCPP_INFO_ONCE(logger, ...) \
  RCLCPP_DETAIL_LOG_ONCE(::rclcpp::Logger::Level::Info, logger, __VA_ARGS__)
#define RCLCPP_WARN_ONCE(logger, ...) \
  RCLCPP_DETAIL_LOG_ONCE(::rclcpp::Logger::Level::Warn, logger, __VA_ARGS__)
#define RCLCPP_ERROR_ONCE(logger, ...) \
  RCLCPP_DETAIL_LOG_ONCE(::rclcpp::Logger::Level::Error, logger, __VA_ARGS__)
#define RCLCPP_FATAL_ONCE(logger, ...) \
  RCLCPP_DETAIL_LOG_ONCE(::rclcpp::Logger::Level::Fatal, logger, __VA_ARGS__)

#define RCLCPP_DEBUG_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_DETAIL_LOG_THROTTLE(::rclcpp::Logger::Level::Debug, logger, clock, duration, __VA_ARGS__)
#define RCLCPP_INFO_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_DETAIL_LOG_THROTTLE(::rclcpp::Logger::Level::Info, logger, clock, duration, __VA_ARGS__)
#define RCLCPP_WARN_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_DETAIL_LOG_THROTTLE(::rclcpp::Logger::Level::Warn, logger, clock, duration, __VA_ARGS__)
#define RCLCPP_ERROR_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_DETAIL_LOG_THROTTLE(::rclcpp::Logger::Level::Error, logger, clock, duration, __VA_ARGS__)
#define RCLCPP_FATAL_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_DETAIL_LOG_THROTTLE(::rclcpp::Logger::Level::Fatal, logger, clock, duration, __VA_ARGS__)

#endif  // RCLCPP__LOGGING_HPP_
