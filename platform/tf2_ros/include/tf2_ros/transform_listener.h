#ifndef TF2_ROS__TRANSFORM_LISTENER_H_
#define TF2_ROS__TRANSFORM_LISTENER_H_

#include <memory>
#include <thread>

#include "rclcpp/executors/single_threaded_executor.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/subscription.hpp"
#include "tf2/buffer_core.h"
#include "tf2_msgs/msg/tf_message.hpp"
#include "tf2_ros/detail/node_reference.hpp"
#include "tf2_ros/qos.hpp"

namespace tf2_ros
{
// Feeds a buffer from "/tf" and "/tf_static". With `spin_thread` it subscribes on a node of its
// own, spun by a private executor on a dedicated thread, and marks the buffer as served by that
// thread so that its waiting look-ups work. Without it the subscriptions go on the given node,
// whose executor must spin it.
//
// The destructor cancels the executor and joins the thread. A cancel issued before the thread has
// entered spin() is lost and that join never returns, so while rclcpp is still running the
// destructor aborts with an error on stderr instead when the thread is not spinning yet, or when
// an exception is unwinding (a listener torn down by a failed construction, where its thread may
// not have started). Once rclcpp has shut down the spin ends by itself and destruction is safe.
class TransformListener
{
public:
  // Creates the node "transform_listener_impl_<address>"; rclcpp must be initialised.
  explicit TransformListener(tf2::BufferCore & buffer, bool spin_thread = true);

  // `node` may be a reference, a raw pointer or a shared pointer to an rclcpp::Node.
  template <class NodeT>
  TransformListener(
    tf2::BufferCore & buffer, NodeT && node, bool spin_thread = true,
    const rclcpp::QoS & qos = DynamicListenerQoS(),
    const rclcpp::QoS & static_qos = StaticListenerQoS())
  : buffer_(buffer)
  {
    init(detail::nodeReference(node), spin_thread, qos, static_qos);
  }

  virtual ~TransformListener();

  TransformListener(const TransformListener &) = delete;
  TransformListener & operator=(const TransformListener &) = delete;

private:
  void init(
    rclcpp::Node & node, bool spin_thread, const rclcpp::QoS & qos, const rclcpp::QoS & static_qos);
  rclcpp::Node::SharedPtr makeOwnNode(const rclcpp::NodeOptions & options) const;
  void subscribe(rclcpp::Node & node, const rclcpp::QoS & qos, const rclcpp::QoS & static_qos);
  void startSpinThread();
  void callback(const tf2_msgs::msg::TFMessage & message, bool is_static);

  tf2::BufferCore & buffer_;
  rclcpp::Node::SharedPtr own_node_;
  std::shared_ptr<rclcpp::executors::SingleThreadedExecutor> executor_;
  std::thread dedicated_listener_thread_;
  rclcpp::Subscription<tf2_msgs::msg::TFMessage>::SharedPtr message_subscription_tf_;
  rclcpp::Subscription<tf2_msgs::msg::TFMessage>::SharedPtr message_subscription_tf_static_;
};
}  // namespace tf2_ros

#endif  // TF2_ROS__TRANSFORM_LISTENER_H_
