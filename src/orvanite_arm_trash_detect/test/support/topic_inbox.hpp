// Collects the messages of one topic on a test node; waits, with a bound, for what arrives.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__TOPIC_INBOX_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__TOPIC_INBOX_HPP_

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include <rclcpp/rclcpp.hpp>

namespace orvanite_test
{
template <typename M>
class TopicInbox
{
public:
  static constexpr std::chrono::seconds kWait{20};

  TopicInbox(
    const rclcpp::Node::SharedPtr & node, const std::string & topic,
    const rclcpp::QoS & qos = rclcpp::QoS(10))
  : subscription_(node->create_subscription<M>(topic, qos, [this](typename M::ConstSharedPtr msg) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(*msg);
    changed_.notify_all();
  }))
  {
  }

  bool WaitFor(std::size_t count)
  {
    return WaitUntil([count](const std::vector<M> & messages) { return messages.size() >= count; });
  }

  // Waits until `predicate` holds for the messages received so far.
  template <typename Predicate>
  bool WaitUntil(Predicate predicate)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kWait, [&] { return predicate(messages_); });
  }

  std::vector<M> Messages()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<M> messages_;
  typename rclcpp::Subscription<M>::SharedPtr subscription_;
};
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__TOPIC_INBOX_HPP_
