#include "rclcpp/detail/notifier.hpp"

namespace rclcpp
{
namespace detail
{

Notifier & Notifier::instance()
{
  // Never destroyed: a thread still waiting when the process exits (rclcpp never shut down)
  // would otherwise block the destruction of its condition variable, and exit() with it.
  static Notifier * const notifier = new Notifier();
  return *notifier;
}

uint64_t Notifier::generation()
{
  std::lock_guard<std::mutex> lock(mutex_);
  return generation_;
}

void Notifier::notify()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++generation_;
  }
  cv_.notify_all();
}

void Notifier::wait_until(uint64_t seen, std::chrono::steady_clock::time_point deadline)
{
  std::unique_lock<std::mutex> lock(mutex_);
  const auto changed = [this, seen] { return generation_ != seen; };
  if (deadline == std::chrono::steady_clock::time_point::max()) {
    cv_.wait(lock, changed);
  } else {
    cv_.wait_until(lock, deadline, changed);
  }
}

std::chrono::steady_clock::time_point deadline_after(std::chrono::nanoseconds timeout)
{
  using Clock = std::chrono::steady_clock;
  if (timeout < std::chrono::nanoseconds::zero()) {
    return Clock::time_point::max();
  }
  const auto now = Clock::now();
  if (timeout > Clock::time_point::max() - now) {
    return Clock::time_point::max();
  }
  return now + timeout;
}

}  // namespace detail
}  // namespace rclcpp
