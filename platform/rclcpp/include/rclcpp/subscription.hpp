// rclcpp::Subscription<MessageT>: delivers queued messages to the user callback.
#ifndef RCLCPP__SUBSCRIPTION_HPP_
#define RCLCPP__SUBSCRIPTION_HPP_

#include <memory>
#include <string>
#include <typeindex>
#include <utility>

#include "rclcpp/any_subscription_callback.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/message_info.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rclcpp/subscription_options.hpp"

namespace rclcpp
{

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class Subscription : public SubscriptionBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Subscription)

  using MessageType = MessageT;
  using ConstMessageSharedPtr = std::shared_ptr<const MessageT>;

  Subscription(
    node_interfaces::NodeBaseInterface & node_base, const std::string & topic_name,
    const rclcpp::QoS & qos, AnySubscriptionCallback<MessageT, AllocatorT> callback,
    const SubscriptionOptionsWithAllocator<AllocatorT> & options)
  : SubscriptionBase(node_base, topic_name, std::type_index(typeid(MessageT)), qos)
  , callback_(std::move(callback))
  , options_(options)
  {
  }

  // Copies the oldest queued message into `message`, bypassing the callback; false when
  // nothing is queued.
  bool take(MessageT & message, rclcpp::MessageInfo & message_info_out)
  {
    std::shared_ptr<const void> shared;
    rmw_message_info_t info{};
    if (!take_shared(shared, info)) {
      return false;
    }
    message = *std::static_pointer_cast<const MessageT>(shared);
    message_info_out = rclcpp::MessageInfo(info);
    return true;
  }

  const SubscriptionOptionsWithAllocator<AllocatorT> & get_options() const { return options_; }

protected:
  void dispatch(
    const std::shared_ptr<const void> & message, const rmw_message_info_t & info) override
  {
    callback_.dispatch(std::static_pointer_cast<const MessageT>(message), MessageInfo(info));
  }

private:
  AnySubscriptionCallback<MessageT, AllocatorT> callback_;
  SubscriptionOptionsWithAllocator<AllocatorT> options_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_HPP_
