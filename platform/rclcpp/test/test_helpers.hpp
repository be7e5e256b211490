// Small helpers shared by the rclcpp tests.
#ifndef RCLCPP__TEST__TEST_HELPERS_HPP_
#define RCLCPP__TEST__TEST_HELPERS_HPP_

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/header.hpp"

namespace test_helpers
{

using Msg = std_msgs::msg::Header;

inline Msg make_msg(const std::string & text)
{
  Msg msg;
  msg.frame_id = text;
  return msg;
}

// Collects what callbacks deliver and lets a test wait, bounded, for a count.
class Inbox
{
public:
  void add(const std::string & text)
  {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      items_.push_back(text);
    }
    cv_.notify_all();
  }

  bool wait_for_count(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10))
  {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, timeout, [&] { return items_.size() >= count; });
  }

  std::vector<std::string> items()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return items_;
  }

private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::string> items_;
};

// Spins an executor on its own thread for the lifetime of the object.
class SpinThread
{
public:
  explicit SpinThread(rclcpp::Executor & executor)
  : executor_(executor), thread_([this] { executor_.spin(); })
  {
  }
  ~SpinThread()
  {
    executor_.cancel();
    thread_.join();
  }

private:
  rclcpp::Executor & executor_;
  std::thread thread_;
};

}  // namespace test_helpers

#endif  // RCLCPP__TEST__TEST_HELPERS_HPP_
