// A session whose start meets a shut-down ROS (Ctrl-C while it starts) reports an interruption,
// never a broken scene or configuration: here every ROS object of it fails to be made.
#include <string>

#include <gtest/gtest.h>

#include <rclcpp/rclcpp.hpp>

#include "e2e_support.hpp"
#include "orvanite_scene_sim/trash_pose_client.hpp"

namespace orvanite_demo_test
{
namespace
{

TEST(SessionStart, AfterShutdownIsAnInterruption)
{
  setenv("SPDLOG_STDOUT", "false", 1);
  rclcpp::init(0, nullptr);
  const orvanite_scene_sim::Scene scene = ShippedScene("lying_paper");
  rclcpp::shutdown();
  TemporaryPrefix prefix;
  try {
    orvanite_demo::DemoSession session(scene, prefix.path(), orvanite_demo::SessionOptions());
    FAIL() << "the session started after the shutdown";
  } catch (const orvanite_scene_sim::Interrupted & interrupted) {
    EXPECT_EQ(std::string(interrupted.what()), "interrupted while starting the detection node");
  }
}

}  // namespace
}  // namespace orvanite_demo_test
