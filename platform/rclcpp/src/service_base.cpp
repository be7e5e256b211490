#include "rclcpp/service_base.hpp"

#include <cstring>

#include "rclcpp/client_base.hpp"
#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/notifier.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"

namespace rclcpp
{

ServiceBase::ServiceBase(
  node_interfaces::NodeBaseInterface & node_base, const std::string & service_name,
  std::type_index service_type)
: service_name_(node_base.resolve_topic_or_service_name(service_name, true))
, service_type_(service_type)
, graph_(node_base.get_graph())
{
  node_base.require_valid_context("service '" + service_name_ + "'");
}

const char * ServiceBase::get_service_name() const { return service_name_.c_str(); }

std::type_index ServiceBase::get_service_type() const { return service_type_; }

void ServiceBase::receive_request(const rmw_request_id_t & header, std::shared_ptr<void> request)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.emplace_back(header, std::move(request));
  }
  detail::Notifier::instance().notify();
}

std::function<void()> ServiceBase::take_work()
{
  std::shared_ptr<rmw_request_id_t> header;
  std::shared_ptr<void> request;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (requests_.empty()) {
      return {};
    }
    header = std::make_shared<rmw_request_id_t>(requests_.front().first);
    request = std::move(requests_.front().second);
    requests_.pop_front();
  }
  auto self = shared_from_this();
  return [self, header, request]() { self->dispatch(header, request); };
}

size_t ServiceBase::ready_count() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.size();
}

void ServiceBase::send_response_shared(
  const rmw_request_id_t & header, std::shared_ptr<void> response)
{
  if (auto client = graph_->find_client(detail::client_id_of(header))) {
    client->receive_response(header.sequence_number, std::move(response));
  }
}

namespace detail
{

uint64_t client_id_of(const rmw_request_id_t & header)
{
  uint64_t id = 0;
  std::memcpy(&id, header.writer_guid, sizeof(id));
  return id;
}

rmw_request_id_t make_request_header(uint64_t client_id, int64_t sequence_number)
{
  rmw_request_id_t header{};
  std::memcpy(header.writer_guid, &client_id, sizeof(client_id));
  header.sequence_number = sequence_number;
  return header;
}

}  // namespace detail
}  // namespace rclcpp
