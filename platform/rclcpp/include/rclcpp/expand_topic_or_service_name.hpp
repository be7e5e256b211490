// Name expansion and validation with the ROS 2 rules.
#ifndef RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_
#define RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_

#include <string>

namespace rclcpp
{

// Expands a topic or service name for a node into its fully qualified form: an absolute name
// ("/a/b") is kept, a relative one ("a/b") goes into the node's namespace, a private one
// ("~", "~/a") under the node's fully qualified name; "{node}" and "{ns}"/"{namespace}" are
// substituted. The name must be non-empty, use only alphanumerics, '_', '/', and '~' or
// braces where allowed, have no "//", no trailing '/', and no token starting with a digit.
// Throws rclcpp::exceptions::InvalidTopicNameError (InvalidServiceNameError when is_service)
// naming the input, or InvalidNodeNameError / InvalidNamespaceError for a bad node name or
// namespace.
std::string expand_topic_or_service_name(
  const std::string & name, const std::string & node_name, const std::string & namespace_,
  bool is_service = false);

namespace detail
{

// Throws InvalidNodeNameError: non-empty, alphanumerics and '_' only, no leading digit.
void validate_node_name(const std::string & node_name);
// Throws InvalidNamespaceError: absolute, same characters and token rules as topic names.
void validate_namespace(const std::string & namespace_);
// "" becomes "/", a relative namespace gets a leading '/'.
std::string normalize_namespace(const std::string & namespace_);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_
