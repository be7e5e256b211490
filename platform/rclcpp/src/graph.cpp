#include "rclcpp/detail/graph.hpp"

#include <algorithm>
#include <chrono>

#include "rclcpp/client_base.hpp"
#include "rclcpp/detail/qos_matching.hpp"
#include "rclcpp/logging.hpp"
#include "rclcpp/publisher_base.hpp"
#include "rclcpp/service_base.hpp"
#include "rclcpp/subscription_base.hpp"

namespace rclcpp
{
namespace detail
{
namespace
{

bool matches(const PublisherBase & publisher, const SubscriptionBase & subscription)
{
  return publisher.get_message_type() == subscription.get_message_type() &&
         incompatible_policy(publisher.get_actual_qos(), subscription.get_actual_qos()).empty();
}

void warn_if_incompatible(const PublisherBase & publisher, const SubscriptionBase & subscription)
{
  if (publisher.get_message_type() != subscription.get_message_type()) {
    return;
  }
  const std::string policy =
    incompatible_policy(publisher.get_actual_qos(), subscription.get_actual_qos());
  if (!policy.empty()) {
    RCLCPP_WARN(
      rclcpp::get_logger("rclcpp"),
      "Publisher and subscription on topic '%s' have incompatible QoS; no messages will be "
      "delivered. Incompatible policy: %s",
      publisher.get_topic_name(), policy.c_str());
  }
}

rmw_message_info_t make_info(uint64_t sequence)
{
  rmw_message_info_t info{};
  const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
  info.source_timestamp = now;
  info.received_timestamp = now;
  info.publication_sequence_number = sequence;
  info.reception_sequence_number = sequence;
  info.from_intra_process = false;
  return info;
}

}  // namespace

void Graph::prune(Topic & topic)
{
  auto & pubs = topic.publishers;
  pubs.erase(
    std::remove_if(
      pubs.begin(), pubs.end(), [](const PublisherEntry & e) { return e.publisher.expired(); }),
    pubs.end());
  auto & subs = topic.subscriptions;
  subs.erase(
    std::remove_if(
      subs.begin(), subs.end(),
      [](const std::weak_ptr<SubscriptionBase> & weak) { return weak.expired(); }),
    subs.end());
}

void Graph::add_publisher(const std::shared_ptr<PublisherBase> & publisher)
{
  std::lock_guard<std::mutex> lock(mutex_);
  Topic & topic = topics_[publisher->get_topic_name()];
  prune(topic);
  PublisherEntry entry;
  entry.publisher = publisher;
  entry.raw = publisher.get();
  topic.publishers.push_back(std::move(entry));
  for (const auto & weak : topic.subscriptions) {
    if (auto subscription = weak.lock()) {
      warn_if_incompatible(*publisher, *subscription);
    }
  }
}

void Graph::add_subscription(const std::shared_ptr<SubscriptionBase> & subscription)
{
  std::lock_guard<std::mutex> lock(mutex_);
  Topic & topic = topics_[subscription->get_topic_name()];
  prune(topic);
  topic.subscriptions.push_back(subscription);
  if (!is_transient_local(subscription->get_actual_qos())) {
    for (const auto & entry : topic.publishers) {
      if (auto publisher = entry.publisher.lock()) {
        warn_if_incompatible(*publisher, *subscription);
      }
    }
    return;
  }
  // Late joiner: the kept messages of every matching publisher, in publication order.
  std::vector<std::pair<uint64_t, std::pair<std::shared_ptr<const void>, uint64_t>>> backlog;
  for (const auto & entry : topic.publishers) {
    auto publisher = entry.publisher.lock();
    if (!publisher) {
      continue;
    }
    warn_if_incompatible(*publisher, *subscription);
    if (!matches(*publisher, *subscription)) {
      continue;
    }
    uint64_t sequence = entry.sequence - entry.history.size();
    for (const auto & kept : entry.history) {
      backlog.push_back({kept.first, {kept.second, ++sequence}});
    }
  }
  std::sort(backlog.begin(), backlog.end(), [](const auto & a, const auto & b) {
    return a.first < b.first;
  });
  for (const auto & item : backlog) {
    subscription->deliver(item.second.first, make_info(item.second.second));
  }
}

void Graph::publish(const PublisherBase & publisher, const std::shared_ptr<const void> & message)
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (!open_) {
    return;
  }
  auto topic_it = topics_.find(publisher.get_topic_name());
  if (topic_it == topics_.end()) {
    return;
  }
  Topic & topic = topic_it->second;
  auto entry = std::find_if(
    topic.publishers.begin(), topic.publishers.end(),
    [&publisher](const PublisherEntry & e) { return e.raw == &publisher; });
  if (entry == topic.publishers.end()) {
    return;
  }
  const uint64_t sequence = ++entry->sequence;
  const rclcpp::QoS qos = publisher.get_actual_qos();
  if (is_transient_local(qos)) {
    entry->history.emplace_back(++publish_order_, message);
    if (qos.history() != HistoryPolicy::KeepAll) {
      const size_t depth = qos.depth() == 0 ? 1 : qos.depth();
      while (entry->history.size() > depth) {
        entry->history.pop_front();
      }
    }
  }
  const rmw_message_info_t info = make_info(sequence);
  for (const auto & weak : topic.subscriptions) {
    auto subscription = weak.lock();
    if (subscription && matches(publisher, *subscription)) {
      subscription->deliver(message, info);
    }
  }
}

size_t Graph::count_publishers(const std::string & topic_name) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = topics_.find(topic_name);
  if (it == topics_.end()) {
    return 0;
  }
  return static_cast<size_t>(std::count_if(
    it->second.publishers.begin(), it->second.publishers.end(),
    [](const PublisherEntry & e) { return !e.publisher.expired(); }));
}

size_t Graph::count_subscribers(const std::string & topic_name) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = topics_.find(topic_name);
  if (it == topics_.end()) {
    return 0;
  }
  return static_cast<size_t>(std::count_if(
    it->second.subscriptions.begin(), it->second.subscriptions.end(),
    [](const std::weak_ptr<SubscriptionBase> & weak) { return !weak.expired(); }));
}

size_t Graph::matched_subscriptions(const PublisherBase & publisher) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = topics_.find(publisher.get_topic_name());
  if (it == topics_.end()) {
    return 0;
  }
  size_t count = 0;
  for (const auto & weak : it->second.subscriptions) {
    auto subscription = weak.lock();
    if (subscription && matches(publisher, *subscription)) {
      ++count;
    }
  }
  return count;
}

size_t Graph::matched_publishers(const SubscriptionBase & subscription) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = topics_.find(subscription.get_topic_name());
  if (it == topics_.end()) {
    return 0;
  }
  size_t count = 0;
  for (const auto & entry : it->second.publishers) {
    auto publisher = entry.publisher.lock();
    if (publisher && matches(*publisher, subscription)) {
      ++count;
    }
  }
  return count;
}

void Graph::add_service(const std::shared_ptr<ServiceBase> & service)
{
  std::lock_guard<std::mutex> lock(mutex_);
  auto & list = services_[service->get_service_name()];
  list.erase(
    std::remove_if(
      list.begin(), list.end(),
      [](const std::weak_ptr<ServiceBase> & weak) { return weak.expired(); }),
    list.end());
  list.push_back(service);
}

std::shared_ptr<ServiceBase> Graph::find_service(
  const std::string & service_name, std::type_index service_type) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (!open_) {
    return nullptr;
  }
  auto it = services_.find(service_name);
  if (it == services_.end()) {
    return nullptr;
  }
  for (const auto & weak : it->second) {
    auto service = weak.lock();
    if (service && service->get_service_type() == service_type) {
      return service;
    }
  }
  return nullptr;
}

uint64_t Graph::add_client(const std::shared_ptr<ClientBase> & client)
{
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = clients_.begin(); it != clients_.end();) {
    it = it->second.expired() ? clients_.erase(it) : std::next(it);
  }
  const uint64_t id = next_client_id_++;
  clients_[id] = client;
  return id;
}

std::shared_ptr<ClientBase> Graph::find_client(uint64_t client_id) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = clients_.find(client_id);
  return it == clients_.end() ? nullptr : it->second.lock();
}

void Graph::close()
{
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = false;
}

bool Graph::is_open() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return open_;
}

}  // namespace detail
}  // namespace rclcpp
