// What an executor runs: subscriptions, timers, services and clients seen through one interface.
#ifndef RCLCPP__DETAIL__EXECUTABLE_ENTITY_HPP_
#define RCLCPP__DETAIL__EXECUTABLE_ENTITY_HPP_

#include <chrono>
#include <cstddef>
#include <functional>

namespace rclcpp
{
namespace detail
{

class ExecutableEntity
{
public:
  virtual ~ExecutableEntity() = default;

  // Removes one unit of ready work (a message, a request, a response, a timer tick) and
  // returns the call that handles it; an empty function when nothing is ready. The call
  // keeps the entity alive while it runs.
  virtual std::function<void()> take_work() = 0;
  // When the entity becomes ready without any outside event (timers); max() otherwise.
  virtual std::chrono::steady_clock::time_point next_deadline() const
  {
    return std::chrono::steady_clock::time_point::max();
  }
  // Units of work ready now.
  virtual size_t ready_count() const = 0;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__EXECUTABLE_ENTITY_HPP_
