#ifndef TF2_ROS__DETAIL__NODE_REFERENCE_HPP_
#define TF2_ROS__DETAIL__NODE_REFERENCE_HPP_

#include <type_traits>

#include "rclcpp/node.hpp"

namespace tf2_ros
{
namespace detail
{
// The node behind a node argument given as a reference, a raw pointer or a shared pointer.
template <class NodeT>
rclcpp::Node & nodeReference(NodeT && node)
{
  if constexpr (std::is_base_of_v<rclcpp::Node, std::remove_cv_t<std::remove_reference_t<NodeT>>>) {
    return node;
  } else {
    return *node;
  }
}
}  // namespace detail
}  // namespace tf2_ros

#endif  // TF2_ROS__DETAIL__NODE_REFERENCE_HPP_
