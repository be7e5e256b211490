// SIGINT/SIGTERM handling.
//
// The handler itself only posts a semaphore (async-signal-safe); a thread started at
// installation waits on it and shuts the contexts down outside signal context, then the
// previously installed handler is called as well.
#ifndef RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_
#define RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_

#include "rclcpp/utilities.hpp"

namespace rclcpp
{
namespace detail
{

class SignalHandler
{
public:
  static SignalHandler & instance();

  bool install(SignalHandlerOptions options);
  bool uninstall();
  bool is_installed();
  SignalHandlerOptions options();

private:
  SignalHandler() = default;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__SIGNAL_HANDLER_HPP_
