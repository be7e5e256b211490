#include "rclcpp/detail/qos_matching.hpp"

namespace rclcpp
{
namespace detail
{

bool is_reliable(const rclcpp::QoS & qos)
{
  return qos.reliability() != ReliabilityPolicy::BestEffort;
}

bool is_transient_local(const rclcpp::QoS & qos)
{
  return qos.durability() == DurabilityPolicy::TransientLocal;
}

std::string incompatible_policy(const rclcpp::QoS & offered, const rclcpp::QoS & requested)
{
  if (is_reliable(requested) && !is_reliable(offered)) {
    return "RELIABILITY";
  }
  if (is_transient_local(requested) && !is_transient_local(offered)) {
    return "DURABILITY";
  }
  return {};
}

}  // namespace detail
}  // namespace rclcpp
