// rclcpp::Context: one initialisation of the client library and the in-process graph it owns.
//
// init() makes the context valid and gives it a fresh, empty graph; shutdown() makes it
// invalid, closes the graph (publishing into it does nothing, creating entities in it throws),
// runs the on-shutdown callbacks and wakes every wait. A context may be initialised again
// after a shutdown.
#ifndef RCLCPP__CONTEXT_HPP_
#define RCLCPP__CONTEXT_HPP_

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "rclcpp/init_options.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{
namespace detail
{
class Graph;
}  // namespace detail

class ContextAlreadyInitialized : public std::runtime_error
{
public:
  ContextAlreadyInitialized();
};

class Context : public std::enable_shared_from_this<Context>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Context)

  using OnShutdownCallback = std::function<void()>;

  class OnShutdownCallbackHandle
  {
    friend class Context;

  private:
    std::weak_ptr<OnShutdownCallback> callback_;
  };

  Context();
  virtual ~Context();
  RCLCPP_DISABLE_COPY(Context)

  // Throws ContextAlreadyInitialized while the context is valid.
  virtual void init(
    int argc, char const * const * argv, const rclcpp::InitOptions & init_options = InitOptions());
  bool is_valid() const;
  const rclcpp::InitOptions & get_init_options() const;
  rclcpp::InitOptions get_init_options();
  size_t get_domain_id() const;
  std::string shutdown_reason() const;
  // Returns false when the context was not valid.
  virtual bool shutdown(const std::string & reason);

  virtual OnShutdownCallback on_shutdown(OnShutdownCallback callback);
  virtual OnShutdownCallbackHandle add_on_shutdown_callback(OnShutdownCallback callback);
  virtual bool remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle);

  // Sleeps for the duration unless the context shuts down first; false when interrupted.
  bool sleep_for(const std::chrono::nanoseconds & nanoseconds);
  void interrupt_all_sleep_for();

  // The in-process graph of the current initialisation; null before the first init().
  std::shared_ptr<detail::Graph> get_graph() const;

private:
  mutable std::mutex mutex_;
  bool valid_ = false;
  rclcpp::InitOptions init_options_;
  std::string shutdown_reason_;
  std::shared_ptr<detail::Graph> graph_;
  std::vector<std::shared_ptr<OnShutdownCallback>> on_shutdown_callbacks_;
};

// Every context that was initialised and still exists.
std::vector<Context::SharedPtr> get_contexts();

}  // namespace rclcpp

#endif  // RCLCPP__CONTEXT_HPP_
