#include "rclcpp/client_base.hpp"

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/notifier.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/service_base.hpp"

namespace rclcpp
{

ClientBase::ClientBase(
  node_interfaces::NodeBaseInterface & node_base, const std::string & service_name,
  std::type_index service_type)
: service_name_(node_base.resolve_topic_or_service_name(service_name, true))
, service_type_(service_type)
, graph_(node_base.get_graph())
, context_(node_base.get_context())
{
  node_base.require_valid_context("client of service '" + service_name_ + "'");
}

const char * ClientBase::get_service_name() const { return service_name_.c_str(); }

bool ClientBase::service_is_ready() const
{
  return graph_->find_service(service_name_, service_type_) != nullptr;
}

void ClientBase::set_client_id(uint64_t client_id) { client_id_.store(client_id); }

void ClientBase::receive_response(int64_t sequence_number, std::shared_ptr<void> response)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    responses_.emplace_back(sequence_number, std::move(response));
  }
  detail::Notifier::instance().notify();
}

std::function<void()> ClientBase::take_work()
{
  int64_t sequence_number = 0;
  std::shared_ptr<void> response;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (responses_.empty()) {
      return {};
    }
    sequence_number = responses_.front().first;
    response = std::move(responses_.front().second);
    responses_.pop_front();
  }
  auto self = shared_from_this();
  return [self, sequence_number, response]() { self->handle_response(sequence_number, response); };
}

size_t ClientBase::ready_count() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return responses_.size();
}

bool ClientBase::wait_for_service_nanoseconds(std::chrono::nanoseconds timeout)
{
  bool ready = false;
  detail::wait_for_condition(
    [this, &ready] {
      ready = context_->is_valid() && service_is_ready();
      return ready || !context_->is_valid();
    },
    detail::deadline_after(timeout));
  return ready;
}

int64_t ClientBase::send_request_shared(std::shared_ptr<void> request)
{
  const int64_t sequence_number = ++sequence_number_;
  if (auto service = graph_->find_service(service_name_, service_type_)) {
    service->receive_request(
      detail::make_request_header(client_id_.load(), sequence_number), std::move(request));
  }
  return sequence_number;
}

}  // namespace rclcpp
