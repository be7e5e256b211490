// rclcpp::Logger: a named logger with its own severity threshold (default INFO).
#ifndef RCLCPP__LOGGER_HPP_
#define RCLCPP__LOGGER_HPP_

#include <memory>
#include <string>

namespace rclcpp
{

class Logger
{
public:
  enum class Level
  {
    Unset = 0,
    Debug = 10,
    Info = 20,
    Warn = 30,
    Error = 40,
    Fatal = 50,
  };

  Logger(const Logger &) = default;
  Logger & operator=(const Logger &) = default;

  const char * get_name() const;
  // The logger "<name>.<suffix>".
  Logger get_child(const std::string & suffix);
  void set_level(Level level);
  // The threshold in force: the logger's own, else its nearest ancestor's, else INFO.
  Level get_effective_level() const;

private:
  friend Logger get_logger(const std::string & name);
  explicit Logger(const std::string & name);

  std::shared_ptr<const std::string> name_;
};

Logger get_logger(const std::string & name);

}  // namespace rclcpp

#endif  // RCLCPP__LOGGER_HPP_
