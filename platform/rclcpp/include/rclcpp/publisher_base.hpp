// The type-independent part of a publisher.
#ifndef RCLCPP__PUBLISHER_BASE_HPP_
#define RCLCPP__PUBLISHER_BASE_HPP_

#include <memory>
#include <string>
#include <typeindex>

#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"

namespace rclcpp
{
namespace detail
{
class Graph;
}  // namespace detail
namespace node_interfaces
{
class NodeBaseInterface;
}  // namespace node_interfaces

class PublisherBase : public std::enable_shared_from_this<PublisherBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(PublisherBase)

  // Throws InvalidTopicNameError for a bad name and RCLError on a shut-down context.
  PublisherBase(
    node_interfaces::NodeBaseInterface & node_base, const std::string & topic,
    std::type_index message_type, const rclcpp::QoS & qos);
  virtual ~PublisherBase() = default;
  PublisherBase(const PublisherBase &) = delete;
  PublisherBase & operator=(const PublisherBase &) = delete;

  const char * get_topic_name() const;
  size_t get_queue_size() const;
  // Subscriptions that this publisher reaches.
  size_t get_subscription_count() const;
  size_t get_intra_process_subscription_count() const;
  rclcpp::QoS get_actual_qos() const;
  std::type_index get_message_type() const;

protected:
  // Shares the message with every matching subscription and wakes the executors.
  void publish_shared(std::shared_ptr<const void> message);

private:
  const std::string topic_name_;
  const std::type_index message_type_;
  const rclcpp::QoS qos_;
  std::shared_ptr<detail::Graph> graph_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_BASE_HPP_
