#include "message_filters/connection.h"

#include <utility>

namespace message_filters
{

Connection::Connection(const VoidDisconnectFunction & func) : void_disconnect_(func) {}

void Connection::disconnect()
{
  VoidDisconnectFunction func = std::move(void_disconnect_);
  void_disconnect_ = nullptr;
  if (func) {
    func();
  }
}

}  // namespace message_filters
