// The type-independent part of a subscription: its bounded message queue.
//
// Keep-last subscriptions hold at most `depth` messages and drop the oldest; keep-all ones
// hold everything. The queue is emptied one message at a time by executors and by
// wait_for_message.
#ifndef RCLCPP__SUBSCRIPTION_BASE_HPP_
#define RCLCPP__SUBSCRIPTION_BASE_HPP_

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <utility>

#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"
#include "rmw/types.h"

namespace rclcpp
{
namespace detail
{
class Graph;
}  // namespace detail
namespace node_interfaces
{
class NodeBaseInterface;
}  // namespace node_interfaces

class SubscriptionBase : public detail::ExecutableEntity,
                         public std::enable_shared_from_this<SubscriptionBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(SubscriptionBase)

  // Throws InvalidTopicNameError for a bad name and RCLError on a shut-down context.
  SubscriptionBase(
    node_interfaces::NodeBaseInterface & node_base, const std::string & topic,
    std::type_index message_type, const rclcpp::QoS & qos);
  ~SubscriptionBase() override = default;
  SubscriptionBase(const SubscriptionBase &) = delete;
  SubscriptionBase & operator=(const SubscriptionBase &) = delete;

  const char * get_topic_name() const;
  rclcpp::QoS get_actual_qos() const;
  // Publishers that reach this subscription.
  size_t get_publisher_count() const;
  std::type_index get_message_type() const;
  // Marks the subscription as used by a wait (true) or released (false); returns the old state.
  bool exchange_in_use_by_wait_set_state(bool in_use_state);

  // Called by the graph: queues a message, dropping the oldest beyond a keep-last depth.
  void deliver(const std::shared_ptr<const void> & message, const rmw_message_info_t & info);

  std::function<void()> take_work() override;
  size_t ready_count() const override;

protected:
  // Removes the oldest queued message; false when the queue is empty.
  bool take_shared(std::shared_ptr<const void> & message, rmw_message_info_t & info);
  // Runs the user callback for one message.
  virtual void dispatch(
    const std::shared_ptr<const void> & message, const rmw_message_info_t & info) = 0;

private:
  const std::string topic_name_;
  const std::type_index message_type_;
  const rclcpp::QoS qos_;
  std::shared_ptr<detail::Graph> graph_;
  mutable std::mutex queue_mutex_;
  std::deque<std::pair<std::shared_ptr<const void>, rmw_message_info_t>> queue_;
  std::atomic_bool in_use_by_wait_set_{false};
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_BASE_HPP_
