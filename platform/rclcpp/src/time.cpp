#include "rclcpp/time.hpp"

#include <limits>
#include <stdexcept>
#include <string>

#include "rclcpp/detail/checked_math.hpp"

namespace rclcpp
{

namespace
{
constexpr int64_t kNanosPerSecond = 1000000000LL;

int64_t from_parts(int32_t seconds, uint32_t nanoseconds)
{
  if (seconds < 0) {
    throw std::runtime_error("cannot store a negative time point in rclcpp::Time");
  }
  return static_cast<int64_t>(seconds) * kNanosPerSecond + nanoseconds;
}
}  // namespace

Time::Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type)
: rcl_time_{from_parts(seconds, nanoseconds), clock_type}
{
}

Time::Time(int64_t nanoseconds, rcl_clock_type_t clock_type) : rcl_time_{nanoseconds, clock_type} {}

Time::Time(const builtin_interfaces::msg::Time & time_msg, rcl_clock_type_t clock_type)
: rcl_time_{from_parts(time_msg.sec, time_msg.nanosec), clock_type}
{
}

Time::Time(const rcl_time_point_t & time_point) : rcl_time_(time_point) {}

Time::operator builtin_interfaces::msg::Time() const
{
  builtin_interfaces::msg::Time msg;
  int64_t sec = rcl_time_.nanoseconds / kNanosPerSecond;
  int64_t rem = rcl_time_.nanoseconds % kNanosPerSecond;
  if (rem < 0) {
    sec -= 1;
    rem += kNanosPerSecond;
  }
  msg.sec = static_cast<int32_t>(sec);
  msg.nanosec = static_cast<uint32_t>(rem);
  return msg;
}

Time & Time::operator=(const builtin_interfaces::msg::Time & time_msg)
{
  *this = Time(time_msg);
  return *this;
}

void Time::require_same_clock(const Time & rhs, const char * what) const
{
  if (rcl_time_.clock_type != rhs.rcl_time_.clock_type) {
    throw std::runtime_error(
      std::string("can't ") + what + " times with different time sources [" +
      std::to_string(rcl_time_.clock_type) + " != " + std::to_string(rhs.rcl_time_.clock_type) +
      "]");
  }
}

bool Time::operator==(const Time & rhs) const
{
  require_same_clock(rhs, "compare");
  return rcl_time_.nanoseconds == rhs.rcl_time_.nanoseconds;
}

bool Time::operator!=(const Time & rhs) const { return !(*this == rhs); }

bool Time::operator<(const Time & rhs) const
{
  require_same_clock(rhs, "compare");
  return rcl_time_.nanoseconds < rhs.rcl_time_.nanoseconds;
}

bool Time::operator<=(const Time & rhs) const { return !(rhs < *this); }

bool Time::operator>=(const Time & rhs) const { return !(*this < rhs); }

bool Time::operator>(const Time & rhs) const { return rhs < *this; }

Time Time::operator+(const rclcpp::Duration & rhs) const
{
  return Time(
    detail::checked_add(rcl_time_.nanoseconds, rhs.nanoseconds(), "time"), rcl_time_.clock_type);
}

Duration Time::operator-(const rclcpp::Time & rhs) const
{
  require_same_clock(rhs, "subtract");
  return Duration::from_nanoseconds(
    detail::checked_sub(rcl_time_.nanoseconds, rhs.rcl_time_.nanoseconds, "time"));
}

Time Time::operator-(const rclcpp::Duration & rhs) const
{
  return Time(
    detail::checked_sub(rcl_time_.nanoseconds, rhs.nanoseconds(), "time"), rcl_time_.clock_type);
}

Time & Time::operator+=(const rclcpp::Duration & rhs)
{
  *this = *this + rhs;
  return *this;
}

Time & Time::operator-=(const rclcpp::Duration & rhs)
{
  *this = *this - rhs;
  return *this;
}

rcl_time_point_value_t Time::nanoseconds() const { return rcl_time_.nanoseconds; }

Time Time::max() { return Time(std::numeric_limits<int32_t>::max(), 999999999); }

double Time::seconds() const
{
  return static_cast<double>(rcl_time_.nanoseconds) / static_cast<double>(kNanosPerSecond);
}

rcl_clock_type_t Time::get_clock_type() const { return rcl_time_.clock_type; }

Time operator+(const rclcpp::Duration & lhs, const rclcpp::Time & rhs) { return rhs + lhs; }

}  // namespace rclcpp
