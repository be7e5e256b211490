// Template members of rclcpp::Node.
#ifndef RCLCPP__NODE_IMPL_HPP_
#define RCLCPP__NODE_IMPL_HPP_

#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "rclcpp/node.hpp"

namespace rclcpp
{

template <typename MessageT, typename AllocatorT, typename PublisherT>
std::shared_ptr<PublisherT> Node::create_publisher(
  const std::string & topic_name, const rclcpp::QoS & qos,
  const PublisherOptionsWithAllocator<AllocatorT> & options)
{
  auto publisher = std::make_shared<PublisherT>(*node_base_, topic_name, qos, options);
  node_base_->add_publisher(publisher);
  return publisher;
}

template <typename MessageT, typename CallbackT, typename AllocatorT, typename SubscriptionT>
std::shared_ptr<SubscriptionT> Node::create_subscription(
  const std::string & topic_name, const rclcpp::QoS & qos, CallbackT && callback,
  const SubscriptionOptionsWithAllocator<AllocatorT> & options)
{
  AnySubscriptionCallback<MessageT, AllocatorT> any_callback;
  any_callback.set(std::forward<CallbackT>(callback));
  auto subscription =
    std::make_shared<SubscriptionT>(*node_base_, topic_name, qos, std::move(any_callback), options);
  node_base_->add_subscription(subscription, options.callback_group);
  return subscription;
}

template <typename DurationRepT, typename DurationT, typename CallbackT>
typename rclcpp::WallTimer<CallbackT>::SharedPtr Node::create_wall_timer(
  std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
  rclcpp::CallbackGroup::SharedPtr group)
{
  node_base_->require_valid_context("wall timer");
  auto timer = std::make_shared<rclcpp::WallTimer<CallbackT>>(
    std::chrono::duration_cast<std::chrono::nanoseconds>(period), std::move(callback),
    node_base_->get_context());
  node_base_->add_timer(timer, group);
  return timer;
}

template <typename ServiceT>
typename rclcpp::Client<ServiceT>::SharedPtr Node::create_client(
  const std::string & service_name, const rmw_qos_profile_t &,
  rclcpp::CallbackGroup::SharedPtr group)
{
  auto client = std::make_shared<rclcpp::Client<ServiceT>>(*node_base_, service_name);
  node_base_->add_client(client, group);
  return client;
}

template <typename ServiceT, typename CallbackT>
typename rclcpp::Service<ServiceT>::SharedPtr Node::create_service(
  const std::string & service_name, CallbackT && callback, const rmw_qos_profile_t &,
  rclcpp::CallbackGroup::SharedPtr group)
{
  AnyServiceCallback<ServiceT> any_callback;
  any_callback.set(std::forward<CallbackT>(callback));
  auto service =
    std::make_shared<rclcpp::Service<ServiceT>>(*node_base_, service_name, std::move(any_callback));
  node_base_->add_service(service, group);
  return service;
}

}  // namespace rclcpp

#endif  // RCLCPP__NODE_IMPL_HPP_
