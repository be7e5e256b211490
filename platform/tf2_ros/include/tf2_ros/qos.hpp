#ifndef TF2_ROS__QOS_HPP_
#define TF2_ROS__QOS_HPP_

#include <cstddef>

#include "rclcpp/qos.hpp"

namespace tf2_ros
{
// "/tf": keep last 100, reliable, volatile.
class DynamicListenerQoS : public rclcpp::QoS
{
public:
  explicit DynamicListenerQoS(size_t depth = 100) : rclcpp::QoS(depth) {}
};

// "/tf_static": keep last 100, reliable, transient local so a late listener gets the latched set.
class StaticListenerQoS : public rclcpp::QoS
{
public:
  explicit StaticListenerQoS(size_t depth = 100) : rclcpp::QoS(depth) { transient_local(); }
};

class DynamicBroadcasterQoS : public rclcpp::QoS
{
public:
  explicit DynamicBroadcasterQoS(size_t depth = 100) : rclcpp::QoS(depth) {}
};

// Keep last 1: each message carries the whole accumulated set of static transforms.
class StaticBroadcasterQoS : public rclcpp::QoS
{
public:
  explicit StaticBroadcasterQoS(size_t depth = 1) : rclcpp::QoS(depth) { transient_local(); }
};
}  // namespace tf2_ros

#endif  // TF2_ROS__QOS_HPP_
