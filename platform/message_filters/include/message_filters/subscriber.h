// message_filters::Subscriber: an rclcpp subscription as the input of a filter chain.
#ifndef MESSAGE_FILTERS__SUBSCRIBER_H_
#define MESSAGE_FILTERS__SUBSCRIBER_H_

#include <memory>
#include <string>

#include "message_filters/connection.h"
#include "message_filters/simple_filter.h"
#include "rclcpp/rclcpp.hpp"

namespace message_filters
{

template <class NodeType = rclcpp::Node>
class SubscriberBase
{
public:
  typedef std::shared_ptr<NodeType> NodePtr;

  virtual ~SubscriberBase() = default;

  virtual void subscribe(
    NodePtr node, const std::string & topic,
    const rmw_qos_profile_t qos = rmw_qos_profile_default) = 0;
  virtual void subscribe(
    NodeType * node, const std::string & topic,
    const rmw_qos_profile_t qos = rmw_qos_profile_default) = 0;
  virtual void subscribe(
    NodePtr node, const std::string & topic, const rmw_qos_profile_t qos,
    rclcpp::SubscriptionOptions options)
  {
    subscribe(node.get(), topic, qos, options);
  }
  virtual void subscribe(
    NodeType * node, const std::string & topic, const rmw_qos_profile_t qos,
    rclcpp::SubscriptionOptions options) = 0;
  // Subscribes again with the arguments of the last subscribe.
  virtual void subscribe() = 0;
  virtual void unsubscribe() = 0;
};

// Each message of the subscription is passed to the callbacks registered on this filter,
// inside the subscription's callback (so in the executor thread that runs it).
template <class M, class NodeType = rclcpp::Node>
class Subscriber : public SubscriberBase<NodeType>, public SimpleFilter<M>
{
public:
  typedef std::shared_ptr<NodeType> NodePtr;
  typedef MessageEvent<M const> EventType;

  Subscriber(
    NodePtr node, const std::string & topic, const rmw_qos_profile_t qos = rmw_qos_profile_default)
  {
    subscribe(node, topic, qos);
  }

  Subscriber(
    NodeType * node, const std::string & topic,
    const rmw_qos_profile_t qos = rmw_qos_profile_default)
  {
    subscribe(node, topic, qos);
  }

  Subscriber(
    NodePtr node, const std::string & topic, const rmw_qos_profile_t qos,
    rclcpp::SubscriptionOptions options)
  {
    subscribe(node, topic, qos, options);
  }

  Subscriber(
    NodeType * node, const std::string & topic, const rmw_qos_profile_t qos,
    rclcpp::SubscriptionOptions options)
  {
    subscribe(node, topic, qos, options);
  }

  Subscriber() = default;

  ~Subscriber() override { unsubscribe(); }

  // Keeps a copy of the node pointer (a cycle if this subscriber is a member of that node).
  void subscribe(
    NodePtr node, const std::string & topic,
    const rmw_qos_profile_t qos = rmw_qos_profile_default) override
  {
    subscribe(node.get(), topic, qos, rclcpp::SubscriptionOptions());
    node_shared_ = node;
  }

  void subscribe(
    NodeType * node, const std::string & topic,
    const rmw_qos_profile_t qos = rmw_qos_profile_default) override
  {
    subscribe(node, topic, qos, rclcpp::SubscriptionOptions());
  }

  void subscribe(
    NodePtr node, const std::string & topic, const rmw_qos_profile_t qos,
    rclcpp::SubscriptionOptions options) override
  {
    subscribe(node.get(), topic, qos, options);
    node_shared_ = node;
  }

  // Throws what create_subscription throws (invalid topic name, shut-down context).
  void subscribe(
    NodeType * node, const std::string & topic, const rmw_qos_profile_t qos,
    rclcpp::SubscriptionOptions options) override
  {
    unsubscribe();
    if (topic.empty()) {
      return;
    }
    topic_ = topic;
    qos_ = qos;
    options_ = options;
    node_raw_ = node;
    const rclcpp::QoS rclcpp_qos(rclcpp::QoSInitialization::from_rmw(qos), qos);
    sub_ = node->template create_subscription<M>(
      topic, rclcpp_qos, [this](std::shared_ptr<M const> msg) { this->signalMessage(msg); },
      options);
  }

  void subscribe() override
  {
    if (!topic_.empty() && node_raw_ != nullptr) {
      subscribe(node_raw_, topic_, qos_, options_);
    }
  }

  void unsubscribe() override { sub_.reset(); }

  std::string getTopic() const { return sub_ ? std::string(sub_->get_topic_name()) : topic_; }

  const typename rclcpp::Subscription<M>::SharedPtr getSubscriber() const { return sub_; }

  template <typename F>
  void connectInput(F &)
  {
  }

  void add(const EventType &) {}

private:
  typename rclcpp::Subscription<M>::SharedPtr sub_;
  NodePtr node_shared_;
  NodeType * node_raw_ = nullptr;
  std::string topic_;
  rmw_qos_profile_t qos_ = rmw_qos_profile_default;
  rclcpp::SubscriptionOptions options_;
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__SUBSCRIBER_H_
