#include "tf2_ros/transform_listener.h"

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>

#include "rclcpp/utilities.hpp"

namespace tf2_ros
{
namespace
{
constexpr char kAuthority[] = "Authority undetectable";

[[noreturn]] void abortOnLostCancel(const char * situation)
{
  std::cerr << "ERROR: tf2_ros::TransformListener destroyed " << situation
            << ", with rclcpp still running: on ROS 2 Humble its executor cancel() is lost "
               "when the spin thread has not yet entered spin(), and the join of that thread "
               "never returns (a hang)."
            << std::endl;
  std::abort();
}
}  // namespace

TransformListener::TransformListener(tf2::BufferCore & buffer, bool spin_thread) : buffer_(buffer)
{
  own_node_ = makeOwnNode(rclcpp::NodeOptions());
  subscribe(*own_node_, DynamicListenerQoS(), StaticListenerQoS());
  if (spin_thread) {
    startSpinThread();
  }
}

TransformListener::~TransformListener()
{
  if (!dedicated_listener_thread_.joinable()) {
    return;
  }
  // After shutdown the spin loop ends by itself, whether or not it had started.
  if (rclcpp::ok()) {
    if (std::uncaught_exceptions() > 0) {
      abortOnLostCancel("while an exception unwinds");
    }
    if (!executor_->is_spinning()) {
      abortOnLostCancel("before its spin thread entered spin()");
    }
  }
  executor_->cancel();
  dedicated_listener_thread_.join();
}

void TransformListener::init(
  rclcpp::Node & node, bool spin_thread, const rclcpp::QoS & qos, const rclcpp::QoS & static_qos)
{
  if (!spin_thread) {
    subscribe(node, qos, static_qos);
    return;
  }
  // The dedicated thread spins a node of its own on the same context, so that the given node's
  // executor never runs the listener's callbacks.
  own_node_ = makeOwnNode(rclcpp::NodeOptions().context(node.get_node_options().context()));
  subscribe(*own_node_, qos, static_qos);
  startSpinThread();
}

rclcpp::Node::SharedPtr TransformListener::makeOwnNode(const rclcpp::NodeOptions & options) const
{
  std::ostringstream name;
  name << "transform_listener_impl_" << std::hex << reinterpret_cast<std::uintptr_t>(this);
  return std::make_shared<rclcpp::Node>(name.str(), options);
}

void TransformListener::subscribe(
  rclcpp::Node & node, const rclcpp::QoS & qos, const rclcpp::QoS & static_qos)
{
  message_subscription_tf_ = node.create_subscription<tf2_msgs::msg::TFMessage>(
    "/tf", qos, [this](const tf2_msgs::msg::TFMessage::ConstSharedPtr & message) {
      callback(*message, false);
    });
  message_subscription_tf_static_ = node.create_subscription<tf2_msgs::msg::TFMessage>(
    "/tf_static", static_qos,
    [this](const tf2_msgs::msg::TFMessage::ConstSharedPtr & message) { callback(*message, true); });
}

void TransformListener::startSpinThread()
{
  executor_ = std::make_shared<rclcpp::executors::SingleThreadedExecutor>();
  executor_->add_node(own_node_);
  buffer_.setUsingDedicatedThread(true);
  dedicated_listener_thread_ = std::thread([executor = executor_] { executor->spin(); });
}

void TransformListener::callback(const tf2_msgs::msg::TFMessage & message, bool is_static)
{
  // BufferCore refuses malformed transforms itself and says why on stderr.
  for (const auto & transform : message.transforms) {
    buffer_.setTransform(transform, kAuthority, is_static);
  }
}
}  // namespace tf2_ros
