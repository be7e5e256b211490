// The callbacks of a synchroniser: each receives one message per input (up to nine).
//
// addCallback(C&) wraps the callable as std::bind(callable, _1, ..., _9), so it must accept
// nine arguments, as a std::bind(&T::f, obj, _1, _2) object does; a plain two-argument lambda
// does not. Free functions, and member functions registered with (&T::f, obj), take as many
// inputs as they declare.
#ifndef MESSAGE_FILTERS__SIGNAL9_H_
#define MESSAGE_FILTERS__SIGNAL9_H_

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

#include "message_filters/connection.h"
#include "message_filters/message_event.h"
#include "message_filters/null_types.h"
#include "message_filters/parameter_adapter.h"

namespace message_filters
{

template <
  typename M0, typename M1, typename M2, typename M3, typename M4, typename M5, typename M6,
  typename M7, typename M8>
class Signal9
{
public:
  typedef std::tuple<
    MessageEvent<M0 const>, MessageEvent<M1 const>, MessageEvent<M2 const>, MessageEvent<M3 const>,
    MessageEvent<M4 const>, MessageEvent<M5 const>, MessageEvent<M6 const>, MessageEvent<M7 const>,
    MessageEvent<M8 const>>
    Events;

  template <typename... P>
  Connection addCallback(const std::function<void(P...)> & callback)
  {
    static_assert(sizeof...(P) <= 9, "a synchroniser callback takes at most nine messages");
    auto helper = std::make_shared<Helper>([callback](const Events & events) {
      invoke(callback, events, std::index_sequence_for<P...>());
    });
    std::lock_guard<std::mutex> lock(mutex_);
    callbacks_.push_back(helper);
    return Connection([this, helper] { removeCallback(helper); });
  }

  template <typename C>
  Connection addCallback(C & callback)
  {
    using namespace std::placeholders;  // NOLINT
    return addCallback(std::function<void(
                         const std::shared_ptr<M0 const> &, const std::shared_ptr<M1 const> &,
                         const std::shared_ptr<M2 const> &, const std::shared_ptr<M3 const> &,
                         const std::shared_ptr<M4 const> &, const std::shared_ptr<M5 const> &,
                         const std::shared_ptr<M6 const> &, const std::shared_ptr<M7 const> &,
                         const std::shared_ptr<M8 const> &)>(
      std::bind(callback, _1, _2, _3, _4, _5, _6, _7, _8, _9)));
  }

  // A free function takes as many inputs as it declares, like a member function.
  template <typename... P>
  Connection addCallback(void (*callback)(P...))
  {
    return addCallback(std::function<void(P...)>(callback));
  }

  template <typename T, typename... P>
  Connection addCallback(void (T::*callback)(P...), T * t)
  {
    return addCallback(std::function<void(P...)>([callback, t](P... p) { (t->*callback)(p...); }));
  }

  void call(
    const MessageEvent<M0 const> & e0, const MessageEvent<M1 const> & e1,
    const MessageEvent<M2 const> & e2, const MessageEvent<M3 const> & e3,
    const MessageEvent<M4 const> & e4, const MessageEvent<M5 const> & e5,
    const MessageEvent<M6 const> & e6, const MessageEvent<M7 const> & e7,
    const MessageEvent<M8 const> & e8)
  {
    std::vector<std::shared_ptr<Helper>> callbacks;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      callbacks = callbacks_;
    }
    const Events events(e0, e1, e2, e3, e4, e5, e6, e7, e8);
    for (const auto & helper : callbacks) {
      (*helper)(events);
    }
  }

private:
  typedef std::function<void(const Events &)> Helper;

  template <typename... P, size_t... I>
  static void invoke(
    const std::function<void(P...)> & callback, const Events & events, std::index_sequence<I...>)
  {
    callback(ParameterAdapter<P>::getParameter(std::get<I>(events))...);
  }

  void removeCallback(const std::shared_ptr<Helper> & helper)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    callbacks_.erase(std::remove(callbacks_.begin(), callbacks_.end(), helper), callbacks_.end());
  }

  std::mutex mutex_;
  std::vector<std::shared_ptr<Helper>> callbacks_;
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__SIGNAL9_H_
