// Time stamp of a message: its header stamp as ROS time, or time zero for a header-less type.
#ifndef MESSAGE_FILTERS__MESSAGE_TRAITS_H_
#define MESSAGE_FILTERS__MESSAGE_TRAITS_H_

#include <type_traits>

#include "rclcpp/time.hpp"

namespace message_filters
{
namespace message_traits
{

template <typename M, typename = void>
struct HasHeader : public std::false_type
{
};

template <typename M>
struct HasHeader<M, decltype((void)M::header)> : public std::true_type
{
};

template <typename M, typename Enable = void>
struct TimeStamp
{
  static rclcpp::Time value(const M &) { return rclcpp::Time(); }
};

template <typename M>
struct TimeStamp<M, typename std::enable_if<HasHeader<M>::value>::type>
{
  static rclcpp::Time value(const M & m) { return rclcpp::Time(m.header.stamp, RCL_ROS_TIME); }
};

}  // namespace message_traits
}  // namespace message_filters

#endif  // MESSAGE_FILTERS__MESSAGE_TRAITS_H_
