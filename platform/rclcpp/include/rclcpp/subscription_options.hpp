// Options of create_subscription.
#ifndef RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
#define RCLCPP__SUBSCRIPTION_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/publisher_options.hpp"

namespace rclcpp
{

struct SubscriptionOptionsBase
{
  bool ignore_local_publications = false;
  // Null: the node's default callback group.
  rclcpp::CallbackGroup::SharedPtr callback_group = nullptr;
  IntraProcessSetting use_intra_process_comm = IntraProcessSetting::NodeDefault;
};

template <typename Allocator>
struct SubscriptionOptionsWithAllocator : public SubscriptionOptionsBase
{
  std::shared_ptr<Allocator> allocator = nullptr;

  SubscriptionOptionsWithAllocator() = default;
  explicit SubscriptionOptionsWithAllocator(const SubscriptionOptionsBase & base)
  : SubscriptionOptionsBase(base)
  {
  }
};

using SubscriptionOptions = SubscriptionOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
