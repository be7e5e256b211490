#include "rclcpp/clock.hpp"

#include <chrono>
#include <stdexcept>

#include "rclcpp/detail/notifier.hpp"

namespace rclcpp
{

Clock::Clock(rcl_clock_type_t clock_type) : clock_type_(clock_type)
{
  if (clock_type == RCL_CLOCK_UNINITIALIZED) {
    throw std::invalid_argument("rclcpp::Clock needs an initialized clock type");
  }
}

Time Clock::now()
{
  using std::chrono::duration_cast;
  using std::chrono::nanoseconds;
  int64_t ns = 0;
  if (clock_type_ == RCL_STEADY_TIME) {
    ns = duration_cast<nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  } else {
    ns = duration_cast<nanoseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  }
  return Time(ns, clock_type_);
}

rcl_clock_type_t Clock::get_clock_type() const noexcept { return clock_type_; }

bool Clock::ros_time_is_active() { return false; }

bool Clock::sleep_until(Time until, Context::SharedPtr context)
{
  if (until.get_clock_type() != clock_type_) {
    throw std::runtime_error("sleep_until Time clock_type does not match this clock's type");
  }
  const Duration remaining = until - now();
  if (remaining.nanoseconds() <= 0) {
    return true;
  }
  const auto deadline = detail::deadline_after(std::chrono::nanoseconds(remaining.nanoseconds()));
  const bool interrupted =
    detail::wait_for_condition([&context] { return !context->is_valid(); }, deadline);
  return !interrupted;
}

bool Clock::sleep_for(Duration rel_time, Context::SharedPtr context)
{
  return sleep_until(now() + rel_time, context);
}

}  // namespace rclcpp
