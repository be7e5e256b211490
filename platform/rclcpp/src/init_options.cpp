#include "rclcpp/init_options.hpp"

namespace rclcpp
{

InitOptions::InitOptions(rcl_allocator_t allocator) : allocator_(allocator) {}

InitOptions & InitOptions::auto_initialize_logging(bool initialize_logging)
{
  initialize_logging_ = initialize_logging;
  return *this;
}

bool InitOptions::auto_initialize_logging() const { return initialize_logging_; }

void InitOptions::set_domain_id(size_t domain_id) { domain_id_ = domain_id; }

size_t InitOptions::get_domain_id() const { return domain_id_; }

void InitOptions::use_default_domain_id() { domain_id_ = 0; }

const rcl_allocator_t & InitOptions::get_allocator() const { return allocator_; }

}  // namespace rclcpp
