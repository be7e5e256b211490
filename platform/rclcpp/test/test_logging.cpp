// Logging macros: layout, severity threshold, stream, once and throttle forms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "rclcpp/rclcpp.hpp"

namespace
{

// Runs `body` with the layout set to "{severity} {name}: {message}" and returns what it wrote.
template <typename Body>
std::string captured(Body body)
{
  setenv("RCUTILS_CONSOLE_OUTPUT_FORMAT", "{severity} {name}: {message}", 1);
  unsetenv("RCUTILS_LOGGING_USE_STDOUT");
  testing::internal::CaptureStderr();
  body();
  std::string out = testing::internal::GetCapturedStderr();
  unsetenv("RCUTILS_CONSOLE_OUTPUT_FORMAT");
  return out;
}

}  // namespace

TEST(Logging, PrintfStyleRecordsAboveTheThreshold)
{
  auto logger = rclcpp::get_logger("tf2_buffer");
  const std::string out = captured([&] {
    RCLCPP_DEBUG(logger, "hidden %d", 1);
    RCLCPP_INFO(logger, "frame %s at %d", "map", 3);
    RCLCPP_WARN_STREAM(logger, "stream " << 4.5);
    RCLCPP_ERROR(logger, "plain");
  });
  EXPECT_EQ(
    out, "INFO tf2_buffer: frame map at 3\nWARN tf2_buffer: stream 4.5\nERROR tf2_buffer: plain\n");
}

TEST(Logging, ChildLevelsAndNodeLoggers)
{
  auto parent = rclcpp::get_logger("quiet");
  parent.set_level(rclcpp::Logger::Level::Error);
  auto child = parent.get_child("part");
  auto node = std::make_shared<rclcpp::Node>("talker", "/robot");
  const std::string out = captured([&] {
    RCLCPP_WARN(child, "suppressed");
    RCLCPP_ERROR(child, "shown");
    RCLCPP_INFO(node->get_logger(), "hello");
  });
  EXPECT_EQ(out, "ERROR quiet.part: shown\nINFO robot.talker: hello\n");
}

TEST(Logging, OnceAndThrottle)
{
  auto logger = rclcpp::get_logger("repeat");
  rclcpp::Clock clock(RCL_STEADY_TIME);
  const std::string out = captured([&] {
    for (int i = 0; i < 3; ++i) {
      RCLCPP_INFO_ONCE(logger, "once %d", i);
      RCLCPP_WARN_THROTTLE(logger, clock, 60000, "throttled %d", i);
    }
  });
  EXPECT_EQ(out, "INFO repeat: once 0\nWARN repeat: throttled 0\n");
}
