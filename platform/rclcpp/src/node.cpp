#include "rclcpp/node.hpp"

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/expand_topic_or_service_name.hpp"

namespace rclcpp
{
namespace
{

std::string logger_name(const node_interfaces::NodeBaseInterface & base)
{
  std::string ns = base.get_namespace();
  std::string name = base.get_name();
  if (ns == "/") {
    return name;
  }
  std::string dotted = ns.substr(1);
  for (char & c : dotted) {
    if (c == '/') {
      c = '.';
    }
  }
  return dotted + "." + name;
}

}  // namespace

Node::Node(const std::string & node_name, const NodeOptions & options)
: Node(node_name, "", options)
{
}

Node::Node(
  const std::string & node_name, const std::string & namespace_, const NodeOptions & options)
: node_options_(options)
, node_base_(
    std::make_shared<node_interfaces::NodeBaseInterface>(node_name, namespace_, options.context()))
, clock_(std::make_shared<rclcpp::Clock>(RCL_ROS_TIME))
, logger_(rclcpp::get_logger(logger_name(*node_base_)))
{
}

const char * Node::get_name() const { return node_base_->get_name(); }

const char * Node::get_namespace() const { return node_base_->get_namespace(); }

const char * Node::get_fully_qualified_name() const
{
  return node_base_->get_fully_qualified_name();
}

rclcpp::Logger Node::get_logger() const { return logger_; }

rclcpp::CallbackGroup::SharedPtr Node::create_callback_group(
  rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
{
  return node_base_->create_callback_group(group_type, automatically_add_to_executor_with_node);
}

size_t Node::count_publishers(const std::string & topic_name) const
{
  return node_base_->get_graph()->count_publishers(
    node_base_->resolve_topic_or_service_name(topic_name, false));
}

size_t Node::count_subscribers(const std::string & topic_name) const
{
  return node_base_->get_graph()->count_subscribers(
    node_base_->resolve_topic_or_service_name(topic_name, false));
}

rclcpp::Clock::SharedPtr Node::get_clock() { return clock_; }

rclcpp::Clock::ConstSharedPtr Node::get_clock() const { return clock_; }

Time Node::now() const { return clock_->now(); }

const rclcpp::NodeOptions & Node::get_node_options() const { return node_options_; }

rclcpp::node_interfaces::NodeBaseInterface::SharedPtr Node::get_node_base_interface()
{
  return node_base_;
}

}  // namespace rclcpp
