// rclcpp::create_subscription for any node-like argument (reference, pointer or shared pointer).
#ifndef RCLCPP__CREATE_SUBSCRIPTION_HPP_
#define RCLCPP__CREATE_SUBSCRIPTION_HPP_

#include <memory>
#include <string>
#include <utility>

#include "rclcpp/detail/node_reference.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp
{

template <
  typename MessageT, typename CallbackT, typename AllocatorT = std::allocator<void>,
  typename SubscriptionT = rclcpp::Subscription<MessageT, AllocatorT>, typename NodeT>
std::shared_ptr<SubscriptionT> create_subscription(
  NodeT && node, const std::string & topic_name, const rclcpp::QoS & qos, CallbackT && callback,
  const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & options =
    rclcpp::SubscriptionOptionsWithAllocator<AllocatorT>())
{
  return detail::node_reference(std::forward<NodeT>(node))
    .template create_subscription<MessageT, CallbackT, AllocatorT, SubscriptionT>(
      topic_name, qos, std::forward<CallbackT>(callback), options);
}

}  // namespace rclcpp

#endif  // RCLCPP__CREATE_SUBSCRIPTION_HPP_
