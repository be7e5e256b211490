// The executable as a process: it serves until SIGINT and exits 0, as it does when the signal
// comes during start-up; a bad configuration ends it with one ERROR line and status 1, written
// to standard error when the console sink is off.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "support/camera_fixture.hpp"
#include "support/service_fixture.hpp"

namespace
{
using orvanite_test::CameraFixture;
using orvanite_test::ServiceSettings;

class NodeProcess
{
public:
  // Standard output and standard error both go to output(); `spdlog_stdout` is SPDLOG_STDOUT,
  // `spdlog_level` SPDLOG_LEVEL.
  explicit NodeProcess(
    const std::string & ament_prefix_path, const char * spdlog_stdout = "true",
    const char * spdlog_level = "info")
  {
    int fds[2];
    if (pipe(fds) != 0) {
      throw std::runtime_error("pipe failed");
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], STDOUT_FILENO);
      dup2(fds[1], STDERR_FILENO);
      close(fds[0]);
      close(fds[1]);
      setenv("AMENT_PREFIX_PATH", ament_prefix_path.c_str(), 1);
      setenv("SPDLOG_STDOUT", spdlog_stdout, 1);
      setenv("SPDLOG_SYSTEMD", "false", 1);
      setenv("SPDLOG_LEVEL", spdlog_level, 1);
      execl(NODE_EXECUTABLE_PATH, NODE_EXECUTABLE_PATH, static_cast<char *>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    out_ = fds[0];
  }
  ~NodeProcess()
  {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
  }

  // Reads standard output until `text` appears or the output ends; false after `timeout`.
  bool WaitForOutput(const std::string & text, std::chrono::seconds timeout)
  {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (output_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
      if (left.count() <= 0) {
        return false;
      }
      pollfd fd{out_, POLLIN, 0};
      if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
        return false;
      }
      char buffer[4096];
      const ssize_t n = read(out_, buffer, sizeof(buffer));
      if (n <= 0) {
        return output_.find(text) != std::string::npos;
      }
      output_.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }

  // The exit status, or -1 when the process has not ended within `timeout` or was killed.
  int WaitForExit(std::chrono::seconds timeout)
  {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        Drain();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      pollfd fd{out_, POLLIN, 0};
      if (poll(&fd, 1, 20) > 0) {
        char buffer[4096];
        const ssize_t n = read(out_, buffer, sizeof(buffer));
        if (n > 0) {
          output_.append(buffer, static_cast<std::size_t>(n));
        }
      }
    }
    return -1;
  }

  // Reads what is left after the process ended.
  void Drain()
  {
    pollfd fd{out_, POLLIN, 0};
    char buffer[4096];
    while (poll(&fd, 1, 1000) > 0) {
      const ssize_t n = read(out_, buffer, sizeof(buffer));
      if (n <= 0) {
        return;
      }
      output_.append(buffer, static_cast<std::size_t>(n));
    }
  }

  void Signal(int signal_number) { kill(pid_, signal_number); }
  const std::string & output() const { return output_; }

private:
  pid_t pid_ = -1;
  int out_ = -1;
  bool exited_ = false;
  std::string output_;
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
