// rclcpp::Time: a point in time in integer nanoseconds, tagged with the clock it came from.
//
// Comparing or subtracting times of different clock types throws std::runtime_error.
// From an integer the default clock type is RCL_SYSTEM_TIME; from a message it is RCL_ROS_TIME.
#ifndef RCLCPP__TIME_HPP_
#define RCLCPP__TIME_HPP_

#include "builtin_interfaces/msg/time.hpp"
#include "rcl/time.h"
#include "rclcpp/duration.hpp"

namespace rclcpp
{

class Time
{
public:
  // Throws std::runtime_error for negative seconds.
  Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  explicit Time(int64_t nanoseconds = 0, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  Time(const Time & rhs) = default;
  // Throws std::runtime_error for negative seconds.
  Time(  // NOLINT: implicit on purpose
    const builtin_interfaces::msg::Time & time_msg, rcl_clock_type_t clock_type = RCL_ROS_TIME);
  explicit Time(const rcl_time_point_t & time_point);
  virtual ~Time() = default;

  operator builtin_interfaces::msg::Time() const;

  Time & operator=(const Time & rhs) = default;
  Time & operator=(const builtin_interfaces::msg::Time & time_msg);

  bool operator==(const Time & rhs) const;
  bool operator!=(const Time & rhs) const;
  bool operator<(const Time & rhs) const;
  bool operator<=(const Time & rhs) const;
  bool operator>=(const Time & rhs) const;
  bool operator>(const Time & rhs) const;

  Time operator+(const rclcpp::Duration & rhs) const;
  Duration operator-(const rclcpp::Time & rhs) const;
  Time operator-(const rclcpp::Duration & rhs) const;
  Time & operator+=(const rclcpp::Duration & rhs);
  Time & operator-=(const rclcpp::Duration & rhs);

  rcl_time_point_value_t nanoseconds() const;
  static Time max();
  double seconds() const;
  rcl_clock_type_t get_clock_type() const;

private:
  void require_same_clock(const Time & rhs, const char * what) const;

  rcl_time_point_t rcl_time_;
};

Time operator+(const rclcpp::Duration & lhs, const rclcpp::Time & rhs);

}  // namespace rclcpp

#endif  // RCLCPP__TIME_HPP_
