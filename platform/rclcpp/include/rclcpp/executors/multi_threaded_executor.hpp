// Runs work on N threads, the calling thread being one of them. Mutually exclusive groups
// still run one callback at a time; a callback that blocks its thread leaves the others free.
#ifndef RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
#define RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_

#include <chrono>
#include <cstddef>

#include "rclcpp/executor.hpp"

namespace rclcpp
{
namespace executors
{

class MultiThreadedExecutor : public rclcpp::Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(MultiThreadedExecutor)

  // number_of_threads 0: the hardware concurrency (at least 1). `timeout` bounds each wait
  // for work (-1: no bound).
  explicit MultiThreadedExecutor(
    const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions(),
    size_t number_of_threads = 0, bool yield_before_execute = false,
    std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));
  ~MultiThreadedExecutor() override = default;

  // Returns after cancel() or shutdown, once every thread has finished its callback; an
  // exception thrown by a callback stops all threads and is rethrown here. Throws
  // std::runtime_error if already spinning.
  void spin() override;
  size_t get_number_of_threads();

private:
  size_t number_of_threads_;
  bool yield_before_execute_;
  std::chrono::nanoseconds next_exec_timeout_;
};

}  // namespace executors
}  // namespace rclcpp

#endif  // RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
