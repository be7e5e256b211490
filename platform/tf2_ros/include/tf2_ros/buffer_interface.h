#ifndef TF2_ROS__BUFFER_INTERFACE_H_
#define TF2_ROS__BUFFER_INTERFACE_H_

#include <chrono>
#include <string>

#include "builtin_interfaces/msg/duration.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "geometry_msgs/msg/transform_stamped.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/time.hpp"
#include "tf2/time.h"

namespace tf2_ros
{
inline builtin_interfaces::msg::Time toMsg(const tf2::TimePoint & t)
{
  const auto since_epoch = t.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(since_epoch);
  builtin_interfaces::msg::Time time_msg;
  time_msg.sec = static_cast<std::int32_t>(seconds.count());
  time_msg.nanosec = static_cast<std::uint32_t>((since_epoch - seconds).count());
  return time_msg;
}

inline tf2::TimePoint fromMsg(const builtin_interfaces::msg::Time & time_msg)
{
  return tf2::TimePoint(std::chrono::seconds(time_msg.sec) + tf2::Duration(time_msg.nanosec));
}

inline builtin_interfaces::msg::Duration toMsg(const tf2::Duration & t)
{
  const auto seconds = std::chrono::floor<std::chrono::seconds>(t);
  builtin_interfaces::msg::Duration duration_msg;
  duration_msg.sec = static_cast<std::int32_t>(seconds.count());
  duration_msg.nanosec = static_cast<std::uint32_t>((t - seconds).count());
  return duration_msg;
}

inline tf2::Duration fromMsg(const builtin_interfaces::msg::Duration & duration_msg)
{
  return std::chrono::seconds(duration_msg.sec) + tf2::Duration(duration_msg.nanosec);
}

inline double timeToSec(const builtin_interfaces::msg::Time & time_msg)
{
  return tf2::timeToSec(fromMsg(time_msg));
}

// The clock type of `time` is dropped: tf2 time points carry none.
inline tf2::TimePoint fromRclcpp(const rclcpp::Time & time)
{
  return tf2::TimePoint(tf2::Duration(time.nanoseconds()));
}

inline rclcpp::Time toRclcpp(const tf2::TimePoint & time)
{
  return rclcpp::Time(time.time_since_epoch().count());
}

inline tf2::Duration fromRclcpp(const rclcpp::Duration & duration)
{
  return tf2::Duration(duration.nanoseconds());
}

inline rclcpp::Duration toRclcpp(const tf2::Duration & duration)
{
  return rclcpp::Duration(duration);
}

// Look-ups that may wait for data to arrive.
class BufferInterface
{
public:
  virtual ~BufferInterface() = default;

  virtual geometry_msgs::msg::TransformStamped lookupTransform(
    const std::string & target_frame, const std::string & source_frame, const tf2::TimePoint & time,
    const tf2::Duration timeout) const = 0;

  virtual bool canTransform(
    const std::string & target_frame, const std::string & source_frame,
    const tf2::TimePoint & target_time, const tf2::Duration timeout,
    std::string * errstr = nullptr) const = 0;
};
}  // namespace tf2_ros

#endif  // TF2_ROS__BUFFER_INTERFACE_H_
