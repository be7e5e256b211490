#include "rclcpp/callback_group.hpp"

#include <algorithm>

namespace rclcpp
{

CallbackGroup::CallbackGroup(
  CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
: type_(group_type)
, automatically_add_to_executor_with_node_(automatically_add_to_executor_with_node)
{
}

CallbackGroupType CallbackGroup::type() const { return type_; }

std::atomic_bool & CallbackGroup::can_be_taken_from() { return can_be_taken_from_; }

std::atomic_bool & CallbackGroup::get_associated_with_executor_atomic()
{
  return associated_with_executor_;
}

bool CallbackGroup::automatically_add_to_executor_with_node() const
{
  return automatically_add_to_executor_with_node_;
}

size_t CallbackGroup::size() const { return live_entities().size(); }

void CallbackGroup::add_entity(const std::shared_ptr<detail::ExecutableEntity> & entity)
{
  std::lock_guard<std::mutex> lock(mutex_);
  entities_.erase(
    std::remove_if(
      entities_.begin(), entities_.end(),
      [](const std::weak_ptr<detail::ExecutableEntity> & weak) { return weak.expired(); }),
    entities_.end());
  entities_.push_back(entity);
}

std::vector<std::shared_ptr<detail::ExecutableEntity>> CallbackGroup::live_entities() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::shared_ptr<detail::ExecutableEntity>> result;
  result.reserve(entities_.size());
  for (const auto & weak : entities_) {
    if (auto entity = weak.lock()) {
      result.push_back(entity);
    }
  }
  return result;
}

std::function<void()> CallbackGroup::take_work()
{
  std::vector<std::shared_ptr<detail::ExecutableEntity>> entities;
  size_t start = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entities.reserve(entities_.size());
    for (const auto & weak : entities_) {
      entities.push_back(weak.lock());
    }
    start = entities.empty() ? 0 : cursor_ % entities.size();
  }
  for (size_t i = 0; i < entities.size(); ++i) {
    const size_t index = (start + i) % entities.size();
    if (!entities[index]) {
      continue;
    }
    if (auto work = entities[index]->take_work()) {
      std::lock_guard<std::mutex> lock(mutex_);
      cursor_ = index + 1;
      return work;
    }
  }
  return {};
}

std::chrono::steady_clock::time_point CallbackGroup::next_deadline() const
{
  auto earliest = std::chrono::steady_clock::time_point::max();
  for (const auto & entity : live_entities()) {
    earliest = std::min(earliest, entity->next_deadline());
  }
  return earliest;
}

size_t CallbackGroup::ready_count() const
{
  size_t count = 0;
  for (const auto & entity : live_entities()) {
    count += entity->ready_count();
  }
  return count;
}

}  // namespace rclcpp
