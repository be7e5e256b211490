// Options of rclcpp::init and rclcpp::Context::init.
#ifndef RCLCPP__INIT_OPTIONS_HPP_
#define RCLCPP__INIT_OPTIONS_HPP_

#include <cstddef>

#include "rcl/allocator.h"

namespace rclcpp
{

class InitOptions
{
public:
  // Shut the context down when SIGINT or SIGTERM is handled.
  bool shutdown_on_signal = true;

  explicit InitOptions(rcl_allocator_t allocator = rcl_get_default_allocator());
  virtual ~InitOptions() = default;

  InitOptions & auto_initialize_logging(bool initialize_logging);
  bool auto_initialize_logging() const;
  void set_domain_id(size_t domain_id);
  size_t get_domain_id() const;
  void use_default_domain_id();
  const rcl_allocator_t & get_allocator() const;

private:
  rcl_allocator_t allocator_;
  bool initialize_logging_ = true;
  size_t domain_id_ = 0;
};

}  // namespace rclcpp

#endif  // RCLCPP__INIT_OPTIONS_HPP_
