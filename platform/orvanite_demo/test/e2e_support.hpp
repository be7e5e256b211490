// What the end-to-end tests share: rclcpp for the whole binary, shipped scenes, a temporary
// prefix per session, and the system answering one request on a scene.
#ifndef ORVANITE_DEMO__TEST__E2E_SUPPORT_HPP_
#define ORVANITE_DEMO__TEST__E2E_SUPPORT_HPP_

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include <ament_index_cpp/get_package_share_directory.hpp>
#include <rclcpp/rclcpp.hpp>

#include "orvanite_demo/demo_session.hpp"
#include "orvanite_scene_sim/scene_loader.hpp"

namespace orvanite_demo_test
{

constexpr int kCodeNone = 102200000;
constexpr int kCodeListEmpty = 102200003;
constexpr int kCodeNoTarget = 102200010;

class RclcppEnvironment : public ::testing::Environment
{
public:
  void SetUp() override
  {
    // The node's log lines would bury the test output.
    setenv("SPDLOG_STDOUT", "false", 1);
    rclcpp::init(0, nullptr);
  }
  void TearDown() override { rclcpp::shutdown(); }
};

inline orvanite_scene_sim::Scene ShippedScene(const std::string & name)
{
  return orvanite_scene_sim::LoadScene(
    ament_index_cpp::get_package_share_directory("orvanite_scene_sim") + "/scenes/" + name +
    ".yaml");
}

// A fresh folder under the temporary directory, removed with everything in it.
class TemporaryPrefix
{
public:
  TemporaryPrefix()
  {
    std::string pattern =
      (std::filesystem::temp_directory_path() / "orvanite_demo_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a folder from " + pattern);
    }
    path_ = pattern;
  }
  ~TemporaryPrefix()
  {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryPrefix(const TemporaryPrefix &) = delete;
  TemporaryPrefix & operator=(const TemporaryPrefix &) = delete;

  const std::filesystem::path & path() const { return path_; }

private:
  std::filesystem::path path_;
};

// The whole system on `scene`, with its files in a temporary prefix.
class Session
{
public:
  Session(const orvanite_scene_sim::Scene & scene, const orvanite_demo::SessionOptions & options)
  : session_(scene, prefix_.path(), Patient(options))
  {
  }

  orvanite_demo::DemoSession::ArmTrashPose::Response Call(
    const orvanite_demo::DemoSession::ArmTrashPose::Request & request)
  {
    return session_.Call(request);
  }

  // A request with the message defaults, as a plain client sends it.
  orvanite_demo::DemoSession::ArmTrashPose::Response Call()
  {
    return Call(orvanite_demo::DemoSession::ArmTrashPose::Request());
  }

private:
  // A loaded machine may take longer than the shipped 600 ms per frame; these tests are about
  // the answers, not the time-out, unless they set one themselves.
  static orvanite_demo::SessionOptions Patient(orvanite_demo::SessionOptions options)
  {
    if (!options.overlay.detect_timeout_ms) {
      options.overlay.detect_timeout_ms = 10000;
    }
    return options;
  }

  TemporaryPrefix prefix_;
  orvanite_demo::DemoSession session_;
};

}  // namespace orvanite_demo_test

#endif  // ORVANITE_DEMO__TEST__E2E_SUPPORT_HPP_
