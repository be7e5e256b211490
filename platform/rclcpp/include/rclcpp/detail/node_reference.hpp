// Reaches the rclcpp::Node behind a "node-like" argument: a reference, a raw pointer or a
// shared pointer to a Node or to a class derived from it.
#ifndef RCLCPP__DETAIL__NODE_REFERENCE_HPP_
#define RCLCPP__DETAIL__NODE_REFERENCE_HPP_

#include <memory>
#include <type_traits>

namespace rclcpp
{
class Node;

namespace detail
{

template <typename NodeT>
rclcpp::Node & node_reference(NodeT && node)
{
  using Plain = std::remove_cv_t<std::remove_reference_t<NodeT>>;
  if constexpr (std::is_pointer_v<Plain>) {
    return *node;
  } else if constexpr (std::is_base_of_v<rclcpp::Node, Plain>) {
    return node;
  } else {
    return *node;  // shared_ptr or unique_ptr
  }
}

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__NODE_REFERENCE_HPP_
