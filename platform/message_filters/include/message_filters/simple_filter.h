// Base of the single-output filters: callbacks registered on it receive each message.
#ifndef MESSAGE_FILTERS__SIMPLE_FILTER_H_
#define MESSAGE_FILTERS__SIMPLE_FILTER_H_

#include <functional>
#include <memory>
#include <string>

#include "message_filters/connection.h"
#include "message_filters/message_event.h"
#include "message_filters/signal1.h"

namespace message_filters
{

template <class M>
class SimpleFilter
{
public:
  typedef std::shared_ptr<M const> MConstPtr;
  typedef MessageEvent<M const> EventType;

  SimpleFilter() = default;
  SimpleFilter(const SimpleFilter &) = delete;
  SimpleFilter & operator=(const SimpleFilter &) = delete;
  virtual ~SimpleFilter() = default;

  // Any callable taking const std::shared_ptr<M const>&.
  template <typename C>
  Connection registerCallback(const C & callback)
  {
    return signal_.addCallback(std::function<void(const MConstPtr &)>(callback));
  }

  template <typename P>
  Connection registerCallback(const std::function<void(P)> & callback)
  {
    return signal_.addCallback(callback);
  }

  template <typename P>
  Connection registerCallback(void (*callback)(P))
  {
    return signal_.addCallback(callback);
  }

  template <typename T, typename P>
  Connection registerCallback(void (T::*callback)(P), T * t)
  {
    return signal_.addCallback(callback, t);
  }

  void setName(const std::string & name) { name_ = name; }
  const std::string & getName() { return name_; }

protected:
  void signalMessage(const MConstPtr & msg) { signal_.call(EventType(msg)); }
  void signalMessage(const EventType & event) { signal_.call(event); }

private:
  Signal1<M> signal_;
  std::string name_;
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__SIMPLE_FILTER_H_
