#include "rclcpp/timer.hpp"

#include <stdexcept>

#include "rclcpp/detail/notifier.hpp"

namespace rclcpp
{

TimerBase::TimerBase(std::chrono::nanoseconds period, Context::SharedPtr context)
: period_(period)
, context_(std::move(context))
, next_call_(std::chrono::steady_clock::now() + period)
{
  if (period < std::chrono::nanoseconds::zero()) {
    throw std::invalid_argument("timer period must not be negative");
  }
}

void TimerBase::cancel()
{
  std::lock_guard<std::mutex> lock(mutex_);
  canceled_ = true;
}

bool TimerBase::is_canceled()
{
  std::lock_guard<std::mutex> lock(mutex_);
  return canceled_;
}

void TimerBase::reset()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    canceled_ = false;
    next_call_ = std::chrono::steady_clock::now() + period_;
  }
  detail::Notifier::instance().notify();
}

bool TimerBase::is_ready()
{
  std::lock_guard<std::mutex> lock(mutex_);
  return !canceled_ && std::chrono::steady_clock::now() >= next_call_;
}

std::chrono::nanoseconds TimerBase::time_until_trigger()
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (canceled_) {
    return std::chrono::nanoseconds::max();
  }
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
    next_call_ - std::chrono::steady_clock::now());
}

std::function<void()> TimerBase::take_work()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    if (canceled_ || now < next_call_ || !context_->is_valid()) {
      return {};
    }
    next_call_ += period_;
    if (next_call_ <= now) {
      next_call_ = now + period_;
    }
  }
  auto self = shared_from_this();
  return [self]() { self->execute_callback(); };
}

std::chrono::steady_clock::time_point TimerBase::next_deadline() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return canceled_ ? std::chrono::steady_clock::time_point::max() : next_call_;
}

size_t TimerBase::ready_count() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return (!canceled_ && std::chrono::steady_clock::now() >= next_call_) ? 1 : 0;
}

}  // namespace rclcpp
