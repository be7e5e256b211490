// The whole system on one scene in this process: the configuration overlay, the scene player in
// place of the camera drivers and TF publisher, the detection node with its executor spinning,
// and a client of its service.
#ifndef ORVANITE_DEMO__DEMO_SESSION_HPP_
#define ORVANITE_DEMO__DEMO_SESSION_HPP_

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "orvanite_demo/config_overlay.hpp"
#include "orvanite_scene_sim/scene_player.hpp"
#include "orvanite_scene_sim/trash_pose_client.hpp"
#include "orvanite_scene_sim/types.hpp"

class DetectionNode;

namespace orvanite_demo
{

struct SessionOptions
{
  OverlayOptions overlay;
  double rate_hz = 10.0;  // frames per second of every camera
};

class DemoSession
{
public:
  using ArmTrashPose = orvanite_protocol::srv::ArmTrashPose;

  // Writes the overlay under `prefix`, starts the player, builds the detection node (each camera
  // takes its intrinsics from the player's camera info and its pose from TF) and spins the
  // node's executor on a thread of its own, as DetectionNode::run does. Needs rclcpp::init;
  // throws what the overlay or the detection node throws, or orvanite_scene_sim::Interrupted
  // when ROS was shut down (SIGINT, SIGTERM) before all of it had started.
  DemoSession(
    const orvanite_scene_sim::Scene & scene, const std::filesystem::path & prefix,
    const SessionOptions & options);
  // Stops the executor and joins its thread; the overlay's files stay.
  ~DemoSession();

  DemoSession(const DemoSession &) = delete;
  DemoSession & operator=(const DemoSession &) = delete;

  // One service call; throws std::runtime_error when no answer comes within `timeout`, its text
  // ending with how to see the node's log, and orvanite_scene_sim::Interrupted when ROS shuts
  // down meanwhile.
  ArmTrashPose::Response Call(
    const ArmTrashPose::Request & request,
    std::chrono::milliseconds timeout = std::chrono::seconds(30));

  const ConfigOverlay & overlay() const { return overlay_; }

private:
  ConfigOverlay overlay_;
  orvanite_scene_sim::ScenePlayer player_;
  std::shared_ptr<DetectionNode> detection_node_;
  // Before the spinner: nothing that can throw comes after the thread has started.
  orvanite_scene_sim::TrashPoseClient client_;
  std::promise<void> spin_ended_;
  std::thread spinner_;
};

}  // namespace orvanite_demo

#endif  // ORVANITE_DEMO__DEMO_SESSION_HPP_
