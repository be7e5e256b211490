// Time, Duration and Clock arithmetic, conversions and their errors.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/time.hpp"

TEST(Time, DefaultClockTypesDependOnTheSource)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = 3;
  stamp.nanosec = 5;
  EXPECT_EQ(rclcpp::Time(stamp).get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(rclcpp::Time(int64_t(7)).get_clock_type(), RCL_SYSTEM_TIME);
  EXPECT_EQ(rclcpp::Time(stamp).nanoseconds(), 3000000005LL);
  EXPECT_THROW((void)(rclcpp::Time(stamp) < rclcpp::Time(0)), std::runtime_error);
  EXPECT_THROW((void)(rclcpp::Time(stamp) - rclcpp::Time(0)), std::runtime_error);
  rclcpp::Clock ros_clock(RCL_ROS_TIME);
  EXPECT_NO_THROW((void)(ros_clock.now() > rclcpp::Time(stamp)));
}

TEST(Time, MessageConversionUsesFloorDivision)
{
  const builtin_interfaces::msg::Time msg = rclcpp::Time(int64_t(-1), RCL_ROS_TIME);
  EXPECT_EQ(msg.sec, -1);
  EXPECT_EQ(msg.nanosec, 999999999u);
  const builtin_interfaces::msg::Time back = rclcpp::Time(12, 345, RCL_ROS_TIME);
  EXPECT_EQ(back.sec, 12);
  EXPECT_EQ(back.nanosec, 345u);
}

TEST(Time, NegativeSecondsAreRejected)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = -1;
  EXPECT_THROW(rclcpp::Time{stamp}, std::runtime_error);
  EXPECT_THROW(rclcpp::Time(-1, 0), std::runtime_error);
}

TEST(Time, ArithmeticAndOverflow)
{
  const rclcpp::Time t(10, 0, RCL_ROS_TIME);
  const rclcpp::Duration d = rclcpp::Duration::from_seconds(1.5);
  EXPECT_EQ((t + d).nanoseconds(), 11500000000LL);
  EXPECT_EQ((d + t).get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ((t - d).nanoseconds(), 8500000000LL);
  EXPECT_EQ((t - rclcpp::Time(9, 0, RCL_ROS_TIME)).nanoseconds(), 1000000000LL);
  const rclcpp::Time big(std::numeric_limits<int64_t>::max(), RCL_ROS_TIME);
  EXPECT_THROW(big + rclcpp::Duration(1, 0), std::overflow_error);
  const rclcpp::Time small(std::numeric_limits<int64_t>::min(), RCL_ROS_TIME);
  EXPECT_THROW(small - rclcpp::Duration(1, 0), std::underflow_error);
  EXPECT_DOUBLE_EQ(rclcpp::Time(1, 500000000).seconds(), 1.5);
}

TEST(Duration, ConstructionConversionAndScaling)
{
  EXPECT_EQ(rclcpp::Duration::from_seconds(-0.0000000019).nanoseconds(), -1);
  EXPECT_EQ(rclcpp::Duration(std::chrono::milliseconds(20)).nanoseconds(), 20000000);
  EXPECT_EQ(rclcpp::Duration(2, 3).nanoseconds(), 2000000003);
  EXPECT_EQ((rclcpp::Duration(1, 1) * 0.5).nanoseconds(), 500000000);
  EXPECT_THROW(
    rclcpp::Duration(1, 0) * std::numeric_limits<double>::infinity(), std::runtime_error);
  EXPECT_THROW(
    rclcpp::Duration::from_nanoseconds(std::numeric_limits<int64_t>::max()) * 2.0,
    std::overflow_error);
  const builtin_interfaces::msg::Duration saturated =
    rclcpp::Duration::from_nanoseconds(std::numeric_limits<int64_t>::max());
  EXPECT_EQ(saturated.sec, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(saturated.nanosec, 999999999u);
  EXPECT_EQ(rclcpp::Duration(3, 0).to_chrono<std::chrono::milliseconds>().count(), 3000);
  EXPECT_LT(rclcpp::Duration(1, 0), rclcpp::Duration::max());
}

TEST(Clock, RosTimeOverrideMovesNowAndTellsTheJumpHandlersItConcerns)
{
  rclcpp::Clock clock(RCL_ROS_TIME);
  rcl_clock_t * const handle = clock.get_clock_handle();
  std::vector<std::pair<rcl_clock_change_t, int64_t>> jumps;
  int before = 0;
  rcl_jump_threshold_t threshold{};
  threshold.on_clock_change = true;
  threshold.min_forward.nanoseconds = 10;
  threshold.min_backward.nanoseconds = -10;
  auto handler = clock.create_jump_callback(
    [&before] { ++before; },
    [&jumps](const rcl_time_jump_t & jump) {
      jumps.emplace_back(jump.clock_change, jump.delta.nanoseconds);
    },
    threshold);

  // Setting the value while the override is off is no jump and leaves now() on system time.
  ASSERT_EQ(rcl_set_ros_time_override(handle, 1000), RCL_RET_OK);
  EXPECT_FALSE(clock.ros_time_is_active());
  EXPECT_GT(clock.now().nanoseconds(), 1'000'000'000'000'000'000);

  ASSERT_EQ(rcl_enable_ros_time_override(handle), RCL_RET_OK);
  EXPECT_TRUE(clock.ros_time_is_active());
  EXPECT_EQ(clock.now().nanoseconds(), 1000);
  EXPECT_EQ(clock.now().get_clock_type(), RCL_ROS_TIME);
  for (const int64_t ns : {1005, 1015, 1006, 990}) {  // +5, +10, -9, -16
    ASSERT_EQ(rcl_set_ros_time_override(handle, ns), RCL_RET_OK);
  }
  EXPECT_EQ(clock.now().nanoseconds(), 990);
  ASSERT_EQ(rcl_disable_ros_time_override(handle), RCL_RET_OK);
  EXPECT_FALSE(clock.ros_time_is_active());

  const std::vector<std::pair<rcl_clock_change_t, int64_t>> expected = {
    {RCL_ROS_TIME_ACTIVATED, 0},
    {RCL_ROS_TIME_NO_CHANGE, 10},
    {RCL_ROS_TIME_NO_CHANGE, -16},
    {RCL_ROS_TIME_DEACTIVATED, 0},
  };
  EXPECT_EQ(jumps, expected);
  EXPECT_EQ(before, 4);

  // A released handler hears nothing more.
  handler.reset();
  ASSERT_EQ(rcl_enable_ros_time_override(handle), RCL_RET_OK);
  EXPECT_EQ(jumps.size(), expected.size());
}

TEST(Clock, RefusesWhatRclRefuses)
{
  rclcpp::Clock system_clock(RCL_SYSTEM_TIME);
  EXPECT_EQ(rcl_enable_ros_time_override(system_clock.get_clock_handle()), RCL_RET_ERROR);
  EXPECT_EQ(rcl_set_ros_time_override(system_clock.get_clock_handle(), 5), RCL_RET_ERROR);
  EXPECT_FALSE(system_clock.ros_time_is_active());

  rclcpp::Clock ros_clock(RCL_ROS_TIME);
  rcl_jump_threshold_t backward_forward{};
  backward_forward.min_forward.nanoseconds = -1;
  rcl_jump_threshold_t forward_backward{};
  forward_backward.min_backward.nanoseconds = 1;
  for (const auto & threshold : {backward_forward, forward_backward}) {
    EXPECT_THROW(
      ros_clock.create_jump_callback(nullptr, nullptr, threshold), std::invalid_argument);
  }
}
