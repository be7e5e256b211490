// rclcpp::Clock: reads ROS, system or steady time. Here ROS time is always the system time
// (no simulated /clock source exists in-process).
#ifndef RCLCPP__CLOCK_HPP_
#define RCLCPP__CLOCK_HPP_

#include "rcl/time.h"
#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/time.hpp"

namespace rclcpp
{

class Clock
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Clock)

  explicit Clock(rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  virtual ~Clock() = default;

  Time now();
  rcl_clock_type_t get_clock_type() const noexcept;
  bool ros_time_is_active();

  // Sleep unless the context shuts down first; true when the target was reached.
  bool sleep_until(Time until, Context::SharedPtr context = contexts::get_global_default_context());
  bool sleep_for(
    Duration rel_time, Context::SharedPtr context = contexts::get_global_default_context());

private:
  rcl_clock_type_t clock_type_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLOCK_HPP_
