// rclcpp::Node: names, clock, logger and the factory of publishers, subscriptions,
// services, clients, timers and callback groups. Node names may repeat.
#ifndef RCLCPP__NODE_HPP_
#define RCLCPP__NODE_HPP_

#include <chrono>
#include <memory>
#include <string>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/client.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/logger.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/service.hpp"
#include "rclcpp/subscription.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/timer.hpp"
#include "rmw/qos_profiles.h"

namespace rclcpp
{

class Node : public std::enable_shared_from_this<Node>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Node)

  // Throw InvalidNodeNameError / InvalidNamespaceError for bad names and
  // rclcpp::exceptions::RCLError when the options' context is not valid.
  explicit Node(const std::string & node_name, const NodeOptions & options = NodeOptions());
  explicit Node(
    const std::string & node_name, const std::string & namespace_,
    const NodeOptions & options = NodeOptions());
  virtual ~Node() = default;
  RCLCPP_DISABLE_COPY(Node)

  const char * get_name() const;
  const char * get_namespace() const;
  const char * get_fully_qualified_name() const;
  rclcpp::Logger get_logger() const;

  rclcpp::CallbackGroup::SharedPtr create_callback_group(
    rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);

  template <
    typename MessageT, typename AllocatorT = std::allocator<void>,
    typename PublisherT = rclcpp::Publisher<MessageT, AllocatorT>>
  std::shared_ptr<PublisherT> create_publisher(
    const std::string & topic_name, const rclcpp::QoS & qos,
    const PublisherOptionsWithAllocator<AllocatorT> & options =
      PublisherOptionsWithAllocator<AllocatorT>());

  template <
    typename MessageT, typename CallbackT, typename AllocatorT = std::allocator<void>,
    typename SubscriptionT = rclcpp::Subscription<MessageT, AllocatorT>>
  std::shared_ptr<SubscriptionT> create_subscription(
    const std::string & topic_name, const rclcpp::QoS & qos, CallbackT && callback,
    const SubscriptionOptionsWithAllocator<AllocatorT> & options =
      SubscriptionOptionsWithAllocator<AllocatorT>());

  template <typename DurationRepT = int64_t, typename DurationT = std::milli, typename CallbackT>
  typename rclcpp::WallTimer<CallbackT>::SharedPtr create_wall_timer(
    std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
    rclcpp::CallbackGroup::SharedPtr group = nullptr);

  template <typename ServiceT>
  typename rclcpp::Client<ServiceT>::SharedPtr create_client(
    const std::string & service_name,
    const rmw_qos_profile_t & qos_profile = rmw_qos_profile_services_default,
    rclcpp::CallbackGroup::SharedPtr group = nullptr);

  template <typename ServiceT, typename CallbackT>
  typename rclcpp::Service<ServiceT>::SharedPtr create_service(
    const std::string & service_name, CallbackT && callback,
    const rmw_qos_profile_t & qos_profile = rmw_qos_profile_services_default,
    rclcpp::CallbackGroup::SharedPtr group = nullptr);

  size_t count_publishers(const std::string & topic_name) const;
  size_t count_subscribers(const std::string & topic_name) const;

  // ROS time (RCL_ROS_TIME), which here follows the system clock.
  rclcpp::Clock::SharedPtr get_clock();
  rclcpp::Clock::ConstSharedPtr get_clock() const;
  Time now() const;

  const rclcpp::NodeOptions & get_node_options() const;
  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr get_node_base_interface();

private:
  rclcpp::NodeOptions node_options_;
  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_base_;
  rclcpp::Clock::SharedPtr clock_;
  rclcpp::Logger logger_;
};

}  // namespace rclcpp

#include "rclcpp/node_impl.hpp"

#endif  // RCLCPP__NODE_HPP_
