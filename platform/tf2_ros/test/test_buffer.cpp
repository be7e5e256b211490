#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "rclcpp/clock.hpp"
#include "tf2_ros/buffer.h"
#include "tf2_ros/buffer_interface.h"
#include "tf2_ros/qos.hpp"

namespace
{
geometry_msgs::msg::TransformStamped odomToBase(std::int32_t sec, double x)
{
  geometry_msgs::msg::TransformStamped t;
  t.header.stamp.sec = sec;
  t.header.frame_id = "odom";
  t.child_frame_id = "base";
  t.transform.translation.x = x;
  return t;
}

TEST(Buffer, RefusesANullClock) { EXPECT_THROW(tf2_ros::Buffer(nullptr), std::invalid_argument); }

TEST(Buffer, TimeoutOverloadsNeedADedicatedThreadButStillLookUp)
{
  tf2_ros::Buffer buffer(std::make_shared<rclcpp::Clock>(), tf2::durationFromSec(5.0));
  EXPECT_EQ(buffer.getCacheLength(), std::chrono::seconds(5));
  ASSERT_TRUE(buffer.setTransform(odomToBase(4, 1.0), "test"));
  ASSERT_TRUE(buffer.setTransform(odomToBase(6, 3.0), "test"));
  ASSERT_FALSE(buffer.isUsingDedicatedThread());

  std::string why;
  EXPECT_FALSE(
    buffer.canTransform("odom", "base", tf2::timeFromSec(5.0), tf2::durationFromSec(1.0), &why));
  EXPECT_NE(why.find("dedicated thread"), std::string::npos) << why;
  EXPECT_TRUE(buffer.canTransform("odom", "base", tf2::timeFromSec(5.0)));

  // The rclcpp overloads convert and then behave like the tf2 ones.
  const auto at_five = buffer.lookupTransform("odom", "base", rclcpp::Time(5, 0));
  EXPECT_NEAR(at_five.transform.translation.x, 2.0, 1e-12);
  EXPECT_THROW(
    buffer.lookupTransform("odom", "base", tf2::timeFromSec(7.0), tf2::durationFromSec(1.0)),
    tf2::ExtrapolationException);
  EXPECT_EQ(buffer.lookupTransform("odom", "base", tf2::TimePointZero).header.stamp.sec, 6);
}

TEST(Buffer, ClearsWhenTheClockJumpsBackOrChangesSource)
{
  const auto clock = std::make_shared<rclcpp::Clock>(RCL_ROS_TIME);
  tf2_ros::Buffer buffer(clock);
  rcl_clock_t * const handle = clock->get_clock_handle();
  const auto simulated = [handle](std::int64_t ns) {
    return [handle, ns] { return rcl_set_ros_time_override(handle, ns); };
  };
  struct Step
  {
    const char * what;
    std::function<rcl_ret_t()> change;
    bool kept;
  };
  const Step steps[] = {
    {"switch to simulated time", [handle] { return rcl_enable_ros_time_override(handle); }, false},
    {"simulated time starts", simulated(100'000'000'000), true},
    {"simulated time advances", simulated(101'000'000'000), true},
    {"simulated time is reset", simulated(50'000'000'000), false},
    {"the same time again", simulated(50'000'000'000), true},
    {"back by one nanosecond", simulated(49'999'999'999), false},
    {"back to system time", [handle] { return rcl_disable_ros_time_override(handle); }, false},
  };
  for (const Step & step : steps) {
    ASSERT_TRUE(buffer.setTransform(odomToBase(4, 1.0), "test", true)) << step.what;
    ASSERT_EQ(step.change(), RCL_RET_OK) << step.what;
    EXPECT_EQ(buffer.canTransform("odom", "base", tf2::TimePointZero), step.kept) << step.what;
  }
}

TEST(BufferInterface, ConvertsTimesAndDurations)
{
  const std::int64_t cases[] = {0, 1, 1'500'000'000, -1'500'000'000, 1'700'000'000'123'456'789};
  for (const std::int64_t ns : cases) {
    const tf2::TimePoint time{tf2::Duration(ns)};
    const builtin_interfaces::msg::Time time_msg = tf2_ros::toMsg(time);
    EXPECT_LT(time_msg.nanosec, 1'000'000'000u) << ns;
    EXPECT_EQ(time_msg.sec * 1'000'000'000ll + time_msg.nanosec, ns);
    EXPECT_EQ(tf2_ros::fromMsg(time_msg), time);
    EXPECT_EQ(tf2_ros::fromMsg(tf2_ros::toMsg(tf2::Duration(ns))), tf2::Duration(ns));
    EXPECT_EQ(tf2_ros::toRclcpp(time).nanoseconds(), ns);
    EXPECT_EQ(tf2_ros::fromRclcpp(rclcpp::Time(ns)), time);
    EXPECT_EQ(tf2_ros::fromRclcpp(tf2_ros::toRclcpp(tf2::Duration(ns))), tf2::Duration(ns));
  }
}

TEST(Qos, ListenerAndBroadcasterProfiles)
{
  struct Case
  {
    const char * name;
    rclcpp::QoS qos;
    size_t depth;
    rmw_qos_durability_policy_t durability;
  };
  const Case cases[] = {
    {"dynamic listener", tf2_ros::DynamicListenerQoS(), 100, RMW_QOS_POLICY_DURABILITY_VOLATILE},
    {"static listener", tf2_ros::StaticListenerQoS(), 100,
     RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL},
    {"dynamic broadcaster", tf2_ros::DynamicBroadcasterQoS(), 100,
     RMW_QOS_POLICY_DURABILITY_VOLATILE},
    {"static broadcaster", tf2_ros::StaticBroadcasterQoS(), 1,
     RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL},
  };
  for (const Case & c : cases) {
    const rmw_qos_profile_t & profile = c.qos.get_rmw_qos_profile();
    EXPECT_EQ(profile.history, RMW_QOS_POLICY_HISTORY_KEEP_LAST) << c.name;
    EXPECT_EQ(profile.depth, c.depth) << c.name;
    EXPECT_EQ(profile.reliability, RMW_QOS_POLICY_RELIABILITY_RELIABLE) << c.name;
    EXPECT_EQ(profile.durability, c.durability) << c.name;
  }
}
}  // namespace
