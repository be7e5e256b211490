#include "rclcpp/detail/checked_math.hpp"

#include <stdexcept>
#include <string>

namespace rclcpp
{
namespace detail
{

int64_t checked_add(int64_t lhs, int64_t rhs, const char * what)
{
  int64_t result = 0;
  if (__builtin_add_overflow(lhs, rhs, &result)) {
    if (rhs > 0) {
      throw std::overflow_error(std::string(what) + " addition leads to int64_t overflow");
    }
    throw std::underflow_error(std::string(what) + " addition leads to int64_t underflow");
  }
  return result;
}

int64_t checked_sub(int64_t lhs, int64_t rhs, const char * what)
{
  int64_t result = 0;
  if (__builtin_sub_overflow(lhs, rhs, &result)) {
    if (rhs < 0) {
      throw std::overflow_error(std::string(what) + " subtraction leads to int64_t overflow");
    }
    throw std::underflow_error(std::string(what) + " subtraction leads to int64_t underflow");
  }
  return result;
}

}  // namespace detail
}  // namespace rclcpp
