// Process-wide wake-up signal of the in-process graph.
//
// Everything that can make work ready (a publish, a request or response, a new timer, a
// released callback group, a cancel, a shutdown) calls notify(); everything that waits for
// work (executors, wait_for_message, sleeps, wait_for_service) reads generation() before it
// checks its own condition and then waits for the generation to change, so no wake-up is lost.
#ifndef RCLCPP__DETAIL__NOTIFIER_HPP_
#define RCLCPP__DETAIL__NOTIFIER_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace rclcpp
{
namespace detail
{

class Notifier
{
public:
  static Notifier & instance();

  uint64_t generation();
  void notify();
  // Returns when the generation differs from `seen` or at `deadline`, whichever comes first.
  void wait_until(uint64_t seen, std::chrono::steady_clock::time_point deadline);

private:
  Notifier() = default;

  std::mutex mutex_;
  std::condition_variable cv_;
  uint64_t generation_ = 0;
};

// Waits until `ready()` holds or `deadline` passes; returns the last value of `ready()`.
template <typename PredicateT>
bool wait_for_condition(PredicateT && ready, std::chrono::steady_clock::time_point deadline)
{
  Notifier & notifier = Notifier::instance();
  while (true) {
    const uint64_t seen = notifier.generation();
    if (ready()) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    notifier.wait_until(seen, deadline);
  }
}

// The deadline `timeout` from now; a negative timeout means no deadline.
std::chrono::steady_clock::time_point deadline_after(std::chrono::nanoseconds timeout);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__NOTIFIER_HPP_
