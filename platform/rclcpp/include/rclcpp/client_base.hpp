// The type-independent part of a service client: sending requests and queueing responses
// until an executor spinning the client's node hands them to the typed client.
#ifndef RCLCPP__CLIENT_BASE_HPP_
#define RCLCPP__CLIENT_BASE_HPP_

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <utility>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"

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

class ClientBase : public detail::ExecutableEntity, public std::enable_shared_from_this<ClientBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(ClientBase)

  // Throws InvalidServiceNameError for a bad name and RCLError on a shut-down context.
  ClientBase(
    node_interfaces::NodeBaseInterface & node_base, const std::string & service_name,
    std::type_index service_type);
  ~ClientBase() override = default;
  ClientBase(const ClientBase &) = delete;
  ClientBase & operator=(const ClientBase &) = delete;

  const char * get_service_name() const;
  // True while a service of this name and type exists.
  bool service_is_ready() const;

  // True once the service exists; false at the time-out (negative: none) or on shutdown.
  template <typename RepT = int64_t, typename RatioT = std::milli>
  bool wait_for_service(
    std::chrono::duration<RepT, RatioT> timeout = std::chrono::duration<RepT, RatioT>(-1))
  {
    return wait_for_service_nanoseconds(
      std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
  }

  // Set by the graph when the client is registered.
  void set_client_id(uint64_t client_id);
  // Called by a service: queues the response to the request with that sequence number.
  void receive_response(int64_t sequence_number, std::shared_ptr<void> response);

  std::function<void()> take_work() override;
  size_t ready_count() const override;

protected:
  bool wait_for_service_nanoseconds(std::chrono::nanoseconds timeout);
  // Sends the request to the service if one exists (otherwise it is lost, as on a real
  // middleware) and returns its sequence number.
  int64_t send_request_shared(std::shared_ptr<void> request);
  virtual void handle_response(int64_t sequence_number, const std::shared_ptr<void> & response) = 0;

private:
  const std::string service_name_;
  const std::type_index service_type_;
  std::shared_ptr<detail::Graph> graph_;
  Context::SharedPtr context_;
  std::atomic<uint64_t> client_id_{0};
  std::atomic<int64_t> sequence_number_{0};
  mutable std::mutex mutex_;
  std::deque<std::pair<int64_t, std::shared_ptr<void>>> responses_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLIENT_BASE_HPP_
