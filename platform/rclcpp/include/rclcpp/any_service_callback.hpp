// Adapts the supported service callback forms, for service type S:
//   void(std::shared_ptr<S::Request>, std::shared_ptr<S::Response>)
//   void(std::shared_ptr<rmw_request_id_t>, std::shared_ptr<S::Request>, std::shared_ptr<S::Response>)
//   void(std::shared_ptr<rmw_request_id_t>, std::shared_ptr<S::Request>)            (deferred)
//   void(std::shared_ptr<Service<S>>, std::shared_ptr<rmw_request_id_t>,
//        std::shared_ptr<S::Request>)                                                 (deferred)
// The first two get a fresh response that is sent when they return; the deferred forms
// answer later with Service::send_response.
#ifndef RCLCPP__ANY_SERVICE_CALLBACK_HPP_
#define RCLCPP__ANY_SERVICE_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "rmw/types.h"

namespace rclcpp
{

template <typename ServiceT>
class Service;

template <typename ServiceT>
class AnyServiceCallback
{
public:
  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;
  using RequestPtr = std::shared_ptr<Request>;
  using ResponsePtr = std::shared_ptr<Response>;
  using HeaderPtr = std::shared_ptr<rmw_request_id_t>;
  using ServicePtr = std::shared_ptr<rclcpp::Service<ServiceT>>;

  // Throws std::invalid_argument for an empty std::function.
  template <typename CallbackT>
  void set(CallbackT && callback)
  {
    using C = std::decay_t<CallbackT>;
    if constexpr (std::is_constructible_v<bool, const C &>) {
      if (!static_cast<bool>(callback)) {
        throw std::invalid_argument("AnyServiceCallback::set(): callback cannot be nullptr");
      }
    }
    C cb(std::forward<CallbackT>(callback));
    if constexpr (std::is_invocable_v<C &, RequestPtr, ResponsePtr>) {
      call_ = [cb](const ServicePtr &, const HeaderPtr &, const RequestPtr & request) mutable {
        auto response = std::make_shared<Response>();
        cb(request, response);
        return response;
      };
    } else if constexpr (std::is_invocable_v<C &, HeaderPtr, RequestPtr, ResponsePtr>) {
      call_ = [cb](
                const ServicePtr &, const HeaderPtr & header, const RequestPtr & request) mutable {
        auto response = std::make_shared<Response>();
        cb(header, request, response);
        return response;
      };
    } else if constexpr (std::is_invocable_v<C &, HeaderPtr, RequestPtr>) {
      call_ = [cb](
                const ServicePtr &, const HeaderPtr & header, const RequestPtr & request) mutable {
        cb(header, request);
        return ResponsePtr();
      };
    } else if constexpr (std::is_invocable_v<C &, ServicePtr, HeaderPtr, RequestPtr>) {
      call_ = [cb](
                const ServicePtr & service, const HeaderPtr & header,
                const RequestPtr & request) mutable {
        cb(service, header, request);
        return ResponsePtr();
      };
    } else {
      static_assert(
        std::is_invocable_v<C &, RequestPtr, ResponsePtr>,
        "service callback must take (request, response), (header, request, response), "
        "(header, request) or (service, header, request) shared pointers");
    }
  }

  // The response to send now, or null for a deferred callback.
  ResponsePtr dispatch(
    const ServicePtr & service, const HeaderPtr & request_header, const RequestPtr & request)
  {
    return call_(service, request_header, request);
  }

private:
  std::function<ResponsePtr(const ServicePtr &, const HeaderPtr &, const RequestPtr &)> call_;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_SERVICE_CALLBACK_HPP_
