// int64 arithmetic of Time and Duration that throws instead of wrapping.
#ifndef RCLCPP__DETAIL__CHECKED_MATH_HPP_
#define RCLCPP__DETAIL__CHECKED_MATH_HPP_

#include <cstdint>

namespace rclcpp
{
namespace detail
{

// Throw std::overflow_error / std::underflow_error naming `what` when the result leaves int64.
int64_t checked_add(int64_t lhs, int64_t rhs, const char * what);
int64_t checked_sub(int64_t lhs, int64_t rhs, const char * what);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__CHECKED_MATH_HPP_
