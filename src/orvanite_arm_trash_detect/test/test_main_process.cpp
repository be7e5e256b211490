// The executable as a process: it serves until SIGINT and exits 0, as it does when the signal
// comes during start-up; a bad configuration ends it with one ERROR line and status 1, written
// to standard error when the console sink is off.
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "support/camera_fixture.hpp"
#include "support/child_process.hpp"
#include "support/service_fixture.hpp"

namespace
{
using orvanite_test::CameraFixture;
using orvanite_test::ServiceSettings;

// The node executable with its share lookup and logging from the arguments.
class NodeProcess : public orvanite_test::ChildProcess
{
public:
  // `spdlog_stdout` is SPDLOG_STDOUT, `spdlog_level` SPDLOG_LEVEL.
  explicit NodeProcess(
    const std::string & ament_prefix_path, const std::string & spdlog_stdout = "true",
    const std::string & spdlog_level = "info")
  : ChildProcess(
      NODE_EXECUTABLE_PATH, {},
      {{"AMENT_PREFIX_PATH", ament_prefix_path},
       {"SPDLOG_STDOUT", spdlog_stdout},
       {"SPDLOG_SYSTEMD", "false"},
       {"SPDLOG_LEVEL", spdlog_level}})
  {
  }
};

std::string PrefixPath(const CameraFixture & fixture)
{
  const char * previous = std::getenv("AMENT_PREFIX_PATH");
  return fixture.overlay().Prefix().string() + (previous ? std::string(":") + previous : "");
}

TEST(NodeProcess, ServesUntilSigintAndExitsZero)
{
  CameraFixture fixture;
  orvanite_test::WriteNumberedCameraFile(fixture, 1, {});
  ServiceSettings settings;
  settings.node_names = {"cam1_trash_detect_node"};
  fixture.overlay().WriteConfig(
    "trash_pose_detect_config.yaml", orvanite_test::ServiceConfigYaml(settings));

  NodeProcess process(PrefixPath(fixture));
  ASSERT_TRUE(
    process.WaitForOutput("DetectionNode executor thread start!", std::chrono::seconds(30)))
    << process.output();
  process.Signal(SIGINT);
  EXPECT_EQ(process.WaitForExit(std::chrono::seconds(20)), 0) << process.output();
}

// A signal while the camera waits for camera info that never comes is a stop, not a failure.
TEST(NodeProcess, SignalDuringStartUpIsAStop)
{
  for (const int signal_number : {SIGINT, SIGTERM}) {
    CameraFixture fixture;
    orvanite_test::WriteNumberedCameraFile(
      fixture, 1, {{"camera_info_topic", "\"/camera_without_driver/camera_info\""}});
    ServiceSettings settings;
    settings.node_names = {"cam1_trash_detect_node"};
    fixture.overlay().WriteConfig(
      "trash_pose_detect_config.yaml", orvanite_test::ServiceConfigYaml(settings));

    NodeProcess process(PrefixPath(fixture), "true", "debug");
    // The camera's last line before it subscribes to its camera info and waits up to 60 s.
    ASSERT_TRUE(process.WaitForOutput("_trashes_cloud_topic = ", std::chrono::seconds(30)))
      << process.output();
    process.Signal(signal_number);
    EXPECT_EQ(process.WaitForExit(std::chrono::seconds(20)), 0) << process.output();
    const std::string & output = process.output();
    EXPECT_NE(
      output.find(
        "start-up interrupted: ROS was shut down (SIGINT or SIGTERM) before the node served"),
      std::string::npos)
      << output;
    EXPECT_EQ(output.find("start-up failed"), std::string::npos) << output;
    EXPECT_EQ(output.find("[ERROR]"), std::string::npos) << output;
    EXPECT_EQ(output.find("executor thread start"), std::string::npos) << output;
  }
}

TEST(NodeProcess, FatalStartUpErrorsEndWithStatusOne)
{
  struct Case
  {
    const char * name;
    bool with_service_config;
    bool with_detect_service;
    const char * spdlog_stdout;
    const char * expected_text;
  };
  const Case cases[] = {
    {"missing_service_config", false, true, "true", "trash_pose_detect_config.yaml"},
    {"missing_detect_service", true, false, "true", "detect_service"},
    // No sink at all: the line still reaches standard error, once.
    {"missing_detect_service_console_off", true, false, "false", "detect_service"},
  };
  for (const Case & c : cases) {
    CameraFixture fixture;
    orvanite_test::WriteNumberedCameraFile(fixture, 1, {});
    ServiceSettings settings;
    settings.node_names = {"cam1_trash_detect_node"};
    settings.with_detect_service = c.with_detect_service;
    if (c.with_service_config) {
      fixture.overlay().WriteConfig(
        "trash_pose_detect_config.yaml", orvanite_test::ServiceConfigYaml(settings));
    }
    NodeProcess process(PrefixPath(fixture), c.spdlog_stdout);
    EXPECT_EQ(process.WaitForExit(std::chrono::seconds(30)), 1) << c.name << process.output();
    const std::string & output = process.output();
    const bool console = std::string(c.spdlog_stdout) == "true";
    EXPECT_EQ(output.find("[ERROR] ") != std::string::npos, console) << c.name << output;
    const auto failed = output.find("start-up failed: ");
    ASSERT_NE(failed, std::string::npos) << c.name << output;
    EXPECT_EQ(output.find("start-up failed: ", failed + 1), std::string::npos) << c.name << output;
    EXPECT_NE(output.find(c.expected_text, failed), std::string::npos) << c.name << output;
  }
}

TEST(NodeProcess, MissingShareDirectoryEndsWithStatusOne)
{
  NodeProcess process("/nonexistent_prefix");
  EXPECT_EQ(process.WaitForExit(std::chrono::seconds(30)), 1) << process.output();
  EXPECT_NE(process.output().find("orvanite_arm_trash_detect"), std::string::npos);
}
}  // namespace
