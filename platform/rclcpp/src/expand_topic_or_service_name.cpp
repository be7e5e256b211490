#include "rclcpp/expand_topic_or_service_name.hpp"

#include <cctype>

#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace
{

constexpr size_t kMaxNameLength = 255;

bool is_alnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

struct Violation
{
  const char * message = nullptr;
  size_t index = 0;
};

// Rules of a name as the user writes it, before expansion.
Violation check_unexpanded(const std::string & name)
{
  if (name.empty()) {
    return {"must not be empty", 0};
  }
  if (name.size() > 1 && name.back() == '/') {
    return {"must not end with a forward slash", name.size() - 1};
  }
  if (name == "/") {
    return {"must not end with a forward slash", 0};
  }
  bool in_braces = false;
  size_t brace_start = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '{') {
      if (in_braces) {
        return {"must not contain nested braces", i};
      }
      in_braces = true;
      brace_start = i;
      continue;
    }
    if (c == '}') {
      if (!in_braces) {
        return {"must not contain an unmatched '}'", i};
      }
      in_braces = false;
      continue;
    }
    if (c == '~') {
      if (i != 0) {
        return {"may contain '~' only as its first character", i};
      }
      if (name.size() > 1 && name[1] != '/') {
        return {"must have a '/' after a leading '~'", 1};
      }
      continue;
    }
    if (c == '/') {
      if (in_braces) {
        return {"must not contain '/' inside a substitution", i};
      }
      if (i + 1 < name.size() && name[i + 1] == '/') {
        return {"must not contain repeated forward slashes", i + 1};
      }
      continue;
    }
    if (!is_alnum(c) && c != '_') {
      return {"must contain only alphanumerics, '_', '/', '~', '{' and '}'", i};
    }
    const bool token_start = i == 0 || name[i - 1] == '/';
    if (token_start && !in_braces && is_digit(c)) {
      return {"must not have a token that starts with a number", i};
    }
  }
  if (in_braces) {
    return {"must not contain an unmatched '{'", brace_start};
  }
  return {};
}

// Rules of a fully qualified name.
Violation check_fully_qualified(const std::string & name)
{
  if (name.empty() || name[0] != '/') {
    return {"must be absolute after expansion", 0};
  }
  if (name.size() > kMaxNameLength) {
    return {"must not be longer than 255 characters", kMaxNameLength};
  }
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '/') {
      if (i + 1 < name.size() && name[i + 1] == '/') {
        return {"must not contain repeated forward slashes", i + 1};
      }
      continue;
    }
    if (!is_alnum(c) && c != '_') {
      return {"must contain only alphanumerics, '_' and '/'", i};
    }
    if (name[i - 1] == '/' && is_digit(c)) {
      return {"must not have a token that starts with a number", i};
    }
  }
  if (name.size() > 1 && name.back() == '/') {
    return {"must not end with a forward slash", name.size() - 1};
  }
  return {};
}

[[noreturn]] void throw_name_error(const std::string & name, const Violation & v, bool is_service)
{
  if (is_service) {
    throw exceptions::InvalidServiceNameError(name.c_str(), v.message, v.index);
  }
  throw exceptions::InvalidTopicNameError(name.c_str(), v.message, v.index);
}

std::string replace_all(std::string text, const std::string & from, const std::string & to)
{
  size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

}  // namespace

std::string expand_topic_or_service_name(
  const std::string & name, const std::string & node_name, const std::string & namespace_,
  bool is_service)
{
  detail::validate_node_name(node_name);
  detail::validate_namespace(namespace_);
  const Violation before = check_unexpanded(name);
  if (before.message != nullptr) {
    throw_name_error(name, before, is_service);
  }
  const std::string ns_prefix = namespace_ == "/" ? "" : namespace_;
  std::string expanded = name;
  if (expanded[0] == '~') {
    expanded = ns_prefix + "/" + node_name + expanded.substr(1);
  }
  expanded = replace_all(expanded, "{node}", node_name);
  expanded = replace_all(expanded, "{ns}", namespace_);
  expanded = replace_all(expanded, "{namespace}", namespace_);
  if (expanded.find('{') != std::string::npos) {
    throw_name_error(
      name, {"must use only the substitutions {node}, {ns} and {namespace}", 0}, is_service);
  }
  if (expanded[0] != '/') {
    expanded = ns_prefix + "/" + expanded;
  }
  const Violation after = check_fully_qualified(expanded);
  if (after.message != nullptr) {
    throw_name_error(name, after, is_service);
  }
  return expanded;
}

namespace detail
{

void validate_node_name(const std::string & node_name)
{
  if (node_name.empty()) {
    throw exceptions::InvalidNodeNameError(node_name.c_str(), "must not be empty", 0);
  }
  if (node_name.size() > kMaxNameLength) {
    throw exceptions::InvalidNodeNameError(
      node_name.c_str(), "must not be longer than 255 characters", kMaxNameLength);
  }
  for (size_t i = 0; i < node_name.size(); ++i) {
    if (!is_alnum(node_name[i]) && node_name[i] != '_') {
      throw exceptions::InvalidNodeNameError(
        node_name.c_str(), "must contain only alphanumerics and '_'", i);
    }
  }
  if (is_digit(node_name[0])) {
    throw exceptions::InvalidNodeNameError(node_name.c_str(), "must not start with a number", 0);
  }
}

void validate_namespace(const std::string & namespace_)
{
  if (namespace_ == "/") {
    return;
  }
  const Violation v = check_fully_qualified(namespace_);
  if (v.message != nullptr) {
    throw exceptions::InvalidNamespaceError(namespace_.c_str(), v.message, v.index);
  }
}

std::string normalize_namespace(const std::string & namespace_)
{
  if (namespace_.empty()) {
    return "/";
  }
  if (namespace_[0] != '/') {
    return "/" + namespace_;
  }
  return namespace_;
}

}  // namespace detail
}  // namespace rclcpp
