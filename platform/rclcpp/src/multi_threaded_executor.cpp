#include "rclcpp/executors/multi_threaded_executor.hpp"

#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace rclcpp
{
namespace executors
{

MultiThreadedExecutor::MultiThreadedExecutor(
  const rclcpp::ExecutorOptions & options, size_t number_of_threads, bool yield_before_execute,
  std::chrono::nanoseconds timeout)
: rclcpp::Executor(options)
, number_of_threads_(number_of_threads)
, yield_before_execute_(yield_before_execute)
, next_exec_timeout_(timeout)
{
  if (number_of_threads_ == 0) {
    number_of_threads_ = std::thread::hardware_concurrency();
  }
  if (number_of_threads_ == 0) {
    number_of_threads_ = 1;
  }
}

void MultiThreadedExecutor::spin()
{
  SpinGuard guard(spinning, "spin() called while already spinning");
  std::mutex error_mutex;
  std::exception_ptr first_error;
  auto worker = [&]() {
    try {
      run_until_stopped(next_exec_timeout_, yield_before_execute_);
    } catch (...) {
      {
        std::lock_guard<std::mutex> lock(error_mutex);
        if (!first_error) {
          first_error = std::current_exception();
        }
      }
      cancel();
    }
  };
  std::vector<std::thread> threads;
  threads.reserve(number_of_threads_ - 1);
  for (size_t i = 1; i < number_of_threads_; ++i) {
    threads.emplace_back(worker);
  }
  worker();
  for (auto & thread : threads) {
    thread.join();
  }
  if (first_error) {
    std::rethrow_exception(first_error);
  }
}

size_t MultiThreadedExecutor::get_number_of_threads() { return number_of_threads_; }

}  // namespace executors
}  // namespace rclcpp
