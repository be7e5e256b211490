// rclcpp::Executor: finds ready work in the callback groups of its nodes and runs it.
//
// A node (and each of its groups) belongs to at most one executor at a time. Work is taken
// one unit at a time (one message, request, response or timer tick), visiting the groups in
// turn; a mutually exclusive group gives out no work while one of its callbacks runs. Waiting
// threads sleep until something is published, answered, released, cancelled or shut down, or
// until the next timer is due.
#ifndef RCLCPP__EXECUTOR_HPP_
#define RCLCPP__EXECUTOR_HPP_

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/executor_options.hpp"
#include "rclcpp/future_return_code.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/utilities.hpp"

namespace rclcpp
{

class Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(Executor)

  explicit Executor(const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions());
  // Releases every node and group it was given.
  virtual ~Executor();
  Executor(const Executor &) = delete;
  Executor & operator=(const Executor &) = delete;

  virtual void spin() = 0;

  // Throws std::runtime_error when the group already belongs to an executor.
  virtual void add_callback_group(
    rclcpp::CallbackGroup::SharedPtr group_ptr,
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify = true);
  // Throws std::runtime_error when the group does not belong to this executor.
  virtual void remove_callback_group(
    rclcpp::CallbackGroup::SharedPtr group_ptr, bool notify = true);
  // Throws std::runtime_error when the node already belongs to an executor.
  virtual void add_node(
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify = true);
  virtual void add_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify = true);
  // Throws std::runtime_error when the node does not belong to this executor.
  virtual void remove_node(
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify = true);
  virtual void remove_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify = true);

  void spin_node_some(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node);
  void spin_node_some(std::shared_ptr<rclcpp::Node> node);
  // Runs the work that is ready now, without waiting; 0 = no time limit.
  virtual void spin_some(std::chrono::nanoseconds max_duration = std::chrono::nanoseconds(0));
  // Runs work until none is ready or the duration has passed; 0 = no time limit.
  virtual void spin_all(std::chrono::nanoseconds max_duration);
  // Waits up to `timeout` (negative: forever) for one unit of work and runs it.
  virtual void spin_once(std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));

  // As Humble: the future is checked before spinning and after each spin_once, never while
  // waiting, so a future completed by another thread ends the spin only once something wakes
  // this executor (work, a cancel, a shutdown or the time-out).
  template <typename FutureT, typename TimeRepT = int64_t, typename TimeT = std::milli>
  FutureReturnCode spin_until_future_complete(
    const FutureT & future,
    std::chrono::duration<TimeRepT, TimeT> timeout = std::chrono::duration<TimeRepT, TimeT>(-1))
  {
    using std::chrono::nanoseconds;
    const auto ready = [&future] {
      return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };
    if (ready()) {
      return FutureReturnCode::SUCCESS;
    }
    const auto timeout_ns = std::chrono::duration_cast<nanoseconds>(timeout);
    auto end = std::chrono::steady_clock::now();
    if (timeout_ns > nanoseconds::zero()) {
      end += timeout_ns;
    }
    nanoseconds timeout_left = timeout_ns;
    SpinGuard guard(spinning, "spin_until_future_complete() called while already spinning");
    while (rclcpp::ok(context_) && spinning.load()) {
      spin_once_impl(timeout_left);
      if (ready()) {
        return FutureReturnCode::SUCCESS;
      }
      if (timeout_ns < nanoseconds::zero()) {
        continue;
      }
      const auto now = std::chrono::steady_clock::now();
      if (now >= end) {
        return FutureReturnCode::TIMEOUT;
      }
      timeout_left = std::chrono::duration_cast<nanoseconds>(end - now);
    }
    return FutureReturnCode::INTERRUPTED;
  }

  // Makes spin() return soon, from any thread: clears the spinning flag and triggers the
  // interrupt. As on Humble, a spin that starts afterwards sets the flag again (the cancel is
  // lost), while the trigger stays pending until this executor's next wait, which it ends.
  void cancel();
  bool is_spinning();

protected:
  struct Work
  {
    std::function<void()> call;
    rclcpp::CallbackGroup::SharedPtr group;
  };

  // Sets the flag for the lifetime of a spin; throws std::runtime_error if it was set.
  class SpinGuard
  {
  public:
    SpinGuard(std::atomic_bool & flag, const char * error);
    ~SpinGuard();
    SpinGuard(const SpinGuard &) = delete;
    SpinGuard & operator=(const SpinGuard &) = delete;

  private:
    std::atomic_bool & flag_;
  };

  // Waits until work is ready (true), or the deadline passes, spinning stops, the context shuts
  // down or the wait ends on a pending interrupt (false).
  bool get_next_work(Work & work, std::chrono::steady_clock::time_point deadline);
  // One wait of up to `timeout` (negative: no limit) and the work it found.
  void spin_once_impl(std::chrono::nanoseconds timeout);
  // Runs the work and then frees its mutually exclusive group.
  void execute_work(Work & work);
  // Spins until cancelled or shut down; each wait for work lasts at most `wait_timeout`.
  void run_until_stopped(std::chrono::nanoseconds wait_timeout, bool yield_before_execute);

  std::atomic_bool spinning;
  rclcpp::Context::SharedPtr context_;

private:
  struct GroupEntry
  {
    rclcpp::CallbackGroup::WeakPtr group;
    rclcpp::node_interfaces::NodeBaseInterface::WeakPtr node;
  };

  // Adopts the automatically added groups of the nodes that are not yet associated; under mutex_.
  void collect_groups();
  // Units of work ready now in this executor's groups.
  size_t ready_count();
  // Takes one unit of ready work; otherwise lowers `earliest` to the next timer deadline.
  bool take_ready_work(Work & work, std::chrono::steady_clock::time_point & earliest);

  std::mutex mutex_;
  std::vector<rclcpp::node_interfaces::NodeBaseInterface::WeakPtr> weak_nodes_;
  std::vector<GroupEntry> weak_groups_;
  size_t group_cursor_ = 0;
  // The interrupt guard condition: set by cancel(), cleared by the wait it ends.
  std::atomic_bool interrupt_triggered_{false};
};

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTOR_HPP_
