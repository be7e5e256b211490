#include "rclcpp/executor.hpp"

#include <string>
#include <thread>

#include "rclcpp/detail/notifier.hpp"

namespace rclcpp
{

std::string to_string(const FutureReturnCode & future_return_code)
{
  switch (future_return_code) {
    case FutureReturnCode::SUCCESS:
      return "SUCCESS (0)";
    case FutureReturnCode::INTERRUPTED:
      return "INTERRUPTED (1)";
    case FutureReturnCode::TIMEOUT:
      return "TIMEOUT (2)";
  }
  return "UNKNOWN";
}

Executor::SpinGuard::SpinGuard(std::atomic_bool & flag, const char * error) : flag_(flag)
{
  if (flag_.exchange(true)) {
    throw std::runtime_error(error);
  }
}

Executor::SpinGuard::~SpinGuard() { flag_.store(false); }

Executor::Executor(const rclcpp::ExecutorOptions & options)
: spinning(false), context_(options.context)
{
}

Executor::~Executor()
{
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto & entry : weak_groups_) {
    if (auto group = entry.group.lock()) {
      group->get_associated_with_executor_atomic().store(false);
    }
  }
  for (const auto & weak : weak_nodes_) {
    if (auto node = weak.lock()) {
      node->get_associated_with_executor_atomic().store(false);
    }
  }
}

void Executor::add_callback_group(
  rclcpp::CallbackGroup::SharedPtr group_ptr,
  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify)
{
  if (group_ptr->get_associated_with_executor_atomic().exchange(true)) {
    throw std::runtime_error("Callback group has already been added to an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    weak_groups_.push_back({group_ptr, node_ptr});
  }
  if (notify) {
    detail::Notifier::instance().notify();
  }
}

void Executor::remove_callback_group(rclcpp::CallbackGroup::SharedPtr group_ptr, bool notify)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find_if(weak_groups_.begin(), weak_groups_.end(), [&](const GroupEntry & e) {
      return e.group.lock() == group_ptr;
    });
    if (it == weak_groups_.end()) {
      throw std::runtime_error("Callback group needs to be associated with this executor.");
    }
    weak_groups_.erase(it);
    group_ptr->get_associated_with_executor_atomic().store(false);
  }
  if (notify) {
    detail::Notifier::instance().notify();
  }
}

void Executor::add_node(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify)
{
  if (node_ptr->get_associated_with_executor_atomic().exchange(true)) {
    throw std::runtime_error(
      std::string("Node '") + node_ptr->get_fully_qualified_name() +
      "' has already been added to an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    weak_nodes_.push_back(node_ptr);
    collect_groups();
  }
  if (notify) {
    detail::Notifier::instance().notify();
  }
}

void Executor::add_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify)
{
  add_node(node_ptr->get_node_base_interface(), notify);
}

void Executor::remove_node(
  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find_if(
      weak_nodes_.begin(), weak_nodes_.end(),
      [&](const rclcpp::node_interfaces::NodeBaseInterface::WeakPtr & weak) {
        return weak.lock() == node_ptr;
      });
    if (it == weak_nodes_.end()) {
      throw std::runtime_error(
        std::string("Node '") + node_ptr->get_fully_qualified_name() +
        "' needs to be associated with this executor.");
    }
    weak_nodes_.erase(it);
    weak_groups_.erase(
      std::remove_if(
        weak_groups_.begin(), weak_groups_.end(),
        [&](const GroupEntry & e) {
          if (e.node.lock() != node_ptr) {
            return false;
          }
          if (auto group = e.group.lock()) {
            group->get_associated_with_executor_atomic().store(false);
          }
          return true;
        }),
      weak_groups_.end());
    node_ptr->get_associated_with_executor_atomic().store(false);
  }
  if (notify) {
    detail::Notifier::instance().notify();
  }
}

void Executor::remove_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify)
{
  remove_node(node_ptr->get_node_base_interface(), notify);
}

void Executor::spin_node_some(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node)
{
  add_node(node, false);
  try {
    spin_some();
  } catch (...) {
    remove_node(node, false);
    throw;
  }
  remove_node(node, false);
}

void Executor::spin_node_some(std::shared_ptr<rclcpp::Node> node)
{
  spin_node_some(node->get_node_base_interface());
}

void Executor::spin_some(std::chrono::nanoseconds max_duration)
{
  SpinGuard guard(spinning, "spin_some() called while already spinning");
  const auto start = std::chrono::steady_clock::now();
  const auto limit_passed = [&] {
    return max_duration > std::chrono::nanoseconds::zero() &&
           std::chrono::steady_clock::now() - start >= max_duration;
  };
  // Only the work that was ready at the start: a busy publisher cannot keep this call alive.
  for (size_t budget = ready_count(); budget > 0 && !limit_passed(); --budget) {
    Work work;
    if (!get_next_work(work, std::chrono::steady_clock::time_point::min())) {
      break;
    }
    execute_work(work);
  }
}

void Executor::spin_all(std::chrono::nanoseconds max_duration)
{
  if (max_duration < std::chrono::nanoseconds::zero()) {
    throw std::invalid_argument("max_duration must be greater than or equal to 0");
  }
  SpinGuard guard(spinning, "spin_all() called while already spinning");
  const auto start = std::chrono::steady_clock::now();
  while (max_duration == std::chrono::nanoseconds::zero() ||
         std::chrono::steady_clock::now() - start < max_duration) {
    Work work;
    if (!get_next_work(work, std::chrono::steady_clock::time_point::min())) {
      break;
    }
    execute_work(work);
  }
}

void Executor::spin_once(std::chrono::nanoseconds timeout)
{
  SpinGuard guard(spinning, "spin_once() called while already spinning");
  spin_once_impl(timeout);
}

void Executor::spin_once_impl(std::chrono::nanoseconds timeout)
{
  Work work;
  if (get_next_work(work, detail::deadline_after(timeout))) {
    execute_work(work);
  }
}

void Executor::cancel()
{
  spinning.store(false);
  interrupt_triggered_.store(true);
  detail::Notifier::instance().notify();
}

bool Executor::is_spinning() { return spinning.load(); }

void Executor::collect_groups()
{
  weak_nodes_.erase(
    std::remove_if(
      weak_nodes_.begin(), weak_nodes_.end(),
      [](const rclcpp::node_interfaces::NodeBaseInterface::WeakPtr & weak) {
        return weak.expired();
      }),
    weak_nodes_.end());
  weak_groups_.erase(
    std::remove_if(
      weak_groups_.begin(), weak_groups_.end(),
      [](const GroupEntry & e) { return e.group.expired(); }),
    weak_groups_.end());
  for (const auto & weak : weak_nodes_) {
    auto node = weak.lock();
    node->for_each_callback_group([&](rclcpp::CallbackGroup::SharedPtr group) {
      if (
        group->automatically_add_to_executor_with_node() &&
        !group->get_associated_with_executor_atomic().exchange(true)) {
        weak_groups_.push_back({group, node});
      }
    });
  }
}

size_t Executor::ready_count()
{
  std::lock_guard<std::mutex> lock(mutex_);
  collect_groups();
  size_t count = 0;
  for (const auto & entry : weak_groups_) {
    if (auto group = entry.group.lock()) {
      count += group->ready_count();
    }
  }
  return count;
}

bool Executor::take_ready_work(Work & work, std::chrono::steady_clock::time_point & earliest)
{
  std::lock_guard<std::mutex> lock(mutex_);
  collect_groups();
  const size_t count = weak_groups_.size();
  for (size_t i = 0; i < count; ++i) {
    const size_t index = (group_cursor_ + i) % count;
    auto group = weak_groups_[index].group.lock();
    if (!group || !group->can_be_taken_from().load()) {
      continue;
    }
    if (auto call = group->take_work()) {
      if (group->type() == rclcpp::CallbackGroupType::MutuallyExclusive) {
        group->can_be_taken_from().store(false);
      }
      work.call = std::move(call);
      work.group = std::move(group);
      group_cursor_ = index + 1;
      return true;
    }
    earliest = std::min(earliest, group->next_deadline());
  }
  return false;
}

bool Executor::get_next_work(Work & work, std::chrono::steady_clock::time_point deadline)
{
  detail::Notifier & notifier = detail::Notifier::instance();
  while (true) {
    const uint64_t seen = notifier.generation();
    if (!spinning.load() || !context_->is_valid()) {
      return false;
    }
    auto earliest = std::chrono::steady_clock::time_point::max();
    if (take_ready_work(work, earliest)) {
      return true;
    }
    // A pending interrupt ends this wait at once, as on Humble; the work was just looked for.
    if (interrupt_triggered_.exchange(false)) {
      return false;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    notifier.wait_until(seen, std::min(earliest, deadline));
    // A wait that the interrupt ended: the work is looked for once more only while spinning.
    if (interrupt_triggered_.exchange(false)) {
      auto unused = std::chrono::steady_clock::time_point::max();
      return spinning.load() && take_ready_work(work, unused);
    }
  }
}

void Executor::execute_work(Work & work)
{
  struct Release
  {
    rclcpp::CallbackGroup::SharedPtr group;
    ~Release()
    {
      if (group->type() == rclcpp::CallbackGroupType::MutuallyExclusive) {
        group->can_be_taken_from().store(true);
        detail::Notifier::instance().notify();
      }
    }
  } release{work.group};
  work.call();
}

void Executor::run_until_stopped(std::chrono::nanoseconds wait_timeout, bool yield_before_execute)
{
  while (rclcpp::ok(context_) && spinning.load()) {
    Work work;
    if (!get_next_work(work, detail::deadline_after(wait_timeout))) {
      continue;
    }
    if (yield_before_execute) {
      std::this_thread::yield();
    }
    execute_work(work);
  }
}

}  // namespace rclcpp
