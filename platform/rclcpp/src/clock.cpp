#include "rclcpp/clock.hpp"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>
#include <vector>

#include "rclcpp/detail/notifier.hpp"

// The state of one clock: its type, the ROS time override and the jump handlers to tell.
struct rcl_clock_s
{
  explicit rcl_clock_s(rcl_clock_type_t clock_type) : type(clock_type) {}

  const rcl_clock_type_t type;
  std::mutex mutex;  // guards the members below
  bool override_active = false;
  rcl_time_point_value_t override_value = 0;
  std::vector<std::weak_ptr<rclcpp::JumpHandler>> handlers;
};

namespace
{
bool passes(const rcl_jump_threshold_t & threshold, const rcl_time_jump_t & jump)
{
  const bool clock_change =
    jump.clock_change == RCL_ROS_TIME_ACTIVATED || jump.clock_change == RCL_ROS_TIME_DEACTIVATED;
  return (clock_change && threshold.on_clock_change) ||
         (threshold.min_forward.nanoseconds > 0 &&
          jump.delta.nanoseconds >= threshold.min_forward.nanoseconds) ||
         (threshold.min_backward.nanoseconds < 0 &&
          jump.delta.nanoseconds <= threshold.min_backward.nanoseconds);
}

// Runs outside the clock's lock, so that a callback may read the clock.
void callHandlers(rcl_clock_t & clock, const rcl_time_jump_t & jump, bool before_jump)
{
  std::vector<rclcpp::JumpHandler::SharedPtr> due;
  {
    std::lock_guard<std::mutex> lock(clock.mutex);
    for (const auto & weak : clock.handlers) {
      auto handler = weak.lock();
      if (handler && passes(handler->notice_threshold, jump)) {
        due.push_back(std::move(handler));
      }
    }
  }
  for (const auto & handler : due) {
    if (before_jump && handler->pre_callback) {
      handler->pre_callback();
    } else if (!before_jump && handler->post_callback) {
      handler->post_callback(jump);
    }
  }
}

rcl_ret_t setOverrideActive(rcl_clock_t * clock, bool active)
{
  if (!clock || clock->type != RCL_ROS_TIME) {
    return RCL_RET_ERROR;
  }
  {
    std::lock_guard<std::mutex> lock(clock->mutex);
    if (clock->override_active == active) {
      return RCL_RET_OK;
    }
  }
  rcl_time_jump_t jump{};
  jump.clock_change = active ? RCL_ROS_TIME_ACTIVATED : RCL_ROS_TIME_DEACTIVATED;
  jump.delta.nanoseconds = 0;
  callHandlers(*clock, jump, true);
  {
    std::lock_guard<std::mutex> lock(clock->mutex);
    clock->override_active = active;
  }
  callHandlers(*clock, jump, false);
  return RCL_RET_OK;
}
}  // namespace

extern "C" {
rcl_ret_t rcl_enable_ros_time_override(rcl_clock_t * clock)
{
  return setOverrideActive(clock, true);
}

rcl_ret_t rcl_disable_ros_time_override(rcl_clock_t * clock)
{
  return setOverrideActive(clock, false);
}

rcl_ret_t rcl_is_enabled_ros_time_override(rcl_clock_t * clock, bool * is_enabled)
{
  if (!clock || !is_enabled) {
    return RCL_RET_INVALID_ARGUMENT;
  }
  if (clock->type != RCL_ROS_TIME) {
    return RCL_RET_ERROR;
  }
  std::lock_guard<std::mutex> lock(clock->mutex);
  *is_enabled = clock->override_active;
  return RCL_RET_OK;
}

rcl_ret_t rcl_set_ros_time_override(rcl_clock_t * clock, rcl_time_point_value_t time_value)
{
  if (!clock || clock->type != RCL_ROS_TIME) {
    return RCL_RET_ERROR;
  }
  rcl_time_jump_t jump{};
  jump.clock_change = RCL_ROS_TIME_NO_CHANGE;
  bool active = false;
  {
    std::lock_guard<std::mutex> lock(clock->mutex);
    active = clock->override_active;
    jump.delta.nanoseconds = time_value - clock->override_value;
  }
  if (active) {
    callHandlers(*clock, jump, true);
  }
  {
    std::lock_guard<std::mutex> lock(clock->mutex);
    clock->override_value = time_value;
  }
  if (active) {
    callHandlers(*clock, jump, false);
  }
  return RCL_RET_OK;
}
}  // extern "C"

namespace rclcpp
{

JumpHandler::JumpHandler(
  pre_callback_t pre_callback, post_callback_t post_callback,
  const rcl_jump_threshold_t & threshold)
: pre_callback(std::move(pre_callback))
, post_callback(std::move(post_callback))
, notice_threshold(threshold)
{
}

class Clock::Impl
{
public:
  explicit Impl(rcl_clock_type_t clock_type) : rcl_clock(clock_type) {}

  rcl_clock_t rcl_clock;
  std::mutex clock_mutex;
};

Clock::Clock(rcl_clock_type_t clock_type)
{
  if (clock_type == RCL_CLOCK_UNINITIALIZED) {
    throw std::invalid_argument("rclcpp::Clock needs an initialized clock type");
  }
  impl_ = std::make_shared<Impl>(clock_type);
}

Clock::~Clock() = default;

Time Clock::now()
{
  using std::chrono::duration_cast;
  using std::chrono::nanoseconds;
  rcl_clock_t & clock = impl_->rcl_clock;
  if (clock.type == RCL_ROS_TIME) {
    std::lock_guard<std::mutex> lock(clock.mutex);
    if (clock.override_active) {
      return Time(clock.override_value, clock.type);
    }
  }
  int64_t ns = 0;
  if (clock.type == RCL_STEADY_TIME) {
    ns = duration_cast<nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  } else {
    ns = duration_cast<nanoseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  }
  return Time(ns, clock.type);
}

rcl_clock_type_t Clock::get_clock_type() const noexcept { return impl_->rcl_clock.type; }

bool Clock::ros_time_is_active()
{
  bool is_enabled = false;
  return rcl_is_enabled_ros_time_override(&impl_->rcl_clock, &is_enabled) == RCL_RET_OK &&
         is_enabled;
}

rcl_clock_t * Clock::get_clock_handle() noexcept { return &impl_->rcl_clock; }

std::mutex & Clock::get_clock_mutex() noexcept { return impl_->clock_mutex; }

bool Clock::sleep_until(Time until, Context::SharedPtr context)
{
  if (until.get_clock_type() != get_clock_type()) {
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

JumpHandler::SharedPtr Clock::create_jump_callback(
  JumpHandler::pre_callback_t pre_callback, JumpHandler::post_callback_t post_callback,
  const rcl_jump_threshold_t & threshold)
{
  if (threshold.min_forward.nanoseconds < 0) {
    throw std::invalid_argument("forward jump threshold must be positive or zero");
  }
  if (threshold.min_backward.nanoseconds > 0) {
    throw std::invalid_argument("backward jump threshold must be negative or zero");
  }
  // The handler leaves the clock's list when its last owner lets go of it.
  const std::weak_ptr<Impl> weak_impl = impl_;
  JumpHandler::SharedPtr handler(
    new JumpHandler(std::move(pre_callback), std::move(post_callback), threshold),
    [weak_impl](JumpHandler * expiring) {
      if (const auto impl = weak_impl.lock()) {
        std::lock_guard<std::mutex> lock(impl->rcl_clock.mutex);
        auto & handlers = impl->rcl_clock.handlers;
        handlers.erase(
          std::remove_if(
            handlers.begin(), handlers.end(),
            [](const std::weak_ptr<JumpHandler> & weak) { return weak.expired(); }),
          handlers.end());
      }
      delete expiring;
    });
  std::lock_guard<std::mutex> lock(impl_->rcl_clock.mutex);
  impl_->rcl_clock.handlers.push_back(handler);
  return handler;
}

}  // namespace rclcpp
