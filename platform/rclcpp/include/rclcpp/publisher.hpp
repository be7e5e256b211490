// rclcpp::Publisher<MessageT>: publishing never runs a callback; it queues one shared,
// immutable message on every matching subscription and wakes the executors.
#ifndef RCLCPP__PUBLISHER_HPP_
#define RCLCPP__PUBLISHER_HPP_

#include <memory>
#include <string>
#include <type_traits>
#include <typeindex>
#include <utility>

#include "rclcpp/macros.hpp"
#include "rclcpp/publisher_base.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace rclcpp
{

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class Publisher : public PublisherBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Publisher)

  using ROSMessageType = MessageT;
  using ROSMessageTypeDeleter = std::default_delete<ROSMessageType>;

  Publisher(
    node_interfaces::NodeBaseInterface & node_base, const std::string & topic,
    const rclcpp::QoS & qos, const PublisherOptionsWithAllocator<AllocatorT> & options)
  : PublisherBase(node_base, topic, std::type_index(typeid(MessageT)), qos), options_(options)
  {
  }

  // Takes ownership: the message is shared with the subscriptions without a copy.
  template <typename T>
  std::enable_if_t<
    rosidl_generator_traits::is_message<T>::value && std::is_same<T, ROSMessageType>::value>
  publish(std::unique_ptr<T, ROSMessageTypeDeleter> msg)
  {
    publish_shared(std::shared_ptr<const T>(std::move(msg)));
  }

  // Copies the message once; every subscription shares that copy.
  template <typename T>
  std::enable_if_t<
    rosidl_generator_traits::is_message<T>::value && std::is_same<T, ROSMessageType>::value>
  publish(const T & msg)
  {
    publish_shared(std::make_shared<const T>(msg));
  }

  const PublisherOptionsWithAllocator<AllocatorT> & get_options() const { return options_; }

private:
  PublisherOptionsWithAllocator<AllocatorT> options_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_HPP_
