// Nodes spun by one single-threaded executor on a thread of its own while an instance lives.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SPINNING_EXECUTOR_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SPINNING_EXECUTOR_HPP_

#include <future>
#include <initializer_list>
#include <thread>

#include <rclcpp/rclcpp.hpp>

namespace orvanite_test
{
// Declare it after every member its callbacks touch: it is destroyed, and stops, first. It stops
// as the camera's TF listener does: the future first, then the cancel, so that a stop issued
// before the thread has entered its spin is not lost (Humble's spin() would take it back).
class SpinningExecutor
{
public:
  explicit SpinningExecutor(std::initializer_list<rclcpp::Node::SharedPtr> nodes)
  {
    for (const auto & node : nodes) {
      executor_.add_node(node);
    }
    spinner_ = std::thread(
      [this, stopped = stop_.get_future()]() { executor_.spin_until_future_complete(stopped); });
  }
  ~SpinningExecutor()
  {
    stop_.set_value();
    executor_.cancel();
    spinner_.join();
  }
  SpinningExecutor(const SpinningExecutor &) = delete;
  SpinningExecutor & operator=(const SpinningExecutor &) = delete;

private:
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::promise<void> stop_;
  std::thread spinner_;
};
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SPINNING_EXECUTOR_HPP_
