#ifndef TF2_ROS__STATIC_TRANSFORM_BROADCASTER_H_
#define TF2_ROS__STATIC_TRANSFORM_BROADCASTER_H_

#include <vector>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/qos.hpp"
#include "tf2_msgs/msg/tf_message.hpp"
#include "tf2_ros/detail/node_reference.hpp"
#include "tf2_ros/qos.hpp"

namespace tf2_ros
{
// Publishes static transforms on "/tf_static". Every call republishes the whole set sent so far,
// one entry per child frame (a later transform of a child replaces the earlier one), so the
// latched last message tells a late listener everything.
class StaticTransformBroadcaster
{
public:
  // `node` may be a reference, a raw pointer or a shared pointer to an rclcpp::Node.
  template <class NodeT>
  explicit StaticTransformBroadcaster(
    NodeT && node, const rclcpp::QoS & qos = StaticBroadcasterQoS())
  : publisher_(detail::nodeReference(node).template create_publisher<tf2_msgs::msg::TFMessage>(
      "/tf_static", qos))
  {
  }

  void sendTransform(const geometry_msgs::msg::TransformStamped & transform);
  void sendTransform(const std::vector<geometry_msgs::msg::TransformStamped> & transforms);

private:
  rclcpp::Publisher<tf2_msgs::msg::TFMessage>::SharedPtr publisher_;
  tf2_msgs::msg::TFMessage net_message_;
};
}  // namespace tf2_ros

#endif  // TF2_ROS__STATIC_TRANSFORM_BROADCASTER_H_
