// rclcpp::wait_for_message: takes one message from a subscription without an executor.
#ifndef RCLCPP__WAIT_FOR_MESSAGE_HPP_
#define RCLCPP__WAIT_FOR_MESSAGE_HPP_

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/notifier.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/subscription.hpp"

namespace rclcpp
{

// Waits up to `time_to_wait` (negative: forever) for a message on the subscription and takes
// it into `out` (true). Returns false at the time-out and at once when the context shuts down.
// The subscription's callback is not called. Throws std::runtime_error when another wait
// already uses the subscription.
template <class MsgT, class Rep = int64_t, class Period = std::milli>
bool wait_for_message(
  MsgT & out, std::shared_ptr<rclcpp::Subscription<MsgT>> subscription,
  std::shared_ptr<rclcpp::Context> context,
  std::chrono::duration<Rep, Period> time_to_wait = std::chrono::duration<Rep, Period>(-1))
{
  if (subscription->exchange_in_use_by_wait_set_state(true)) {
    throw std::runtime_error("Subscription already associated with a wait set");
  }
  struct Release
  {
    rclcpp::SubscriptionBase & subscription;
    ~Release() { subscription.exchange_in_use_by_wait_set_state(false); }
  } release{*subscription};

  bool taken = false;
  rclcpp::MessageInfo info;
  detail::wait_for_condition(
    [&] {
      if (!context->is_valid()) {
        return true;
      }
      taken = subscription->take(out, info);
      return taken;
    },
    detail::deadline_after(std::chrono::duration_cast<std::chrono::nanoseconds>(time_to_wait)));
  return taken;
}

// Subscribes to `topic` (depth 1, reliable, volatile) for the time of the wait, on the
// context of the node's options.
template <class MsgT, class Rep = int64_t, class Period = std::milli>
bool wait_for_message(
  MsgT & out, rclcpp::Node::SharedPtr node, const std::string & topic,
  std::chrono::duration<Rep, Period> time_to_wait = std::chrono::duration<Rep, Period>(-1))
{
  auto subscription =
    node->create_subscription<MsgT>(topic, 1, [](const std::shared_ptr<const MsgT>) {});
  return wait_for_message<MsgT, Rep, Period>(
    out, subscription, node->get_node_options().context(), time_to_wait);
}

}  // namespace rclcpp

#endif  // RCLCPP__WAIT_FOR_MESSAGE_HPP_
