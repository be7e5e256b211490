// rclcpp::Clock: reads ROS, system or steady time. ROS time is the system time unless a time
// source (simulated time) overrides it through the rcl ROS time override on get_clock_handle();
// jump handlers hear of every such change that passes their threshold.
#ifndef RCLCPP__CLOCK_HPP_
#define RCLCPP__CLOCK_HPP_

#include <functional>
#include <memory>
#include <mutex>

#include "rcl/time.h"
#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/time.hpp"

namespace rclcpp
{

class JumpHandler
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(JumpHandler)

  using pre_callback_t = std::function<void()>;
  using post_callback_t = std::function<void(const rcl_time_jump_t &)>;

  JumpHandler(
    pre_callback_t pre_callback, post_callback_t post_callback,
    const rcl_jump_threshold_t & threshold);

  pre_callback_t pre_callback;
  post_callback_t post_callback;
  rcl_jump_threshold_t notice_threshold;
};

class Clock
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Clock)

  explicit Clock(rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  virtual ~Clock();

  Time now();
  rcl_clock_type_t get_clock_type() const noexcept;
  // Whether the ROS time override is enabled; false for other clock types.
  bool ros_time_is_active();
  rcl_clock_t * get_clock_handle() noexcept;
  // Held by whoever drives the override, so that a time change and its reading do not interleave.
  std::mutex & get_clock_mutex() noexcept;

  // Sleep unless the context shuts down first; true when the target was reached.
  bool sleep_until(Time until, Context::SharedPtr context = contexts::get_global_default_context());
  bool sleep_for(
    Duration rel_time, Context::SharedPtr context = contexts::get_global_default_context());

  // The callbacks run before and after each jump that passes `threshold`, for as long as the
  // returned handler lives. Throws std::invalid_argument for a negative min_forward or a positive
  // min_backward.
  JumpHandler::SharedPtr create_jump_callback(
    JumpHandler::pre_callback_t pre_callback, JumpHandler::post_callback_t post_callback,
    const rcl_jump_threshold_t & threshold);

private:
  class Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLOCK_HPP_
