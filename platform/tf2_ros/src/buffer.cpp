#include "tf2_ros/buffer.h"

#include <chrono>
#include <stdexcept>

#include "rclcpp/logging.hpp"
#include "rclcpp/utilities.hpp"

namespace tf2_ros
{
namespace
{
constexpr char kThreadErrorText[] =
  "Do not call canTransform or lookupTransform with a timeout unless you are using another "
  "thread for populating data. Without a dedicated thread it will always timeout.  If you have "
  "a separate thread servicing tf messages, call setUsingDedicatedThread(true) on your Buffer "
  "instance.";

rclcpp::Logger logger() { return rclcpp::get_logger("tf2_buffer"); }

// Longest single wait between two looks at the clock, which may not be the wall clock.
constexpr std::chrono::milliseconds kClockCheckInterval(10);
}  // namespace

Buffer::Buffer(rclcpp::Clock::SharedPtr clock, tf2::Duration cache_time)
: BufferCore(cache_time), clock_(std::move(clock))
{
  if (!clock_) {
    throw std::invalid_argument("clock must be a valid instance");
  }
  rcl_jump_threshold_t threshold{};
  threshold.on_clock_change = true;
  threshold.min_forward.nanoseconds = 0;    // forward jumps are ordinary progress
  threshold.min_backward.nanoseconds = -1;  // any step back
  jump_handler_ = clock_->create_jump_callback(
    nullptr, [this](const rcl_time_jump_t & jump) { onTimeJump(jump); }, threshold);
}

void Buffer::onTimeJump(const rcl_time_jump_t & jump)
{
  if (
    jump.clock_change == RCL_ROS_TIME_ACTIVATED || jump.clock_change == RCL_ROS_TIME_DEACTIVATED) {
    RCLCPP_WARN(logger(), "Detected time source change. Clearing TF buffer.");
    clear();
  } else if (jump.delta.nanoseconds < 0) {
    RCLCPP_WARN(logger(), "Detected jump back in time. Clearing TF buffer.");
    clear();
  }
}

geometry_msgs::msg::TransformStamped Buffer::lookupTransform(
  const std::string & target_frame, const std::string & source_frame, const tf2::TimePoint & time,
  const tf2::Duration timeout) const
{
  canTransform(target_frame, source_frame, time, timeout);
  return lookupTransform(target_frame, source_frame, time);
}

geometry_msgs::msg::TransformStamped Buffer::lookupTransform(
  const std::string & target_frame, const std::string & source_frame, const rclcpp::Time & time,
  const rclcpp::Duration timeout) const
{
  return lookupTransform(target_frame, source_frame, fromRclcpp(time), fromRclcpp(timeout));
}

bool Buffer::canTransform(
  const std::string & target_frame, const std::string & source_frame,
  const tf2::TimePoint & target_time, const tf2::Duration timeout, std::string * errstr) const
{
  if (!checkAndErrorDedicatedThreadPresent(errstr)) {
    return false;
  }
  const rclcpp::Time start = clock_->now();
  const rclcpp::Duration limit(timeout);
  const rclcpp::Duration jump_back_limit(std::chrono::seconds(3));
  for (;;) {
    // Read the count first so that a transform stored during the check still wakes the wait.
    const std::uint64_t seen = updateCount();
    if (BufferCore::canTransform(target_frame, source_frame, target_time, errstr)) {
      return true;
    }
    const rclcpp::Time now = clock_->now();
    if (!rclcpp::ok() || now >= start + limit || now + jump_back_limit < start) {
      return false;
    }
    waitForUpdate(seen, kClockCheckInterval);
  }
}

bool Buffer::canTransform(
  const std::string & target_frame, const std::string & source_frame, const rclcpp::Time & time,
  const rclcpp::Duration timeout, std::string * errstr) const
{
  return canTransform(target_frame, source_frame, fromRclcpp(time), fromRclcpp(timeout), errstr);
}

bool Buffer::checkAndErrorDedicatedThreadPresent(std::string * errstr) const
{
  if (isUsingDedicatedThread()) {
    return true;
  }
  if (errstr) {
    *errstr = kThreadErrorText;
  }
  RCLCPP_ERROR(logger(), "%s", kThreadErrorText);
  return false;
}
}  // namespace tf2_ros
