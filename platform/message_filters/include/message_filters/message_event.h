// A message together with the time it was received.
#ifndef MESSAGE_FILTERS__MESSAGE_EVENT_H_
#define MESSAGE_FILTERS__MESSAGE_EVENT_H_

#include <memory>
#include <type_traits>

#include "rclcpp/clock.hpp"
#include "rclcpp/time.hpp"

namespace message_filters
{

template <typename M>
class MessageEvent
{
public:
  typedef typename std::add_const<M>::type ConstMessage;
  typedef typename std::remove_const<M>::type Message;
  typedef std::shared_ptr<Message> MessagePtr;
  typedef std::shared_ptr<ConstMessage> ConstMessagePtr;

  MessageEvent() = default;

  MessageEvent(const ConstMessagePtr & message)  // NOLINT: implicit
  : message_(message), receipt_time_(rclcpp::Clock(RCL_ROS_TIME).now())
  {
  }

  MessageEvent(const ConstMessagePtr & message, rclcpp::Time receipt_time)
  : message_(message), receipt_time_(receipt_time)
  {
  }

  // The shared message for a const M; a private copy for a non-const M.
  std::shared_ptr<M> getMessage() const
  {
    if constexpr (std::is_const<M>::value) {
      return message_;
    } else {
      return message_ ? std::make_shared<Message>(*message_) : nullptr;
    }
  }

  const ConstMessagePtr & getConstMessage() const { return message_; }
  rclcpp::Time getReceiptTime() const { return receipt_time_; }

private:
  ConstMessagePtr message_;
  rclcpp::Time receipt_time_{0, 0, RCL_ROS_TIME};
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__MESSAGE_EVENT_H_
