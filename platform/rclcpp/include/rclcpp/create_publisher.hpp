// rclcpp::create_publisher for any node-like argument (reference, pointer or shared pointer).
#ifndef RCLCPP__CREATE_PUBLISHER_HPP_
#define RCLCPP__CREATE_PUBLISHER_HPP_

#include <memory>
#include <string>
#include <utility>

#include "rclcpp/detail/node_reference.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp
{

template <
  typename MessageT, typename AllocatorT = std::allocator<void>,
  typename PublisherT = rclcpp::Publisher<MessageT, AllocatorT>, typename NodeT>
std::shared_ptr<PublisherT> create_publisher(
  NodeT && node, const std::string & topic_name, const rclcpp::QoS & qos,
  const rclcpp::PublisherOptionsWithAllocator<AllocatorT> & options =
    rclcpp::PublisherOptionsWithAllocator<AllocatorT>())
{
  return detail::node_reference(std::forward<NodeT>(node))
    .template create_publisher<MessageT, AllocatorT, PublisherT>(topic_name, qos, options);
}

}  // namespace rclcpp

#endif  // RCLCPP__CREATE_PUBLISHER_HPP_
