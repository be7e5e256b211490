// The type-independent part of a service server: its queue of pending requests.
#ifndef RCLCPP__SERVICE_BASE_HPP_
#define RCLCPP__SERVICE_BASE_HPP_

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <utility>

#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"
#include "rmw/types.h"

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

class ServiceBase : public detail::ExecutableEntity,
                    public std::enable_shared_from_this<ServiceBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(ServiceBase)

  // Throws InvalidServiceNameError for a bad name and RCLError on a shut-down context.
  ServiceBase(
    node_interfaces::NodeBaseInterface & node_base, const std::string & service_name,
    std::type_index service_type);
  ~ServiceBase() override = default;
  ServiceBase(const ServiceBase &) = delete;
  ServiceBase & operator=(const ServiceBase &) = delete;

  const char * get_service_name() const;
  std::type_index get_service_type() const;

  // Called by a client: queues a request whose answer goes back to that client.
  void receive_request(const rmw_request_id_t & header, std::shared_ptr<void> request);

  std::function<void()> take_work() override;
  size_t ready_count() const override;

protected:
  virtual void dispatch(
    const std::shared_ptr<rmw_request_id_t> & header, const std::shared_ptr<void> & request) = 0;
  // Hands the response to the client named by the header; dropped when it no longer exists.
  void send_response_shared(const rmw_request_id_t & header, std::shared_ptr<void> response);

private:
  const std::string service_name_;
  const std::type_index service_type_;
  std::shared_ptr<detail::Graph> graph_;
  mutable std::mutex mutex_;
  std::deque<std::pair<rmw_request_id_t, std::shared_ptr<void>>> requests_;
};

namespace detail
{
// The id that the graph gave a client, carried in the request header's writer guid.
uint64_t client_id_of(const rmw_request_id_t & header);
rmw_request_id_t make_request_header(uint64_t client_id, int64_t sequence_number);
}  // namespace detail

}  // namespace rclcpp

#endif  // RCLCPP__SERVICE_BASE_HPP_
