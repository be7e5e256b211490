#include "rclcpp/executors/single_threaded_executor.hpp"

namespace rclcpp
{
namespace executors
{

SingleThreadedExecutor::SingleThreadedExecutor(const rclcpp::ExecutorOptions & options)
: rclcpp::Executor(options)
{
}

void SingleThreadedExecutor::spin()
{
  SpinGuard guard(spinning, "spin() called while already spinning");
  run_until_stopped(std::chrono::nanoseconds(-1), false);
}

}  // namespace executors
}  // namespace rclcpp
