// The callbacks of a single-input filter, called in registration order.
#ifndef MESSAGE_FILTERS__SIGNAL1_H_
#define MESSAGE_FILTERS__SIGNAL1_H_

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "message_filters/connection.h"
#include "message_filters/message_event.h"
#include "message_filters/parameter_adapter.h"

namespace message_filters
{

template <class M>
class Signal1
{
public:
  typedef MessageEvent<M const> Event;

  template <typename P>
  Connection addCallback(const std::function<void(P)> & callback)
  {
    auto helper = std::make_shared<Helper>(
      [callback](const Event & event) { callback(ParameterAdapter<P>::getParameter(event)); });
    std::lock_guard<std::mutex> lock(mutex_);
    callbacks_.push_back(helper);
    return Connection([this, helper] { removeCallback(helper); });
  }

  template <typename P>
  Connection addCallback(void (*callback)(P))
  {
    return addCallback(std::function<void(P)>(callback));
  }

  template <typename T, typename P>
  Connection addCallback(void (T::*callback)(P), T * t)
  {
    return addCallback(std::function<void(P)>([callback, t](P p) { (t->*callback)(p); }));
  }

  void call(const Event & event)
  {
    std::vector<std::shared_ptr<Helper>> callbacks;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      callbacks = callbacks_;
    }
    for (const auto & helper : callbacks) {
      (*helper)(event);
    }
  }

private:
  typedef std::function<void(const Event &)> Helper;

  void removeCallback(const std::shared_ptr<Helper> & helper)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    callbacks_.erase(std::remove(callbacks_.begin(), callbacks_.end(), helper), callbacks_.end());
  }

  std::mutex mutex_;
  std::vector<std::shared_ptr<Helper>> callbacks_;
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__SIGNAL1_H_
