#include "camera_detection_node/stoppable_tf_listener.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

namespace orvanite
{
namespace
{
rclcpp::ExecutorOptions InContext(const rclcpp::Context::SharedPtr & context)
{
  rclcpp::ExecutorOptions options;
  options.context = context;
  return options;
}

// Humble's hidden listener node: a unique name, which the node's own arguments also set so that a
// node name given on the command line cannot rename it, and no parameter services or events.
rclcpp::Node::SharedPtr MakeHiddenNode(
  const void * owner, const rclcpp::Context::SharedPtr & context)
{
  char name[48];
  std::snprintf(
    name, sizeof(name), "transform_listener_impl_%jx",
    static_cast<std::uintmax_t>(reinterpret_cast<std::uintptr_t>(owner)));
  const rclcpp::NodeOptions options =
    rclcpp::NodeOptions()
      .context(context)
      .arguments({"--ros-args", "-r", std::string("__node:=") + name})
      .start_parameter_services(false)
      .start_parameter_event_publisher(false);
  return std::make_shared<rclcpp::Node>(name, options);
}
}  // namespace

StoppableTfListener::StoppableTfListener(
  tf2_ros::Buffer & buffer, const rclcpp::Context::SharedPtr & context)
: node_(MakeHiddenNode(this, context))
, listener_(buffer, node_, false)
, executor_(InContext(context))
{
  buffer.setUsingDedicatedThread(true);
  executor_.add_node(node_);
  thread_ = std::thread([this, stopped = stop_.get_future().share()] {
    executor_.spin_until_future_complete(stopped);
  });
}

StoppableTfListener::~StoppableTfListener() { Stop(); }

void StoppableTfListener::Stop()
{
  if (!thread_.joinable()) {
    return;
  }
  // In this order: a spin that has not begun yet loses the cancel, but sees the future.
  stop_.set_value();
  executor_.cancel();
  thread_.join();
}
}  // namespace orvanite
