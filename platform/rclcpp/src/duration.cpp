#include "rclcpp/duration.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "rclcpp/detail/checked_math.hpp"

namespace rclcpp
{

namespace
{
constexpr int64_t kNanosPerSecond = 1000000000LL;
}  // namespace

Duration::Duration(int32_t seconds, uint32_t nanoseconds)
{
  rcl_duration_.nanoseconds = static_cast<int64_t>(seconds) * kNanosPerSecond + nanoseconds;
}

Duration::Duration(std::chrono::nanoseconds nanoseconds)
{
  rcl_duration_.nanoseconds = nanoseconds.count();
}

Duration::Duration(const builtin_interfaces::msg::Duration & duration_msg)
{
  rcl_duration_.nanoseconds =
    static_cast<int64_t>(duration_msg.sec) * kNanosPerSecond + duration_msg.nanosec;
}

Duration::Duration(const rcl_duration_t & duration) : rcl_duration_(duration) {}

Duration::operator builtin_interfaces::msg::Duration() const
{
  builtin_interfaces::msg::Duration msg;
  constexpr int64_t kMaxSec = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMinSec = std::numeric_limits<int32_t>::min();
  const int64_t ns = rcl_duration_.nanoseconds;
  int64_t sec = ns / kNanosPerSecond;
  int64_t rem = ns % kNanosPerSecond;
  if (rem < 0) {
    sec -= 1;
    rem += kNanosPerSecond;
  }
  if (sec > kMaxSec) {
    msg.sec = static_cast<int32_t>(kMaxSec);
    msg.nanosec = static_cast<uint32_t>(kNanosPerSecond - 1);
  } else if (sec < kMinSec) {
    msg.sec = static_cast<int32_t>(kMinSec);
    msg.nanosec = 0;
  } else {
    msg.sec = static_cast<int32_t>(sec);
    msg.nanosec = static_cast<uint32_t>(rem);
  }
  return msg;
}

Duration & Duration::operator=(const builtin_interfaces::msg::Duration & duration_msg)
{
  *this = Duration(duration_msg);
  return *this;
}

bool Duration::operator==(const Duration & rhs) const
{
  return rcl_duration_.nanoseconds == rhs.rcl_duration_.nanoseconds;
}

bool Duration::operator!=(const Duration & rhs) const { return !(*this == rhs); }

bool Duration::operator<(const Duration & rhs) const
{
  return rcl_duration_.nanoseconds < rhs.rcl_duration_.nanoseconds;
}

bool Duration::operator<=(const Duration & rhs) const { return !(rhs < *this); }

bool Duration::operator>=(const Duration & rhs) const { return !(*this < rhs); }

bool Duration::operator>(const Duration & rhs) const { return rhs < *this; }

Duration Duration::operator+(const Duration & rhs) const
{
  return from_nanoseconds(
    detail::checked_add(rcl_duration_.nanoseconds, rhs.rcl_duration_.nanoseconds, "duration"));
}

Duration Duration::operator-(const Duration & rhs) const
{
  return from_nanoseconds(
    detail::checked_sub(rcl_duration_.nanoseconds, rhs.rcl_duration_.nanoseconds, "duration"));
}

Duration Duration::operator*(double scale) const
{
  if (!std::isfinite(scale)) {
    throw std::runtime_error("abnormal scale in rclcpp::Duration");
  }
  const long double product = static_cast<long double>(rcl_duration_.nanoseconds) * scale;
  if (product > static_cast<long double>(std::numeric_limits<int64_t>::max())) {
    throw std::overflow_error("addition leads to int64_t overflow");
  }
  if (product < static_cast<long double>(std::numeric_limits<int64_t>::min())) {
    throw std::underflow_error("addition leads to int64_t underflow");
  }
  return from_nanoseconds(static_cast<int64_t>(product));
}

Duration Duration::max() { return Duration(std::numeric_limits<int32_t>::max(), 999999999); }

rcl_duration_value_t Duration::nanoseconds() const { return rcl_duration_.nanoseconds; }

double Duration::seconds() const
{
  return static_cast<double>(rcl_duration_.nanoseconds) / static_cast<double>(kNanosPerSecond);
}

Duration Duration::from_seconds(double seconds)
{
  Duration d;
  d.rcl_duration_.nanoseconds = static_cast<int64_t>(seconds * 1e9);
  return d;
}

Duration Duration::from_nanoseconds(rcl_duration_value_t nanoseconds)
{
  Duration d;
  d.rcl_duration_.nanoseconds = nanoseconds;
  return d;
}

Duration Duration::from_rmw_time(rmw_time_t duration)
{
  constexpr uint64_t kMaxSec = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) /
                               static_cast<uint64_t>(kNanosPerSecond);
  if (duration.sec > kMaxSec) {
    return from_nanoseconds(std::numeric_limits<int64_t>::max());
  }
  const uint64_t total = duration.sec * static_cast<uint64_t>(kNanosPerSecond);
  const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) - total;
  if (duration.nsec > limit) {
    return from_nanoseconds(std::numeric_limits<int64_t>::max());
  }
  return from_nanoseconds(static_cast<int64_t>(total + duration.nsec));
}

rmw_time_t Duration::to_rmw_time() const
{
  if (rcl_duration_.nanoseconds < 0) {
    throw std::runtime_error("rmw_time_t cannot be negative");
  }
  rmw_time_t result;
  result.sec = static_cast<uint64_t>(rcl_duration_.nanoseconds / kNanosPerSecond);
  result.nsec = static_cast<uint64_t>(rcl_duration_.nanoseconds % kNanosPerSecond);
  return result;
}

}  // namespace rclcpp
