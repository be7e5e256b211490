// rclcpp::CallbackGroup: the unit of concurrency control of the executors.
//
// A mutually exclusive group runs at most one of its callbacks at a time, whatever the number
// of executor threads; a reentrant group may run any number at once. The group holds its
// entities weakly: an entity lives as long as the caller keeps its shared pointer.
#ifndef RCLCPP__CALLBACK_GROUP_HPP_
#define RCLCPP__CALLBACK_GROUP_HPP_

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{

enum class CallbackGroupType
{
  MutuallyExclusive,
  Reentrant
};

class CallbackGroup
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(CallbackGroup)

  explicit CallbackGroup(
    CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);

  CallbackGroupType type() const;
  // False while a callback of this mutually exclusive group runs.
  std::atomic_bool & can_be_taken_from();
  std::atomic_bool & get_associated_with_executor_atomic();
  bool automatically_add_to_executor_with_node() const;
  // Number of live entities.
  size_t size() const;

  void add_entity(const std::shared_ptr<detail::ExecutableEntity> & entity);
  // Ready work of one entity, visiting the entities in turn so none is starved.
  std::function<void()> take_work();
  std::chrono::steady_clock::time_point next_deadline() const;
  size_t ready_count() const;

private:
  RCLCPP_DISABLE_COPY(CallbackGroup)

  std::vector<std::shared_ptr<detail::ExecutableEntity>> live_entities() const;

  const CallbackGroupType type_;
  const bool automatically_add_to_executor_with_node_;
  std::atomic_bool can_be_taken_from_{true};
  std::atomic_bool associated_with_executor_{false};
  mutable std::mutex mutex_;
  mutable std::vector<std::weak_ptr<detail::ExecutableEntity>> entities_;
  size_t cursor_ = 0;
};

}  // namespace rclcpp

#endif  // RCLCPP__CALLBACK_GROUP_HPP_
