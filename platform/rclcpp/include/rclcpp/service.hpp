// rclcpp::Service<ServiceT>: runs the user callback for each request in the executor of its
// callback group and sends the response back to the calling client.
#ifndef RCLCPP__SERVICE_HPP_
#define RCLCPP__SERVICE_HPP_

#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <utility>

#include "rclcpp/any_service_callback.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/service_base.hpp"

namespace rclcpp
{

template <typename ServiceT>
class Service : public ServiceBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Service)

  using CallbackType = std::function<void(
    const std::shared_ptr<typename ServiceT::Request>,
    std::shared_ptr<typename ServiceT::Response>)>;
  using CallbackWithHeaderType = std::function<void(
    const std::shared_ptr<rmw_request_id_t>, const std::shared_ptr<typename ServiceT::Request>,
    std::shared_ptr<typename ServiceT::Response>)>;

  Service(
    node_interfaces::NodeBaseInterface & node_base, const std::string & service_name,
    AnyServiceCallback<ServiceT> any_callback)
  : ServiceBase(node_base, service_name, std::type_index(typeid(ServiceT)))
  , any_callback_(std::move(any_callback))
  {
  }

  void send_response(rmw_request_id_t & req_id, typename ServiceT::Response & response)
  {
    send_response_shared(req_id, std::make_shared<typename ServiceT::Response>(response));
  }

protected:
  void dispatch(
    const std::shared_ptr<rmw_request_id_t> & header,
    const std::shared_ptr<void> & request) override
  {
    auto self = std::static_pointer_cast<Service<ServiceT>>(shared_from_this());
    auto response = any_callback_.dispatch(
      self, header, std::static_pointer_cast<typename ServiceT::Request>(request));
    if (response) {
      send_response_shared(*header, response);
    }
  }

private:
  AnyServiceCallback<ServiceT> any_callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SERVICE_HPP_
