// Fixed-rate loops: sleep() waits for the next period boundary unless the context shuts down.
#ifndef RCLCPP__RATE_HPP_
#define RCLCPP__RATE_HPP_

#include <chrono>
#include <thread>

#include "rclcpp/macros.hpp"
#include "rclcpp/utilities.hpp"

namespace rclcpp
{

class RateBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(RateBase)

  virtual ~RateBase() = default;
  virtual bool sleep() = 0;
  virtual bool is_steady() const = 0;
  virtual void reset() = 0;
};

template <class Clock = std::chrono::high_resolution_clock>
class GenericRate : public RateBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(GenericRate)

  explicit GenericRate(double rate)
  : GenericRate(std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::duration<double>(1.0 / rate)))
  {
  }

  explicit GenericRate(std::chrono::nanoseconds period)
  : period_(period), last_interval_(Clock::now())
  {
  }

  GenericRate(const GenericRate &) = delete;
  GenericRate & operator=(const GenericRate &) = delete;

  // False without sleeping when the next boundary has already passed; a whole missed
  // cycle restarts the schedule from now.
  bool sleep() override
  {
    const auto now = Clock::now();
    auto next_interval = last_interval_ + period_;
    if (now < last_interval_) {
      next_interval = now + period_;
    }
    const auto time_to_sleep = next_interval - now;
    last_interval_ += period_;
    if (time_to_sleep <= std::chrono::nanoseconds::zero()) {
      if (now > next_interval + period_) {
        last_interval_ = now + period_;
      }
      return false;
    }
    rclcpp::sleep_for(std::chrono::duration_cast<std::chrono::nanoseconds>(time_to_sleep));
    return true;
  }

  bool is_steady() const override { return Clock::is_steady; }

  void reset() override { last_interval_ = Clock::now(); }

  std::chrono::nanoseconds period() const { return period_; }

private:
  std::chrono::nanoseconds period_;
  std::chrono::time_point<Clock, std::chrono::nanoseconds> last_interval_;
};

using Rate = GenericRate<std::chrono::system_clock>;
using WallRate = GenericRate<std::chrono::steady_clock>;

}  // namespace rclcpp

#endif  // RCLCPP__RATE_HPP_
