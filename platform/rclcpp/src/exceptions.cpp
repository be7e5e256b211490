#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace exceptions
{

NameValidationError::NameValidationError(
  const char * name_type_, const char * name_, const char * error_msg_, size_t invalid_index_)
: std::invalid_argument(format_error(name_type_, name_, error_msg_, invalid_index_))
, name_type(name_type_)
, name(name_)
, error_msg(error_msg_)
, invalid_index(invalid_index_)
{
}

std::string NameValidationError::format_error(
  const char * name_type, const char * name, const char * error_msg, size_t invalid_index)
{
  return std::string("Invalid ") + name_type + ": " + error_msg + ":\n  '" + name + "'\n   " +
         std::string(invalid_index, ' ') + "^\n";
}

InvalidNodeNameError::InvalidNodeNameError(
  const char * node_name, const char * error_msg, size_t invalid_index)
: NameValidationError("node name", node_name, error_msg, invalid_index)
{
}

InvalidNamespaceError::InvalidNamespaceError(
  const char * namespace_, const char * error_msg, size_t invalid_index)
: NameValidationError("namespace", namespace_, error_msg, invalid_index)
{
}

InvalidTopicNameError::InvalidTopicNameError(
  const char * topic_name, const char * error_msg, size_t invalid_index)
: NameValidationError("topic name", topic_name, error_msg, invalid_index)
{
}

InvalidServiceNameError::InvalidServiceNameError(
  const char * service_name, const char * error_msg, size_t invalid_index)
: NameValidationError("service name", service_name, error_msg, invalid_index)
{
}

RCLError::RCLError(const std::string & message) : std::runtime_error(message) {}

}  // namespace exceptions
}  // namespace rclcpp
