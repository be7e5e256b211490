// Wall timers: ready once per period of the steady clock, run by the executor of their group.
// A tick that falls behind by whole periods is not repeated; the next one is a period after
// the late call.
#ifndef RCLCPP__TIMER_HPP_
#define RCLCPP__TIMER_HPP_

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{

class TimerBase : public detail::ExecutableEntity, public std::enable_shared_from_this<TimerBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(TimerBase)

  // Throws std::invalid_argument for a negative period.
  TimerBase(std::chrono::nanoseconds period, Context::SharedPtr context);
  ~TimerBase() override = default;
  TimerBase(const TimerBase &) = delete;
  TimerBase & operator=(const TimerBase &) = delete;

  void cancel();
  bool is_canceled();
  // Restarts the period from now (and un-cancels).
  void reset();
  bool is_ready();
  std::chrono::nanoseconds time_until_trigger();
  virtual void execute_callback() = 0;

  std::function<void()> take_work() override;
  std::chrono::steady_clock::time_point next_deadline() const override;
  size_t ready_count() const override;

private:
  const std::chrono::nanoseconds period_;
  Context::SharedPtr context_;
  mutable std::mutex mutex_;
  std::chrono::steady_clock::time_point next_call_;
  bool canceled_ = false;
};

template <typename FunctorT>
class GenericTimer : public TimerBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(GenericTimer)

  GenericTimer(std::chrono::nanoseconds period, FunctorT && callback, Context::SharedPtr context)
  : TimerBase(period, std::move(context)), callback_(std::forward<FunctorT>(callback))
  {
  }

  void execute_callback() override
  {
    if constexpr (std::is_invocable_v<FunctorT &, TimerBase &>) {
      callback_(*this);
    } else {
      callback_();
    }
  }

private:
  FunctorT callback_;
};

template <typename FunctorT>
class WallTimer : public GenericTimer<FunctorT>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(WallTimer)

  WallTimer(std::chrono::nanoseconds period, FunctorT && callback, Context::SharedPtr context)
  : GenericTimer<FunctorT>(period, std::forward<FunctorT>(callback), std::move(context))
  {
  }
};

}  // namespace rclcpp

#endif  // RCLCPP__TIMER_HPP_
