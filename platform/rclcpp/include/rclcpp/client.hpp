// rclcpp::Client<ServiceT>: asynchronous requests whose responses reach the future when an
// executor spinning the client's callback group processes them.
#ifndef RCLCPP__CLIENT_HPP_
#define RCLCPP__CLIENT_HPP_

#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <utility>

#include "rclcpp/client_base.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{
namespace detail
{

// A future together with the sequence number of its request; move-only.
template <typename FutureT>
struct FutureAndRequestId
{
  FutureT future;
  int64_t request_id;

  FutureAndRequestId(FutureT impl, int64_t req_id) : future(std::move(impl)), request_id(req_id) {}

  FutureAndRequestId(FutureAndRequestId && other) noexcept = default;
  FutureAndRequestId & operator=(FutureAndRequestId && other) noexcept = default;
  FutureAndRequestId(const FutureAndRequestId & other) = delete;
  FutureAndRequestId & operator=(const FutureAndRequestId & other) = delete;
  ~FutureAndRequestId() = default;

  [[deprecated("use the future member instead")]] operator FutureT &() { return this->future; }

  auto get() { return this->future.get(); }
  bool valid() const noexcept { return this->future.valid(); }
  void wait() const { return this->future.wait(); }

  template <class Rep, class Period>
  std::future_status wait_for(const std::chrono::duration<Rep, Period> & timeout_duration) const
  {
    return this->future.wait_for(timeout_duration);
  }

  template <class Clock, class Duration>
  std::future_status wait_until(const std::chrono::time_point<Clock, Duration> & timeout_time) const
  {
    return this->future.wait_until(timeout_time);
  }
};

}  // namespace detail

template <typename ServiceT>
class Client : public ClientBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Client)

  using SharedRequest = typename ServiceT::Request::SharedPtr;
  using SharedResponse = typename ServiceT::Response::SharedPtr;
  using Promise = std::promise<SharedResponse>;
  using SharedPromise = std::shared_ptr<Promise>;
  using Future = std::future<SharedResponse>;
  using SharedFuture = std::shared_future<SharedResponse>;
  using CallbackType = std::function<void(SharedFuture)>;

  struct FutureAndRequestId : detail::FutureAndRequestId<Future>
  {
    using detail::FutureAndRequestId<Future>::FutureAndRequestId;

    SharedFuture share() noexcept { return this->future.share(); }
  };

  struct SharedFutureAndRequestId : detail::FutureAndRequestId<SharedFuture>
  {
    using detail::FutureAndRequestId<SharedFuture>::FutureAndRequestId;
  };

  Client(node_interfaces::NodeBaseInterface & node_base, const std::string & service_name)
  : ClientBase(node_base, service_name, std::type_index(typeid(ServiceT)))
  {
  }

  FutureAndRequestId async_send_request(SharedRequest request)
  {
    auto promise = std::make_shared<Promise>();
    Future future = promise->get_future();
    const int64_t id = send(std::move(request), Pending{promise, nullptr, {}});
    return FutureAndRequestId(std::move(future), id);
  }

  // The callback runs in the executor, after the future is ready.
  template <typename CallbackT>
  SharedFutureAndRequestId async_send_request(SharedRequest request, CallbackT && cb)
  {
    auto promise = std::make_shared<Promise>();
    SharedFuture future = promise->get_future().share();
    const int64_t id =
      send(std::move(request), Pending{promise, CallbackType(std::forward<CallbackT>(cb)), future});
    return SharedFutureAndRequestId(std::move(future), id);
  }

  bool remove_pending_request(int64_t request_id)
  {
    std::lock_guard<std::mutex> lock(pending_mutex_);
    return pending_.erase(request_id) != 0;
  }

  bool remove_pending_request(const FutureAndRequestId & future)
  {
    return remove_pending_request(future.request_id);
  }

  bool remove_pending_request(const SharedFutureAndRequestId & future)
  {
    return remove_pending_request(future.request_id);
  }

  size_t prune_pending_requests()
  {
    std::lock_guard<std::mutex> lock(pending_mutex_);
    const size_t count = pending_.size();
    pending_.clear();
    return count;
  }

protected:
  void handle_response(int64_t sequence_number, const std::shared_ptr<void> & response) override
  {
    Pending pending;
    {
      std::lock_guard<std::mutex> lock(pending_mutex_);
      auto it = pending_.find(sequence_number);
      if (it == pending_.end()) {
        return;
      }
      pending = std::move(it->second);
      pending_.erase(it);
    }
    pending.promise->set_value(std::static_pointer_cast<typename ServiceT::Response>(response));
    if (pending.callback) {
      pending.callback(pending.shared_future);
    }
  }

private:
  struct Pending
  {
    SharedPromise promise;
    CallbackType callback;
    SharedFuture shared_future;
  };

  int64_t send(SharedRequest request, Pending pending)
  {
    // The pending entry must exist before the request can be answered.
    std::lock_guard<std::mutex> lock(pending_mutex_);
    const int64_t id = send_request_shared(std::move(request));
    pending_[id] = std::move(pending);
    return id;
  }

  std::mutex pending_mutex_;
  std::map<int64_t, Pending> pending_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLIENT_HPP_
