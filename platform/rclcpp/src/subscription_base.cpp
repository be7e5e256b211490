#include "rclcpp/subscription_base.hpp"

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"

namespace rclcpp
{

SubscriptionBase::SubscriptionBase(
  node_interfaces::NodeBaseInterface & node_base, const std::string & topic,
  std::type_index message_type, const rclcpp::QoS & qos)
: topic_name_(node_base.resolve_topic_or_service_name(topic, false))
, message_type_(message_type)
, qos_(qos)
, graph_(node_base.get_graph())
{
  node_base.require_valid_context("subscription on topic '" + topic_name_ + "'");
}

const char * SubscriptionBase::get_topic_name() const { return topic_name_.c_str(); }

rclcpp::QoS SubscriptionBase::get_actual_qos() const { return qos_; }

size_t SubscriptionBase::get_publisher_count() const { return graph_->matched_publishers(*this); }

std::type_index SubscriptionBase::get_message_type() const { return message_type_; }

bool SubscriptionBase::exchange_in_use_by_wait_set_state(bool in_use_state)
{
  return in_use_by_wait_set_.exchange(in_use_state);
}

void SubscriptionBase::deliver(
  const std::shared_ptr<const void> & message, const rmw_message_info_t & info)
{
  std::lock_guard<std::mutex> lock(queue_mutex_);
  queue_.emplace_back(message, info);
  if (qos_.history() != HistoryPolicy::KeepAll) {
    const size_t depth = qos_.depth() == 0 ? 1 : qos_.depth();
    while (queue_.size() > depth) {
      queue_.pop_front();
    }
  }
}

bool SubscriptionBase::take_shared(std::shared_ptr<const void> & message, rmw_message_info_t & info)
{
  std::lock_guard<std::mutex> lock(queue_mutex_);
  if (queue_.empty()) {
    return false;
  }
  message = std::move(queue_.front().first);
  info = queue_.front().second;
  queue_.pop_front();
  return true;
}

std::function<void()> SubscriptionBase::take_work()
{
  std::shared_ptr<const void> message;
  rmw_message_info_t info{};
  if (!take_shared(message, info)) {
    return {};
  }
  auto self = shared_from_this();
  return [self, message, info]() { self->dispatch(message, info); };
}

size_t SubscriptionBase::ready_count() const
{
  std::lock_guard<std::mutex> lock(queue_mutex_);
  return queue_.size();
}

}  // namespace rclcpp
