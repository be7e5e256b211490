// A share overlay with the service configuration and any number of camera files, a running
// DetectionNode and a client of its ArmTrashPose service.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SERVICE_FIXTURE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SERVICE_FIXTURE_HPP_

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "orvanite_protocol/srv/arm_trash_pose.hpp"
#include "support/tf_listening.hpp"
#include "rclcpp/rclcpp.hpp"
#include "support/camera_fixture.hpp"
#include "support/poll_until.hpp"
#include "trash_pose_detection/detection_node.hpp"

namespace orvanite_test
{
struct ServiceSettings
{
  std::string max_grab_radius = "1.0";
  std::string aim_grab_radius = "0.05";
  std::string detect_timeout_ms = "600";
  std::vector<std::string> node_names;
  bool with_detect_service = true;
  std::string detect_service = "/orvanite_arm_trash_detect/arm_trash_pose";
};

inline std::string ServiceConfigYaml(const ServiceSettings & settings)
{
  std::string yaml = "orvanite_arm_trash_detect:\n";
  yaml += "  max_grab_radius: " + settings.max_grab_radius + "\n";
  yaml += "  aim_grab_radius: " + settings.aim_grab_radius + "\n";
  yaml += "  detect_timeout_ms: " + settings.detect_timeout_ms + "\n";
  yaml += "  trash_detect_node_array: [";
  for (std::size_t i = 0; i < settings.node_names.size(); ++i) {
    yaml += (i ? ", \"" : "\"") + settings.node_names[i] + "\"";
  }
  yaml += "]\n";
  if (settings.with_detect_service) {
    yaml += "  detect_service: \"" + settings.detect_service + "\"\n";
  }
  return yaml;
}

// The camera file of camera `index` (from 1) built from the default keys with `changes`.
inline std::string WriteNumberedCameraFile(
  const CameraFixture & fixture, int index, const CameraFixture::Keys & changes)
{
  CameraFixture::Keys keys = DefaultCameraKeys(fixture.model_cfg_file());
  for (const auto & [key, value] : changes) {
    bool found = false;
    for (auto & entry : keys) {
      if (entry.first == key) {
        entry.second = value;
        found = true;
      }
    }
    if (!found) {
      throw std::invalid_argument("no camera key " + key);
    }
  }
  std::string yaml = "camera_detection_params:\n";
  for (const auto & [key, value] : keys) {
    yaml += "  " + key + ": " + value + "\n";
  }
  return fixture.overlay().WriteConfig("cam" + std::to_string(index) + "_detect_config.yaml", yaml);
}

// Far above the moment a thread takes to start spinning on any machine.
constexpr auto kSpinStartBound = std::chrono::seconds(60);

// Spins the detection node's executor on a thread of its own while it lives.
class RunningDetectionNode
{
public:
  explicit RunningDetectionNode(const std::string & config_path)
  : detection_node_(std::make_shared<DetectionNode>(config_path))
  {
    for (const auto & camera : detection_node_->cameras()) {
      WaitUntilListening(*camera);
    }
    spinner_ = std::thread([this] { detection_node_->executor()->spin(); });
  }
  ~RunningDetectionNode()
  {
    // A cancel issued before the spin has begun is lost (spin() sets its flag itself), and the
    // join would never return: cancel only a spinning executor.
    PollUntil([this] { return detection_node_->executor()->is_spinning(); }, kSpinStartBound);
    detection_node_->executor()->cancel();
    spinner_.join();
  }
  RunningDetectionNode(const RunningDetectionNode &) = delete;
  RunningDetectionNode & operator=(const RunningDetectionNode &) = delete;

  DetectionNode & node() { return *detection_node_; }

  // One call of the service; throws when no answer comes within `timeout`.
  orvanite_protocol::srv::ArmTrashPose::Response Call(
    const orvanite_protocol::srv::ArmTrashPose::Request & request,
    std::chrono::seconds timeout = std::chrono::seconds(20))
  {
    const auto client_node = std::make_shared<rclcpp::Node>("arm_trash_pose_test_client");
    const auto client = client_node->create_client<orvanite_protocol::srv::ArmTrashPose>(
      "/orvanite_arm_trash_detect/arm_trash_pose");
    if (!client->wait_for_service(std::chrono::seconds(5))) {
      throw std::runtime_error("service not available");
    }
    auto future = client->async_send_request(
      std::make_shared<orvanite_protocol::srv::ArmTrashPose::Request>(request));
    rclcpp::executors::SingleThreadedExecutor executor;
    executor.add_node(client_node);
    if (
      executor.spin_until_future_complete(future.future, timeout) !=
      rclcpp::FutureReturnCode::SUCCESS) {
      throw std::runtime_error("no answer from the service");
    }
    return *future.get();
  }

private:
  std::shared_ptr<DetectionNode> detection_node_;
  std::thread spinner_;
};
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SERVICE_FIXTURE_HPP_
