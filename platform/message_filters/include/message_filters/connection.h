// A handle that undoes a callback registration.
#ifndef MESSAGE_FILTERS__CONNECTION_H_
#define MESSAGE_FILTERS__CONNECTION_H_

#include <functional>

namespace message_filters
{

class Connection
{
public:
  typedef std::function<void(void)> VoidDisconnectFunction;
  typedef std::function<void(const Connection &)> WithConnectionDisconnectFunction;

  Connection() = default;
  explicit Connection(const VoidDisconnectFunction & func);
  // Removes the callback; does nothing the second time.
  void disconnect();

private:
  VoidDisconnectFunction void_disconnect_;
};

}  // namespace message_filters

#endif  // MESSAGE_FILTERS__CONNECTION_H_
