// Adapts every supported subscription callback form to one call on a shared const message.
//
// Forms, for message M (each also with a trailing `const rclcpp::MessageInfo &`):
// void(const M &), void(std::shared_ptr<const M>), void(const std::shared_ptr<const M> &),
// void(std::unique_ptr<M>) and the deprecated void(std::shared_ptr<M>). The unique_ptr and
// non-const shared_ptr forms receive a copy, since the message is shared with other
// subscriptions.
#ifndef RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
#define RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "rclcpp/message_info.hpp"

namespace rclcpp
{

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class AnySubscriptionCallback
{
public:
  using ConstMessageSharedPtr = std::shared_ptr<const MessageT>;
  using Dispatcher = std::function<void(const ConstMessageSharedPtr &, const MessageInfo &)>;

  AnySubscriptionCallback() = default;

  template <typename CallbackT>
  explicit AnySubscriptionCallback(CallbackT && callback)
  {
    set(std::forward<CallbackT>(callback));
  }

  template <typename CallbackT>
  void set(CallbackT && callback)
  {
    using C = std::decay_t<CallbackT>;
    using M = MessageT;
    using Info = const MessageInfo &;
    C cb(std::forward<CallbackT>(callback));
    if constexpr (std::is_invocable_v<C &, const M &>) {
      dispatcher_ = [cb](const ConstMessageSharedPtr & msg, Info) mutable { cb(*msg); };
    } else if constexpr (std::is_invocable_v<C &, const M &, Info>) {
      dispatcher_ = [cb](const ConstMessageSharedPtr & msg, Info info) mutable { cb(*msg, info); };
    } else if constexpr (std::is_invocable_v<C &, const ConstMessageSharedPtr &>) {
      dispatcher_ = [cb](const ConstMessageSharedPtr & msg, Info) mutable { cb(msg); };
    } else if constexpr (std::is_invocable_v<C &, const ConstMessageSharedPtr &, Info>) {
      dispatcher_ = [cb](const ConstMessageSharedPtr & msg, Info info) mutable { cb(msg, info); };
    } else if constexpr (std::is_invocable_v<C &, std::shared_ptr<M>>) {
      dispatcher_ = [cb](const ConstMessageSharedPtr & msg, Info) mutable {
        cb(std::make_shared<M>(*msg));
      };
    } else if constexpr (std::is_invocable_v<C &, std::shared_ptr<M>, Info>) {
      dispatcher_ = [cb](const ConstMessageSharedPtr & msg, Info info) mutable {
        cb(std::make_shared<M>(*msg), info);
      };
    } else if constexpr (std::is_invocable_v<C &, std::unique_ptr<M>>) {
      dispatcher_ = [cb](const ConstMessageSharedPtr & msg, Info) mutable {
        cb(std::make_unique<M>(*msg));
      };
    } else if constexpr (std::is_invocable_v<C &, std::unique_ptr<M>, Info>) {
      dispatcher_ = [cb](const ConstMessageSharedPtr & msg, Info info) mutable {
        cb(std::make_unique<M>(*msg), info);
      };
    } else {
      static_assert(
        std::is_invocable_v<C &, const M &>,
        "subscription callback must take the message as const M&, std::shared_ptr<const M>, "
        "std::unique_ptr<M> or std::shared_ptr<M>, optionally followed by const MessageInfo&");
    }
  }

  void dispatch(const ConstMessageSharedPtr & message, const MessageInfo & message_info)
  {
    dispatcher_(message, message_info);
  }

private:
  Dispatcher dispatcher_;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
