// Exceptions of the rclcpp API that callers may catch by name.
#ifndef RCLCPP__EXCEPTIONS_HPP_
#define RCLCPP__EXCEPTIONS_HPP_

#include <cstddef>
#include <stdexcept>
#include <string>

namespace rclcpp
{
namespace exceptions
{

// A node, namespace, topic or service name that does not follow the ROS 2 naming rules.
// The text names the kind of name, the rule broken, the name and the offending position.
class NameValidationError : public std::invalid_argument
{
public:
  NameValidationError(
    const char * name_type_, const char * name_, const char * error_msg_, size_t invalid_index_);

  static std::string format_error(
    const char * name_type, const char * name, const char * error_msg, size_t invalid_index);

  const std::string name_type;
  const std::string name;
  const std::string error_msg;
  const size_t invalid_index;
};

class InvalidNodeNameError : public NameValidationError
{
public:
  InvalidNodeNameError(const char * node_name, const char * error_msg, size_t invalid_index);
};

class InvalidNamespaceError : public NameValidationError
{
public:
  InvalidNamespaceError(const char * namespace_, const char * error_msg, size_t invalid_index);
};

class InvalidTopicNameError : public NameValidationError
{
public:
  InvalidTopicNameError(const char * topic_name, const char * error_msg, size_t invalid_index);
};

class InvalidServiceNameError : public NameValidationError
{
public:
  InvalidServiceNameError(const char * service_name, const char * error_msg, size_t invalid_index);
};

// A request the middleware layer refuses, e.g. creating an entity on a context that has shut down.
class RCLError : public std::runtime_error
{
public:
  explicit RCLError(const std::string & message);
};

}  // namespace exceptions
}  // namespace rclcpp

#endif  // RCLCPP__EXCEPTIONS_HPP_
