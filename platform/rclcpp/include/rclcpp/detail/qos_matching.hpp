// Whether a publisher's offered QoS satisfies a subscription's requested QoS.
#ifndef RCLCPP__DETAIL__QOS_MATCHING_HPP_
#define RCLCPP__DETAIL__QOS_MATCHING_HPP_

#include <string>

#include "rclcpp/qos.hpp"

namespace rclcpp
{
namespace detail
{

// Empty when compatible, otherwise the name of the first policy that does not match.
std::string incompatible_policy(const rclcpp::QoS & offered, const rclcpp::QoS & requested);

// System defaults resolved to the middleware's: reliable, volatile.
bool is_reliable(const rclcpp::QoS & qos);
bool is_transient_local(const rclcpp::QoS & qos);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__QOS_MATCHING_HPP_
