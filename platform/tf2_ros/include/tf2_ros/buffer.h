#ifndef TF2_ROS__BUFFER_H_
#define TF2_ROS__BUFFER_H_

#include <memory>
#include <string>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/time.hpp"
#include "tf2/buffer_core.h"
#include "tf2/time.h"
#include "tf2_ros/buffer_interface.h"

namespace tf2_ros
{
// tf2::BufferCore with a clock: look-ups that wait up to a time-out, measured on that clock, for
// the transform to arrive. Waiting needs data fed from another thread (a TransformListener with
// its spin thread); otherwise every time-out overload logs an error and does not wait.
// When the clock jumps back, or switches to or from simulated time, the buffer is cleared: its
// data belongs to a time line that no longer exists.
class Buffer : public BufferInterface, public tf2::BufferCore
{
public:
  using tf2::BufferCore::canTransform;
  using tf2::BufferCore::lookupTransform;
  using SharedPtr = std::shared_ptr<tf2_ros::Buffer>;

  // Throws std::invalid_argument for a null clock.
  Buffer(
    rclcpp::Clock::SharedPtr clock,
    tf2::Duration cache_time = tf2::Duration(tf2::BUFFER_CORE_DEFAULT_CACHE_TIME));

  // Waits up to `timeout` for canTransform, then looks up; throws what BufferCore throws.
  geometry_msgs::msg::TransformStamped lookupTransform(
    const std::string & target_frame, const std::string & source_frame, const tf2::TimePoint & time,
    const tf2::Duration timeout) const override;

  geometry_msgs::msg::TransformStamped lookupTransform(
    const std::string & target_frame, const std::string & source_frame, const rclcpp::Time & time,
    const rclcpp::Duration timeout = rclcpp::Duration::from_nanoseconds(0)) const;

  // Returns as soon as the transform is available, or false once `timeout` has passed on the
  // clock, the clock jumped back by more than 3 s, or rclcpp has shut down.
  bool canTransform(
    const std::string & target_frame, const std::string & source_frame,
    const tf2::TimePoint & target_time, const tf2::Duration timeout,
    std::string * errstr = nullptr) const override;

  bool canTransform(
    const std::string & target_frame, const std::string & source_frame, const rclcpp::Time & time,
    const rclcpp::Duration timeout = rclcpp::Duration::from_nanoseconds(0),
    std::string * errstr = nullptr) const;

private:
  bool checkAndErrorDedicatedThreadPresent(std::string * errstr) const;
  void onTimeJump(const rcl_time_jump_t & jump);

  rclcpp::Clock::SharedPtr clock_;
  rclcpp::JumpHandler::SharedPtr jump_handler_;
};
}  // namespace tf2_ros

#endif  // TF2_ROS__BUFFER_H_
