// rclcpp::Duration: a signed span of time in integer nanoseconds.
#ifndef RCLCPP__DURATION_HPP_
#define RCLCPP__DURATION_HPP_

#include <chrono>

#include "builtin_interfaces/msg/duration.hpp"
#include "rcl/time.h"
#include "rmw/types.h"

namespace rclcpp
{

class Duration
{
public:
  Duration(int32_t seconds, uint32_t nanoseconds);
  explicit Duration(std::chrono::nanoseconds nanoseconds);

  template <class Rep, class Period>
  Duration(const std::chrono::duration<Rep, Period> & duration)  // NOLINT: implicit on purpose
  : Duration(std::chrono::duration_cast<std::chrono::nanoseconds>(duration))
  {
  }

  Duration(const builtin_interfaces::msg::Duration & duration_msg);  // NOLINT: implicit
  explicit Duration(const rcl_duration_t & duration);
  Duration(const Duration & rhs) = default;
  virtual ~Duration() = default;

  // Saturates at the limits of the message's 32-bit seconds.
  operator builtin_interfaces::msg::Duration() const;

  Duration & operator=(const Duration & rhs) = default;
  Duration & operator=(const builtin_interfaces::msg::Duration & duration_msg);

  bool operator==(const Duration & rhs) const;
  bool operator!=(const Duration & rhs) const;
  bool operator<(const Duration & rhs) const;
  bool operator<=(const Duration & rhs) const;
  bool operator>=(const Duration & rhs) const;
  bool operator>(const Duration & rhs) const;

  // Throw std::overflow_error / std::underflow_error when the result leaves int64.
  Duration operator+(const Duration & rhs) const;
  Duration operator-(const Duration & rhs) const;
  // Throws std::runtime_error for a non-finite scale; truncates toward zero.
  Duration operator*(double scale) const;

  static Duration max();
  rcl_duration_value_t nanoseconds() const;
  double seconds() const;
  // Truncates toward zero.
  static Duration from_seconds(double seconds);
  static Duration from_nanoseconds(rcl_duration_value_t nanoseconds);
  static Duration from_rmw_time(rmw_time_t duration);

  template <class DurationT>
  DurationT to_chrono() const
  {
    return std::chrono::duration_cast<DurationT>(
      std::chrono::nanoseconds(rcl_duration_.nanoseconds));
  }

  rmw_time_t to_rmw_time() const;

private:
  friend class Time;
  Duration() = default;

  rcl_duration_t rcl_duration_{0};
};

}  // namespace rclcpp

#endif  // RCLCPP__DURATION_HPP_
