// rclcpp::NodeOptions: named-parameter options of a node (setters return *this).
#ifndef RCLCPP__NODE_OPTIONS_HPP_
#define RCLCPP__NODE_OPTIONS_HPP_

#include <string>
#include <vector>

#include "rcl/allocator.h"
#include "rclcpp/context.hpp"
#include "rclcpp/qos.hpp"

namespace rclcpp
{

class NodeOptions
{
public:
  explicit NodeOptions(rcl_allocator_t allocator = rcl_get_default_allocator());
  NodeOptions(const NodeOptions & other) = default;
  NodeOptions & operator=(const NodeOptions & other) = default;
  virtual ~NodeOptions() = default;

  // The global default context unless set.
  rclcpp::Context::SharedPtr context() const;
  NodeOptions & context(rclcpp::Context::SharedPtr context);
  const std::vector<std::string> & arguments() const;
  NodeOptions & arguments(const std::vector<std::string> & arguments);
  bool use_global_arguments() const;
  NodeOptions & use_global_arguments(bool use_global_arguments);
  bool enable_rosout() const;
  NodeOptions & enable_rosout(bool enable_rosout);
  bool use_intra_process_comms() const;
  NodeOptions & use_intra_process_comms(bool use_intra_process_comms);
  bool enable_topic_statistics() const;
  NodeOptions & enable_topic_statistics(bool enable_topic_statistics);
  bool start_parameter_services() const;
  NodeOptions & start_parameter_services(bool start_parameter_services);
  bool start_parameter_event_publisher() const;
  NodeOptions & start_parameter_event_publisher(bool start_parameter_event_publisher);
  const rclcpp::QoS & clock_qos() const;
  NodeOptions & clock_qos(const rclcpp::QoS & clock_qos);
  bool use_clock_thread() const;
  NodeOptions & use_clock_thread(bool use_clock_thread);
  const rclcpp::QoS & parameter_event_qos() const;
  NodeOptions & parameter_event_qos(const rclcpp::QoS & parameter_event_qos);
  const rclcpp::QoS & rosout_qos() const;
  NodeOptions & rosout_qos(const rclcpp::QoS & rosout_qos);
  bool allow_undeclared_parameters() const;
  NodeOptions & allow_undeclared_parameters(bool allow_undeclared_parameters);
  bool automatically_declare_parameters_from_overrides() const;
  NodeOptions & automatically_declare_parameters_from_overrides(
    bool automatically_declare_parameters_from_overrides);
  const rcl_allocator_t & allocator() const;
  NodeOptions & allocator(rcl_allocator_t allocator);

private:
  rclcpp::Context::SharedPtr context_;
  std::vector<std::string> arguments_;
  bool use_global_arguments_ = true;
  bool enable_rosout_ = true;
  bool use_intra_process_comms_ = false;
  bool enable_topic_statistics_ = false;
  bool start_parameter_services_ = true;
  bool start_parameter_event_publisher_ = true;
  rclcpp::QoS clock_qos_;
  bool use_clock_thread_ = true;
  rclcpp::QoS parameter_event_qos_;
  rclcpp::QoS rosout_qos_;
  bool allow_undeclared_parameters_ = false;
  bool automatically_declare_parameters_from_overrides_ = false;
  rcl_allocator_t allocator_;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_OPTIONS_HPP_
