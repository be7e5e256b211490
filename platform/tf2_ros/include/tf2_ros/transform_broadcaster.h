#ifndef TF2_ROS__TRANSFORM_BROADCASTER_H_
#define TF2_ROS__TRANSFORM_BROADCASTER_H_

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
// Publishes dynamic transforms on "/tf", each call as one message.
class TransformBroadcaster
{
public:
  // `node` may be a reference, a raw pointer or a shared pointer to an rclcpp::Node.
  template <class NodeT>
  explicit TransformBroadcaster(NodeT && node, const rclcpp::QoS & qos = DynamicBroadcasterQoS())
  : publisher_(
      detail::nodeReference(node).template create_publisher<tf2_msgs::msg::TFMessage>("/tf", qos))
  {
  }

  void sendTransform(const geometry_msgs::msg::TransformStamped & transform);
  void sendTransform(const std::vector<geometry_msgs::msg::TransformStamped> & transforms);

private:
  rclcpp::Publisher<tf2_msgs::msg::TFMessage>::SharedPtr publisher_;
};
}  // namespace tf2_ros

#endif  // TF2_ROS__TRANSFORM_BROADCASTER_H_
