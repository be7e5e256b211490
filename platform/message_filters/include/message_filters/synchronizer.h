// message_filters::Synchronizer: joins up to nine inputs through a synchronisation policy.
//
// The policy's output callbacks run synchronously inside the input callback that completed
// a set, under the policy's lock: registering or adding from inside them deadlocks.
#ifndef MESSAGE_FILTERS__SYNCHRONIZER_H_
#define MESSAGE_FILTERS__SYNCHRONIZER_H_

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "message_filters/connection.h"
#include "message_filters/message_event.h"
#include "message_filters/null_types.h"
#include "message_filters/signal9.h"

namespace message_filters
{

class noncopyable
{
protected:
  noncopyable() = default;
  ~noncopyable() = default;
  noncopyable(const noncopyable &) = delete;
  noncopyable & operator=(const noncopyable &) = delete;
};

template <
  typename M0, typename M1, typename M2 = NullType, typename M3 = NullType, typename M4 = NullType,
  typename M5 = NullType, typename M6 = NullType, typename M7 = NullType, typename M8 = NullType>
struct PolicyBase
{
  // Number of inputs that are not NullType.
  static constexpr int kRealTypeCount =
    2 + !std::is_same<M2, NullType>::value + !std::is_same<M3, NullType>::value +
    !std::is_same<M4, NullType>::value + !std::is_same<M5, NullType>::value +
    !std::is_same<M6, NullType>::value + !std::is_same<M7, NullType>::value +
    !std::is_same<M8, NullType>::value;
  typedef std::integral_constant<int, kRealTypeCount> RealTypeCount;
  typedef std::tuple<M0, M1, M2, M3, M4, M5, M6, M7, M8> Messages;
  typedef Signal9<M0, M1, M2, M3, M4, M5, M6, M7, M8> Signal;
  typedef std::tuple<
    MessageEvent<M0 const>, MessageEvent<M1 const>, MessageEvent<M2 const>, MessageEvent<M3 const>,
    MessageEvent<M4 const>, MessageEvent<M5 const>, MessageEvent<M6 const>, MessageEvent<M7 const>,
    MessageEvent<M8 const>>
    Events;
  typedef MessageEvent<M0 const> M0Event;
  typedef MessageEvent<M1 const> M1Event;
  typedef MessageEvent<M2 const> M2Event;
  typedef MessageEvent<M3 const> M3Event;
  typedef MessageEvent<M4 const> M4Event;
  typedef MessageEvent<M5 const> M5Event;
  typedef MessageEvent<M6 const> M6Event;
  typedef MessageEvent<M7 const> M7Event;
  typedef MessageEvent<M8 const> M8Event;
};

template <class Policy>
class Synchronizer : public noncopyable, public Policy
{
public:
  typedef typename Policy::Messages Messages;
  typedef typename Policy::Events Events;
  typedef typename Policy::Signal Signal;
  typedef typename Policy::M0Event M0Event;
  typedef typename Policy::M1Event M1Event;
  typedef typename Policy::M2Event M2Event;
  typedef typename Policy::M3Event M3Event;
  typedef typename Policy::M4Event M4Event;
  typedef typename Policy::M5Event M5Event;
  typedef typename Policy::M6Event M6Event;
  typedef typename Policy::M7Event M7Event;
  typedef typename Policy::M8Event M8Event;

  // Inputs are any filters with registerCallback, usually message_filters::Subscriber.
  template <
    class F0, class... F,
    typename = std::enable_if_t<!std::is_base_of<Policy, std::decay_t<F0>>::value>>
  Synchronizer(F0 & f0, F &... f)
  {
    connectInput(f0, f...);
    init();
  }

  Synchronizer() { init(); }

  template <class F0, class... F>
  Synchronizer(const Policy & policy, F0 & f0, F &... f) : Policy(policy)
  {
    connectInput(f0, f...);
    init();
  }

  explicit Synchronizer(const Policy & policy) : Policy(policy) { init(); }

  ~Synchronizer() { disconnectAll(); }

  void init() { Policy::initParent(this); }

  template <class... F>
  void connectInput(F &... f)
  {
    static_assert(sizeof...(F) >= 2 && sizeof...(F) <= 9, "a synchroniser takes 2 to 9 inputs");
    disconnectAll();
    connect_each(std::index_sequence_for<F...>(), f...);
  }

  template <class C>
  Connection registerCallback(C & callback)
  {
    return signal_.addCallback(callback);
  }

  template <class C>
  Connection registerCallback(const C & callback)
  {
    return signal_.addCallback(callback);
  }

  template <class C, typename T>
  Connection registerCallback(const C & callback, T * t)
  {
    return signal_.addCallback(callback, t);
  }

  template <class C, typename T>
  Connection registerCallback(C & callback, T * t)
  {
    return signal_.addCallback(callback, t);
  }

  void setName(const std::string & name) { name_ = name; }
  const std::string & getName() { return name_; }

  void signal(
    const M0Event & e0, const M1Event & e1, const M2Event & e2, const M3Event & e3,
    const M4Event & e4, const M5Event & e5, const M6Event & e6, const M7Event & e7,
    const M8Event & e8)
  {
    signal_.call(e0, e1, e2, e3, e4, e5, e6, e7, e8);
  }

  Policy * getPolicy() { return static_cast<Policy *>(this); }

  using Policy::add;

  template <int i>
  void add(const std::shared_ptr<typename std::tuple_element<i, Messages>::type const> & msg)
  {
    this->template add<i>(typename std::tuple_element<i, Events>::type(msg));
  }

private:
  template <size_t... I, class... F>
  void connect_each(std::index_sequence<I...>, F &... f)
  {
    ((input_connections_[I] = f.registerCallback(
        std::function<void(const typename std::tuple_element<I, Events>::type &)>(
          [this](const typename std::tuple_element<I, Events>::type & event) {
            this->template add<static_cast<int>(I)>(event);
          }))),
     ...);
  }

  void disconnectAll()
  {
    for (auto & connection : input_connections_) {
      connection.disconnect();
    }
  }

  Signal signal_;
  std::array<Connection, 9> input_connections_;
  std::string name_;
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__SYNCHRONIZER_H_
