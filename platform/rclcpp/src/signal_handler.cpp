#include "rclcpp/detail/signal_handler.hpp"

#include <semaphore.h>

#include <atomic>
#include <csignal>
#include <mutex>
#include <thread>

namespace rclcpp
{
namespace detail
{
namespace
{

struct State
{
  std::mutex mutex;
  bool installed = false;
  SignalHandlerOptions options = SignalHandlerOptions::None;
  struct sigaction old_sigint = {};
  struct sigaction old_sigterm = {};
  sem_t semaphore;
  std::thread worker;
  std::atomic<bool> stop{false};
  std::atomic<int> last_signal{0};

  // A process that ends without rclcpp::shutdown() still stops the worker cleanly.
  ~State()
  {
    if (worker.joinable()) {
      stop.store(true);
      sem_post(&semaphore);
      worker.join();
    }
  }
};

State & state()
{
  static State instance;
  return instance;
}

void call_previous(const struct sigaction & previous, int signal_value)
{
  if (previous.sa_flags & SA_SIGINFO) {
    if (previous.sa_sigaction != nullptr) {
      previous.sa_sigaction(signal_value, nullptr, nullptr);
    }
  } else if (
    previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
    previous.sa_handler != nullptr) {
    previous.sa_handler(signal_value);
  }
}

void on_signal(int signal_value)
{
  State & s = state();
  s.last_signal.store(signal_value);
  sem_post(&s.semaphore);
  call_previous(signal_value == SIGINT ? s.old_sigint : s.old_sigterm, signal_value);
}

void shutdown_contexts_on_signal()
{
  State & s = state();
  while (true) {
    while (sem_wait(&s.semaphore) != 0) {
    }
    if (s.stop.load()) {
      return;
    }
    for (const auto & context : get_contexts()) {
      if (context->get_init_options().shutdown_on_signal) {
        context->shutdown("signal handler");
      }
    }
  }
}

bool wants(SignalHandlerOptions options, int signal_value)
{
  if (options == SignalHandlerOptions::All) {
    return true;
  }
  return (options == SignalHandlerOptions::SigInt && signal_value == SIGINT) ||
         (options == SignalHandlerOptions::SigTerm && signal_value == SIGTERM);
}

}  // namespace

SignalHandler & SignalHandler::instance()
{
  static SignalHandler handler;
  return handler;
}

bool SignalHandler::install(SignalHandlerOptions options)
{
  State & s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.installed) {
    return false;
  }
  if (options == SignalHandlerOptions::None) {
    s.options = options;
    return true;
  }
  sem_init(&s.semaphore, 0, 0);
  s.stop.store(false);
  s.worker = std::thread(shutdown_contexts_on_signal);
  struct sigaction action = {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  if (wants(options, SIGINT)) {
    sigaction(SIGINT, &action, &s.old_sigint);
  }
  if (wants(options, SIGTERM)) {
    sigaction(SIGTERM, &action, &s.old_sigterm);
  }
  s.options = options;
  s.installed = true;
  return true;
}

bool SignalHandler::uninstall()
{
  State & s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!s.installed) {
    return false;
  }
  if (wants(s.options, SIGINT)) {
    sigaction(SIGINT, &s.old_sigint, nullptr);
  }
  if (wants(s.options, SIGTERM)) {
    sigaction(SIGTERM, &s.old_sigterm, nullptr);
  }
  s.stop.store(true);
  sem_post(&s.semaphore);
  // shutdown() called from the worker itself (through an on-shutdown callback) cannot join it.
  if (s.worker.get_id() == std::this_thread::get_id()) {
    s.worker.detach();
  } else {
    s.worker.join();
  }
  sem_destroy(&s.semaphore);
  s.installed = false;
  s.options = SignalHandlerOptions::None;
  return true;
}

bool SignalHandler::is_installed()
{
  State & s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.installed;
}

SignalHandlerOptions SignalHandler::options()
{
  State & s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.options;
}

}  // namespace detail
}  // namespace rclcpp
