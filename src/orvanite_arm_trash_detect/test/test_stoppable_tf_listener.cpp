// The camera's TF listener: what its thread delivers, and that it can be let go at any moment.
#include "camera_detection_node/stoppable_tf_listener.hpp"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <geometry_msgs/msg/transform_stamped.hpp>
#include <rclcpp/rclcpp.hpp>
#include <tf2/time.h>
#include <tf2_ros/buffer.h>
#include <tf2_ros/static_transform_broadcaster.h>

#include "support/poll_until.hpp"
#include "support/process_usage.hpp"
#include "support/rclcpp_environment.hpp"
#include "support/tf_listening.hpp"

namespace
{
const tf2::Duration kPatience = std::chrono::seconds(10);
// Threads that something else in the process may start or end meanwhile.
constexpr std::size_t kThreadSlack = 2;

std::unique_ptr<orvanite::StoppableTfListener> MakeListener(tf2_ros::Buffer & buffer)
{
  return std::make_unique<orvanite::StoppableTfListener>(
    buffer, rclcpp::contexts::get_global_default_context());
}

TEST(StoppableTfListener, WaitingLookUpsSeeEarlierStaticAndLaterDynamicTransforms)
{
  const auto node = std::make_shared<rclcpp::Node>("tf_source");
  tf2_ros::StaticTransformBroadcaster static_broadcaster(node);
  geometry_msgs::msg::TransformStamped mounted;
  mounted.header.frame_id = "arm_base_link";
  mounted.child_frame_id = "camera_link";
  mounted.transform.translation.z = 0.7;
  mounted.transform.rotation.w = 1.0;
  static_broadcaster.sendTransform(mounted);

  tf2_ros::Buffer buffer(node->get_clock());
  const auto listener = MakeListener(buffer);
  EXPECT_TRUE(buffer.isUsingDedicatedThread());
  // Sent before the listener existed: /tf_static is transient local.
  const auto static_transform =
    buffer.lookupTransform("arm_base_link", "camera_link", tf2::TimePointZero, kPatience);
  EXPECT_DOUBLE_EQ(static_transform.transform.translation.z, 0.7);
  // Sent on /tf afterwards and taken by the listener's thread while this one waits.
  EXPECT_NO_THROW(orvanite_test::WaitUntilListening(buffer));
}

// Dropped right after it was made, before its thread can have started to spin, or later: it never
// hangs, and its thread is gone with it.
TEST(StoppableTfListener, LetGoAtAnyMomentItTakesItsThreadAlong)
{
  const auto clock = std::make_shared<rclcpp::Clock>();
  {
    tf2_ros::Buffer buffer(clock);
    MakeListener(buffer);  // the first one may create what lives for the whole process
  }
  const std::size_t threads = orvanite_test::ThreadCount();
  for (int round = 0; round < 500; ++round) {
    tf2_ros::Buffer buffer(clock);
    const auto listener = MakeListener(buffer);
    if (round % 50 == 0) {
      orvanite_test::WaitUntilListening(buffer);  // now certainly spinning
    }
  }
  EXPECT_LE(orvanite_test::ThreadCount(), threads + kThreadSlack);
}

// An owner that lives until exit joins the thread once ROS is down; stopping again, or dropping
// the stopped listener, is harmless.
TEST(StoppableTfListener, StopJoinsTheThreadAndMayBeRepeated)
{
  tf2_ros::Buffer buffer(std::make_shared<rclcpp::Clock>());
  const auto listener = MakeListener(buffer);
  orvanite_test::WaitUntilListening(buffer);
  const std::size_t running = orvanite_test::ThreadCount();
  listener->Stop();
  // A joined thread may stay listed in /proc for a moment after its join returned.
  EXPECT_TRUE(orvanite_test::PollUntil(
    [running] { return orvanite_test::ThreadCount() < running; }, std::chrono::seconds(10)));
  listener->Stop();
}

TEST(StoppableTfListenerDeathTest, LetGoAfterShutdown)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
    {
      tf2_ros::Buffer buffer(std::make_shared<rclcpp::Clock>());
      auto listener = MakeListener(buffer);
      rclcpp::shutdown();
      listener.reset();
      std::exit(0);
    },
    ::testing::ExitedWithCode(0), "");
}
}  // namespace
