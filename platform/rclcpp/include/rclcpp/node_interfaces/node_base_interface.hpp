// The core of a node: its names, context, graph, callback groups and executor association.
// Entities register through it so that name resolution, the context check and the group
// bookkeeping live in one place.
#ifndef RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{
class PublisherBase;
class SubscriptionBase;
class ServiceBase;
class ClientBase;
class TimerBase;

namespace detail
{
class Graph;
}  // namespace detail

namespace node_interfaces
{

class NodeBaseInterface
{
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeBaseInterface)

  // Throws InvalidNodeNameError / InvalidNamespaceError for bad names and
  // rclcpp::exceptions::RCLError when the context is not valid.
  NodeBaseInterface(
    const std::string & node_name, const std::string & namespace_, Context::SharedPtr context);
  virtual ~NodeBaseInterface() = default;
  RCLCPP_DISABLE_COPY(NodeBaseInterface)

  const char * get_name() const;
  const char * get_namespace() const;
  const char * get_fully_qualified_name() const;
  Context::SharedPtr get_context();
  std::shared_ptr<detail::Graph> get_graph() const;

  CallbackGroup::SharedPtr create_callback_group(
    CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);
  CallbackGroup::SharedPtr get_default_callback_group();
  bool callback_group_in_node(CallbackGroup::SharedPtr group);
  void for_each_callback_group(const std::function<void(CallbackGroup::SharedPtr)> & func);
  std::atomic_bool & get_associated_with_executor_atomic();

  // Fully qualified name for this node; throws InvalidTopicNameError/InvalidServiceNameError.
  std::string resolve_topic_or_service_name(const std::string & name, bool is_service) const;

  // Throws rclcpp::exceptions::RCLError naming `what` unless the context is valid.
  void require_valid_context(const std::string & what) const;

  void add_publisher(const std::shared_ptr<PublisherBase> & publisher);
  void add_subscription(
    const std::shared_ptr<SubscriptionBase> & subscription, CallbackGroup::SharedPtr group);
  void add_service(const std::shared_ptr<ServiceBase> & service, CallbackGroup::SharedPtr group);
  void add_client(const std::shared_ptr<ClientBase> & client, CallbackGroup::SharedPtr group);
  void add_timer(const std::shared_ptr<TimerBase> & timer, CallbackGroup::SharedPtr group);

private:
  // The group to use (the default one for null); throws std::runtime_error for a foreign group.
  CallbackGroup::SharedPtr group_or_default(CallbackGroup::SharedPtr group, const char * what);

  const std::string name_;
  const std::string namespace_;
  const std::string fully_qualified_name_;
  Context::SharedPtr context_;
  std::shared_ptr<detail::Graph> graph_;
  CallbackGroup::SharedPtr default_callback_group_;
  std::mutex groups_mutex_;
  std::vector<std::weak_ptr<CallbackGroup>> callback_groups_;
  std::atomic_bool associated_with_executor_{false};
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_
