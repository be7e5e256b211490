// Nodes spun by one single-threaded executor on a thread of its own while an instance lives.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SPINNING_EXECUTOR_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SPINNING_EXECUTOR_HPP_

#include <initializer_list>
#include <thread>

#include <rclcpp/rclcpp.hpp>

namespace orvanite_test
{
// Declare it after every member its callbacks touch: it is destroyed, and stops, first.
class SpinningExecutor
{
public:
  explicit SpinningExecutor(std::initializer_list<rclcpp::Node::SharedPtr> nodes)
  {
    for (const auto & node : nodes) {
      executor_.add_node(node);
    }
    spinner_ = std::thread([this]() { executor_.spin(); });
  }
  ~SpinningExecutor()
  {
    executor_.cancel();
    spinner_.join();
  }
  SpinningExecutor(const SpinningExecutor &) = delete;
  SpinningExecutor & operator=(const SpinningExecutor &) = delete;

private:
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::thread spinner_;
};
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SPINNING_EXECUTOR_HPP_
