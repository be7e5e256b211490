#include "rclcpp/context.hpp"

#include <algorithm>

#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/notifier.hpp"

namespace rclcpp
{
namespace
{

struct ContextRegistry
{
  std::mutex mutex;
  std::vector<std::weak_ptr<Context>> contexts;
};

// Never destroyed, so that threads still running at exit may use it.
ContextRegistry & registry()
{
  static ContextRegistry * const instance = new ContextRegistry();
  return *instance;
}

void register_context(const Context::SharedPtr & context)
{
  ContextRegistry & reg = registry();
  std::lock_guard<std::mutex> lock(reg.mutex);
  auto & list = reg.contexts;
  list.erase(
    std::remove_if(
      list.begin(), list.end(),
      [&context](const std::weak_ptr<Context> & weak) {
        auto locked = weak.lock();
        return !locked || locked == context;
      }),
    list.end());
  list.push_back(context);
}

}  // namespace

ContextAlreadyInitialized::ContextAlreadyInitialized()
: std::runtime_error("context is already initialized")
{
}

Context::Context() = default;

Context::~Context() = default;

void Context::init(int, char const * const *, const rclcpp::InitOptions & init_options)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (valid_) {
      throw ContextAlreadyInitialized();
    }
    valid_ = true;
    init_options_ = init_options;
    shutdown_reason_.clear();
    graph_ = std::make_shared<detail::Graph>();
  }
  // Contexts not owned by a shared_ptr cannot be reached by the signal handler.
  if (auto self = weak_from_this().lock()) {
    register_context(self);
  }
}

bool Context::is_valid() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return valid_;
}

const rclcpp::InitOptions & Context::get_init_options() const { return init_options_; }

rclcpp::InitOptions Context::get_init_options()
{
  std::lock_guard<std::mutex> lock(mutex_);
  return init_options_;
}

size_t Context::get_domain_id() const { return init_options_.get_domain_id(); }

std::string Context::shutdown_reason() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return shutdown_reason_;
}

bool Context::shutdown(const std::string & reason)
{
  std::vector<std::shared_ptr<OnShutdownCallback>> callbacks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!valid_) {
      return false;
    }
    valid_ = false;
    shutdown_reason_ = reason;
    if (graph_) {
      graph_->close();
    }
    callbacks = on_shutdown_callbacks_;
  }
  for (const auto & callback : callbacks) {
    (*callback)();
  }
  detail::Notifier::instance().notify();
  return true;
}

Context::OnShutdownCallback Context::on_shutdown(OnShutdownCallback callback)
{
  add_on_shutdown_callback(callback);
  return callback;
}

Context::OnShutdownCallbackHandle Context::add_on_shutdown_callback(OnShutdownCallback callback)
{
  auto stored = std::make_shared<OnShutdownCallback>(std::move(callback));
  std::lock_guard<std::mutex> lock(mutex_);
  on_shutdown_callbacks_.push_back(stored);
  OnShutdownCallbackHandle handle;
  handle.callback_ = stored;
  return handle;
}

bool Context::remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle)
{
  auto target = callback_handle.callback_.lock();
  if (!target) {
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find(on_shutdown_callbacks_.begin(), on_shutdown_callbacks_.end(), target);
  if (it == on_shutdown_callbacks_.end()) {
    return false;
  }
  on_shutdown_callbacks_.erase(it);
  return true;
}

bool Context::sleep_for(const std::chrono::nanoseconds & nanoseconds)
{
  const auto deadline = detail::deadline_after(nanoseconds);
  const bool interrupted = detail::wait_for_condition([this] { return !is_valid(); }, deadline);
  return !interrupted;
}

void Context::interrupt_all_sleep_for() { detail::Notifier::instance().notify(); }

std::shared_ptr<detail::Graph> Context::get_graph() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return graph_;
}

std::vector<Context::SharedPtr> get_contexts()
{
  ContextRegistry & reg = registry();
  std::lock_guard<std::mutex> lock(reg.mutex);
  std::vector<Context::SharedPtr> result;
  for (const auto & weak : reg.contexts) {
    if (auto context = weak.lock()) {
      result.push_back(context);
    }
  }
  return result;
}

namespace contexts
{

DefaultContext::SharedPtr get_global_default_context()
{
  // Never destroyed, so that threads still running at exit may use it.
  static const auto * const context = new DefaultContext::SharedPtr(DefaultContext::make_shared());
  return *context;
}

}  // namespace contexts
}  // namespace rclcpp
