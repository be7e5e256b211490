// Options of create_publisher.
#ifndef RCLCPP__PUBLISHER_OPTIONS_HPP_
#define RCLCPP__PUBLISHER_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"

namespace rclcpp
{

enum class IntraProcessSetting
{
  Enable,
  Disable,
  NodeDefault
};

struct PublisherOptionsBase
{
  IntraProcessSetting use_intra_process_comm = IntraProcessSetting::NodeDefault;
  rclcpp::CallbackGroup::SharedPtr callback_group = nullptr;
};

template <typename Allocator>
struct PublisherOptionsWithAllocator : public PublisherOptionsBase
{
  std::shared_ptr<Allocator> allocator = nullptr;

  PublisherOptionsWithAllocator() = default;
  explicit PublisherOptionsWithAllocator(const PublisherOptionsBase & base)
  : PublisherOptionsBase(base)
  {
  }
};

using PublisherOptions = PublisherOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_OPTIONS_HPP_
