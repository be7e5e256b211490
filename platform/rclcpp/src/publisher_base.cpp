#include "rclcpp/publisher_base.hpp"

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/notifier.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"

namespace rclcpp
{

PublisherBase::PublisherBase(
  node_interfaces::NodeBaseInterface & node_base, const std::string & topic,
  std::type_index message_type, const rclcpp::QoS & qos)
: topic_name_(node_base.resolve_topic_or_service_name(topic, false))
, message_type_(message_type)
, qos_(qos)
, graph_(node_base.get_graph())
{
  node_base.require_valid_context("publisher on topic '" + topic_name_ + "'");
}

const char * PublisherBase::get_topic_name() const { return topic_name_.c_str(); }

size_t PublisherBase::get_queue_size() const { return qos_.depth(); }

size_t PublisherBase::get_subscription_count() const
{
  return graph_->matched_subscriptions(*this);
}

size_t PublisherBase::get_intra_process_subscription_count() const { return 0; }

rclcpp::QoS PublisherBase::get_actual_qos() const { return qos_; }

std::type_index PublisherBase::get_message_type() const { return message_type_; }

void PublisherBase::publish_shared(std::shared_ptr<const void> message)
{
  graph_->publish(*this, message);
  detail::Notifier::instance().notify();
}

}  // namespace rclcpp
