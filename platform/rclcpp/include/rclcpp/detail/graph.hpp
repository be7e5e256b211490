// The in-process ROS graph of one context initialisation: topics and services by fully
// qualified name, with the QoS matching of ROS 2.
//
// A publisher reaches a subscription of the same topic and message type unless the
// subscription asks for more than the publisher offers (reliable from a best-effort
// publisher, transient local from a volatile one). A transient-local publisher keeps its
// last `depth` messages and hands them to each transient-local subscription that joins later.
// One published message is shared, not copied, by every subscription it reaches.
#ifndef RCLCPP__DETAIL__GRAPH_HPP_
#define RCLCPP__DETAIL__GRAPH_HPP_

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <vector>

namespace rclcpp
{
class PublisherBase;
class SubscriptionBase;
class ServiceBase;
class ClientBase;

namespace detail
{

class Graph
{
public:
  Graph() = default;
  Graph(const Graph &) = delete;
  Graph & operator=(const Graph &) = delete;

  void add_publisher(const std::shared_ptr<PublisherBase> & publisher);
  // Hands the history of matching transient-local publishers to the new subscription.
  void add_subscription(const std::shared_ptr<SubscriptionBase> & subscription);
  // Queues the message on every matching subscription; does nothing once closed.
  void publish(const PublisherBase & publisher, const std::shared_ptr<const void> & message);

  size_t count_publishers(const std::string & topic_name) const;
  size_t count_subscribers(const std::string & topic_name) const;
  size_t matched_subscriptions(const PublisherBase & publisher) const;
  size_t matched_publishers(const SubscriptionBase & subscription) const;

  void add_service(const std::shared_ptr<ServiceBase> & service);
  // The oldest live service of that name and type, or null.
  std::shared_ptr<ServiceBase> find_service(
    const std::string & service_name, std::type_index service_type) const;
  // Returns the id under which the client receives its responses.
  uint64_t add_client(const std::shared_ptr<ClientBase> & client);
  std::shared_ptr<ClientBase> find_client(uint64_t client_id) const;

  void close();
  bool is_open() const;

private:
  struct PublisherEntry
  {
    std::weak_ptr<PublisherBase> publisher;
    const PublisherBase * raw = nullptr;
    uint64_t sequence = 0;
    // (global order, message) of the last `depth` messages of a transient-local publisher.
    std::deque<std::pair<uint64_t, std::shared_ptr<const void>>> history;
  };

  struct Topic
  {
    std::vector<PublisherEntry> publishers;
    std::vector<std::weak_ptr<SubscriptionBase>> subscriptions;
  };

  void prune(Topic & topic);

  mutable std::mutex mutex_;
  bool open_ = true;
  uint64_t publish_order_ = 0;
  uint64_t next_client_id_ = 1;
  std::map<std::string, Topic> topics_;
  std::map<std::string, std::vector<std::weak_ptr<ServiceBase>>> services_;
  std::map<uint64_t, std::weak_ptr<ClientBase>> clients_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__GRAPH_HPP_
