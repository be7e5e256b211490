#include "orvanite_demo/demo_session.hpp"

#include <stdexcept>

#include <rclcpp/rclcpp.hpp>

#include "answer_note.hpp"
#include "trash_pose_detection/detection_node.hpp"

namespace orvanite_demo
{

namespace
{
constexpr char kInterruptedWhileStarting[] = "interrupted while starting the detection node";

// How often the executor is told again to stop: a cancel that comes before spin() starts is lost.
constexpr auto kCancelRetry = std::chrono::milliseconds(10);

// What `make` returns; when it throws after ROS has shut down (Ctrl-C while a camera waits for
// its camera info, say), what failed was only the shut-down context, not the scene or the
// configuration, and the caller is told so.
template <typename Make>
auto WhileStarting(Make make)
{
  try {
    return make();
  } catch (const std::exception &) {
    if (!rclcpp::ok()) {
      throw orvanite_scene_sim::Interrupted(kInterruptedWhileStarting);
    }
    throw;
  }
}

// The node names the generated file; the user edits the shipped one it was made from.
std::shared_ptr<DetectionNode> StartNode(const ConfigOverlay & overlay)
{
  try {
    return std::make_shared<DetectionNode>(overlay.ServiceConfigPath());
  } catch (const std::exception & error) {
    throw std::runtime_error(
      "the detection node rejected the configuration made from " + overlay.shipped_dir().string() +
      ": " + error.what());
  }
}
}  // namespace

DemoSession::DemoSession(
  const orvanite_scene_sim::Scene & scene, const std::filesystem::path & prefix,
  const SessionOptions & options)
: overlay_(scene, prefix, options.overlay)
, player_(WhileStarting([&]() { return orvanite_scene_sim::ScenePlayer(scene, options.rate_hz); }))
, detection_node_(WhileStarting([this]() { return StartNode(overlay_); }))
, client_(WhileStarting(
    [this]() { return orvanite_scene_sim::TrashPoseClient(overlay_.service_name()); }))
, spinner_([this]() {
  detection_node_->executor()->spin();
  spin_ended_.set_value();
})
{
}

DemoSession::~DemoSession()
{
  const std::future<void> ended = spin_ended_.get_future();
  do {
    detection_node_->executor()->cancel();
  } while (ended.wait_for(kCancelRetry) != std::future_status::ready);
  spinner_.join();
}

DemoSession::ArmTrashPose::Response DemoSession::Call(
  const ArmTrashPose::Request & request, std::chrono::milliseconds timeout)
{
  try {
    return client_.Call(request, timeout);
  } catch (const orvanite_scene_sim::Interrupted &) {
    throw;
  } catch (const std::runtime_error & error) {
    throw std::runtime_error(UnansweredCallNote(error.what()));
  }
}

}  // namespace orvanite_demo
