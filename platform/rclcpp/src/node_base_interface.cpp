#include "rclcpp/node_interfaces/node_base_interface.hpp"

#include <algorithm>
#include <stdexcept>

#include "rclcpp/client_base.hpp"
#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/notifier.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/expand_topic_or_service_name.hpp"
#include "rclcpp/publisher_base.hpp"
#include "rclcpp/service_base.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rclcpp/timer.hpp"

namespace rclcpp
{
namespace node_interfaces
{
namespace
{

std::string validated_name(const std::string & node_name)
{
  detail::validate_node_name(node_name);
  return node_name;
}

std::string validated_namespace(const std::string & namespace_)
{
  std::string normalized = detail::normalize_namespace(namespace_);
  detail::validate_namespace(normalized);
  return normalized;
}

std::string join(const std::string & namespace_, const std::string & name)
{
  return namespace_ == "/" ? "/" + name : namespace_ + "/" + name;
}

}  // namespace

NodeBaseInterface::NodeBaseInterface(
  const std::string & node_name, const std::string & namespace_, Context::SharedPtr context)
: name_(validated_name(node_name))
, namespace_(validated_namespace(namespace_))
, fully_qualified_name_(join(this->namespace_, name_))
, context_(std::move(context))
, default_callback_group_(
    std::make_shared<CallbackGroup>(CallbackGroupType::MutuallyExclusive, true))
{
  if (!context_) {
    throw std::invalid_argument("node '" + name_ + "' needs a context");
  }
  require_valid_context("node '" + fully_qualified_name_ + "'");
  graph_ = context_->get_graph();
  callback_groups_.push_back(default_callback_group_);
}

const char * NodeBaseInterface::get_name() const { return name_.c_str(); }

const char * NodeBaseInterface::get_namespace() const { return namespace_.c_str(); }

const char * NodeBaseInterface::get_fully_qualified_name() const
{
  return fully_qualified_name_.c_str();
}

Context::SharedPtr NodeBaseInterface::get_context() { return context_; }

std::shared_ptr<detail::Graph> NodeBaseInterface::get_graph() const { return graph_; }

CallbackGroup::SharedPtr NodeBaseInterface::create_callback_group(
  CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
{
  auto group = std::make_shared<CallbackGroup>(group_type, automatically_add_to_executor_with_node);
  {
    std::lock_guard<std::mutex> lock(groups_mutex_);
    callback_groups_.erase(
      std::remove_if(
        callback_groups_.begin(), callback_groups_.end(),
        [](const std::weak_ptr<CallbackGroup> & weak) { return weak.expired(); }),
      callback_groups_.end());
    callback_groups_.push_back(group);
  }
  detail::Notifier::instance().notify();
  return group;
}

CallbackGroup::SharedPtr NodeBaseInterface::get_default_callback_group()
{
  return default_callback_group_;
}

bool NodeBaseInterface::callback_group_in_node(CallbackGroup::SharedPtr group)
{
  std::lock_guard<std::mutex> lock(groups_mutex_);
  return std::any_of(
    callback_groups_.begin(), callback_groups_.end(),
    [&group](const std::weak_ptr<CallbackGroup> & weak) { return weak.lock() == group; });
}

void NodeBaseInterface::for_each_callback_group(
  const std::function<void(CallbackGroup::SharedPtr)> & func)
{
  std::vector<CallbackGroup::SharedPtr> groups;
  {
    std::lock_guard<std::mutex> lock(groups_mutex_);
    for (const auto & weak : callback_groups_) {
      if (auto group = weak.lock()) {
        groups.push_back(group);
      }
    }
  }
  for (const auto & group : groups) {
    func(group);
  }
}

std::atomic_bool & NodeBaseInterface::get_associated_with_executor_atomic()
{
  return associated_with_executor_;
}

std::string NodeBaseInterface::resolve_topic_or_service_name(
  const std::string & name, bool is_service) const
{
  return expand_topic_or_service_name(name, name_, namespace_, is_service);
}

void NodeBaseInterface::require_valid_context(const std::string & what) const
{
  if (!context_->is_valid()) {
    throw exceptions::RCLError(
      "cannot create " + what + ": the context is not initialized or has been shut down");
  }
}

CallbackGroup::SharedPtr NodeBaseInterface::group_or_default(
  CallbackGroup::SharedPtr group, const char * what)
{
  if (!group) {
    return default_callback_group_;
  }
  if (!callback_group_in_node(group)) {
    throw std::runtime_error(std::string("Cannot create ") + what + ", group not in node.");
  }
  return group;
}

void NodeBaseInterface::add_publisher(const std::shared_ptr<PublisherBase> & publisher)
{
  graph_->add_publisher(publisher);
}

void NodeBaseInterface::add_subscription(
  const std::shared_ptr<SubscriptionBase> & subscription, CallbackGroup::SharedPtr group)
{
  group_or_default(group, "subscription")->add_entity(subscription);
  graph_->add_subscription(subscription);
  detail::Notifier::instance().notify();
}

void NodeBaseInterface::add_service(
  const std::shared_ptr<ServiceBase> & service, CallbackGroup::SharedPtr group)
{
  group_or_default(group, "service")->add_entity(service);
  graph_->add_service(service);
  detail::Notifier::instance().notify();
}

void NodeBaseInterface::add_client(
  const std::shared_ptr<ClientBase> & client, CallbackGroup::SharedPtr group)
{
  group_or_default(group, "client")->add_entity(client);
  client->set_client_id(graph_->add_client(client));
}

void NodeBaseInterface::add_timer(
  const std::shared_ptr<TimerBase> & timer, CallbackGroup::SharedPtr group)
{
  group_or_default(group, "timer")->add_entity(timer);
  detail::Notifier::instance().notify();
}

}  // namespace node_interfaces
}  // namespace rclcpp
