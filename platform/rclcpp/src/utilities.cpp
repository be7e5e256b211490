#include "rclcpp/utilities.hpp"

#include <cstring>

#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/detail/signal_handler.hpp"

namespace rclcpp
{
namespace
{

Context::SharedPtr or_default(Context::SharedPtr context)
{
  return context ? context : contexts::get_global_default_context();
}

}  // namespace

void init(
  int argc, char const * const * argv, const InitOptions & init_options,
  SignalHandlerOptions signal_handler_options)
{
  contexts::get_global_default_context()->init(argc, argv, init_options);
  install_signal_handlers(signal_handler_options);
}

bool install_signal_handlers(SignalHandlerOptions signal_handler_options)
{
  return detail::SignalHandler::instance().install(signal_handler_options);
}

bool signal_handlers_installed() { return detail::SignalHandler::instance().is_installed(); }

SignalHandlerOptions get_current_signal_handler_options()
{
  return detail::SignalHandler::instance().options();
}

bool uninstall_signal_handlers() { return detail::SignalHandler::instance().uninstall(); }

std::vector<std::string> init_and_remove_ros_arguments(
  int argc, char const * const * argv, const InitOptions & init_options)
{
  init(argc, argv, init_options);
  return remove_ros_arguments(argc, argv);
}

std::vector<std::string> remove_ros_arguments(int argc, char const * const * argv)
{
  std::vector<std::string> kept;
  bool in_ros_args = false;
  for (int i = 0; i < argc; ++i) {
    const char * arg = argv[i];
    if (std::strcmp(arg, "--ros-args") == 0) {
      in_ros_args = true;
    } else if (in_ros_args && std::strcmp(arg, "--") == 0) {
      in_ros_args = false;
    } else if (!in_ros_args) {
      kept.emplace_back(arg);
    }
  }
  return kept;
}

bool ok(Context::SharedPtr context) { return or_default(context)->is_valid(); }

bool shutdown(Context::SharedPtr context, const std::string & reason)
{
  auto default_context = contexts::get_global_default_context();
  auto target = or_default(context);
  const bool was_valid = target->shutdown(reason);
  if (target == default_context) {
    uninstall_signal_handlers();
  }
  return was_valid;
}

void on_shutdown(std::function<void()> callback, Context::SharedPtr context)
{
  or_default(context)->on_shutdown(std::move(callback));
}

bool sleep_for(const std::chrono::nanoseconds & nanoseconds, Context::SharedPtr context)
{
  return or_default(context)->sleep_for(nanoseconds);
}

}  // namespace rclcpp
