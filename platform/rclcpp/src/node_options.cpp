#include "rclcpp/node_options.hpp"

#include "rclcpp/contexts/default_context.hpp"

namespace rclcpp
{

NodeOptions::NodeOptions(rcl_allocator_t allocator)
: clock_qos_(ClockQoS())
, parameter_event_qos_(ParameterEventsQoS())
, rosout_qos_(RosoutQoS())
, allocator_(allocator)
{
}

rclcpp::Context::SharedPtr NodeOptions::context() const
{
  return context_ ? context_ : contexts::get_global_default_context();
}

NodeOptions & NodeOptions::context(rclcpp::Context::SharedPtr context)
{
  context_ = std::move(context);
  return *this;
}

const std::vector<std::string> & NodeOptions::arguments() const { return arguments_; }

NodeOptions & NodeOptions::arguments(const std::vector<std::string> & arguments)
{
  arguments_ = arguments;
  return *this;
}

bool NodeOptions::use_global_arguments() const { return use_global_arguments_; }

NodeOptions & NodeOptions::use_global_arguments(bool use_global_arguments)
{
  use_global_arguments_ = use_global_arguments;
  return *this;
}

bool NodeOptions::enable_rosout() const { return enable_rosout_; }

NodeOptions & NodeOptions::enable_rosout(bool enable_rosout)
{
  enable_rosout_ = enable_rosout;
  return *this;
}

bool NodeOptions::use_intra_process_comms() const { return use_intra_process_comms_; }

NodeOptions & NodeOptions::use_intra_process_comms(bool use_intra_process_comms)
{
  use_intra_process_comms_ = use_intra_process_comms;
  return *this;
}

bool NodeOptions::enable_topic_statistics() const { return enable_topic_statistics_; }

NodeOptions & NodeOptions::enable_topic_statistics(bool enable_topic_statistics)
{
  enable_topic_statistics_ = enable_topic_statistics;
  return *this;
}

bool NodeOptions::start_parameter_services() const { return start_parameter_services_; }

NodeOptions & NodeOptions::start_parameter_services(bool start_parameter_services)
{
  start_parameter_services_ = start_parameter_services;
  return *this;
}

bool NodeOptions::start_parameter_event_publisher() const
{
  return start_parameter_event_publisher_;
}

NodeOptions & NodeOptions::start_parameter_event_publisher(bool start_parameter_event_publisher)
{
  start_parameter_event_publisher_ = start_parameter_event_publisher;
  return *this;
}

const rclcpp::QoS & NodeOptions::clock_qos() const { return clock_qos_; }

NodeOptions & NodeOptions::clock_qos(const rclcpp::QoS & clock_qos)
{
  clock_qos_ = clock_qos;
  return *this;
}

bool NodeOptions::use_clock_thread() const { return use_clock_thread_; }

NodeOptions & NodeOptions::use_clock_thread(bool use_clock_thread)
{
  use_clock_thread_ = use_clock_thread;
  return *this;
}

const rclcpp::QoS & NodeOptions::parameter_event_qos() const { return parameter_event_qos_; }

NodeOptions & NodeOptions::parameter_event_qos(const rclcpp::QoS & parameter_event_qos)
{
  parameter_event_qos_ = parameter_event_qos;
  return *this;
}

const rclcpp::QoS & NodeOptions::rosout_qos() const { return rosout_qos_; }

NodeOptions & NodeOptions::rosout_qos(const rclcpp::QoS & rosout_qos)
{
  rosout_qos_ = rosout_qos;
  return *this;
}

bool NodeOptions::allow_undeclared_parameters() const { return allow_undeclared_parameters_; }

NodeOptions & NodeOptions::allow_undeclared_parameters(bool allow_undeclared_parameters)
{
  allow_undeclared_parameters_ = allow_undeclared_parameters;
  return *this;
}

bool NodeOptions::automatically_declare_parameters_from_overrides() const
{
  return automatically_declare_parameters_from_overrides_;
}

NodeOptions & NodeOptions::automatically_declare_parameters_from_overrides(
  bool automatically_declare_parameters_from_overrides)
{
  automatically_declare_parameters_from_overrides_ =
    automatically_declare_parameters_from_overrides;
  return *this;
}

const rcl_allocator_t & NodeOptions::allocator() const { return allocator_; }

NodeOptions & NodeOptions::allocator(rcl_allocator_t allocator)
{
  allocator_ = allocator;
  return *this;
}

}  // namespace rclcpp
