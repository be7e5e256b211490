// QoS profiles and setters.
#include <gtest/gtest.h>

#include "rclcpp/qos.hpp"

TEST(QoS, DepthConstructorIsKeepLastReliableVolatile)
{
  const rclcpp::QoS qos = 7;
  EXPECT_EQ(qos.history(), rclcpp::HistoryPolicy::KeepLast);
  EXPECT_EQ(qos.depth(), 7u);
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::Reliable);
  EXPECT_EQ(qos.durability(), rclcpp::DurabilityPolicy::Volatile);
}

TEST(QoS, SettersChain)
{
  const auto qos = rclcpp::QoS(rclcpp::KeepLast(3)).best_effort().transient_local();
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::BestEffort);
  EXPECT_EQ(qos.durability(), rclcpp::DurabilityPolicy::TransientLocal);
  EXPECT_EQ(rclcpp::QoS(qos).reliable().durability_volatile(), rclcpp::QoS(3));
  EXPECT_EQ(rclcpp::QoS(rclcpp::KeepAll()).history(), rclcpp::HistoryPolicy::KeepAll);
}

TEST(QoS, RmwProfilesHaveTheMiddlewareValues)
{
  struct Case
  {
    const rmw_qos_profile_t & profile;
    size_t depth;
    rmw_qos_reliability_policy_t reliability;
  };
  const Case cases[] = {
    {rmw_qos_profile_default, 10, RMW_QOS_POLICY_RELIABILITY_RELIABLE},
    {rmw_qos_profile_services_default, 10, RMW_QOS_POLICY_RELIABILITY_RELIABLE},
    {rmw_qos_profile_sensor_data, 5, RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT},
    {rmw_qos_profile_parameters, 1000, RMW_QOS_POLICY_RELIABILITY_RELIABLE},
  };
  for (const auto & c : cases) {
    EXPECT_EQ(c.profile.history, RMW_QOS_POLICY_HISTORY_KEEP_LAST);
    EXPECT_EQ(c.profile.depth, c.depth);
    EXPECT_EQ(c.profile.reliability, c.reliability);
    EXPECT_EQ(c.profile.durability, RMW_QOS_POLICY_DURABILITY_VOLATILE);
  }
  const rclcpp::QoS from_profile(
    rclcpp::QoSInitialization::from_rmw(rmw_qos_profile_sensor_data), rmw_qos_profile_sensor_data);
  EXPECT_EQ(from_profile, rclcpp::SensorDataQoS());
}
