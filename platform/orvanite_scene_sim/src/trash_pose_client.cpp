#include "orvanite_scene_sim/trash_pose_client.hpp"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace orvanite_scene_sim
{

TrashPoseClient::TrashPoseClient(const std::string & service_name)
: service_name_(service_name)
, node_(std::make_shared<rclcpp::Node>("orvanite_trash_pose_client"))
, client_(node_->create_client<ArmTrashPose>(service_name))
{
}

void TrashPoseClient::ThrowIfInterrupted() const
{
  if (!rclcpp::ok(node_->get_node_base_interface()->get_context())) {
    throw Interrupted("interrupted while waiting for the service " + service_name_);
  }
}

TrashPoseClient::ArmTrashPose::Response TrashPoseClient::Call(
  const ArmTrashPose::Request & request, std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  if (!client_->wait_for_service(timeout)) {
    ThrowIfInterrupted();
    throw std::runtime_error("the service " + service_name_ + " did not appear");
  }
  auto pending = client_->async_send_request(std::make_shared<ArmTrashPose::Request>(request));
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  // A negative time-out means "forever" to spin_until_future_complete: a service that took the
  // whole time to appear leaves zero, one look at the future, instead.
  const auto left = std::max(
    std::chrono::milliseconds(0), std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now()));
  const rclcpp::FutureReturnCode result = executor.spin_until_future_complete(pending.future, left);
  if (result != rclcpp::FutureReturnCode::SUCCESS) {
    client_->remove_pending_request(pending);
    if (result == rclcpp::FutureReturnCode::INTERRUPTED) {
      ThrowIfInterrupted();
    }
    throw std::runtime_error("the service " + service_name_ + " did not answer in time");
  }
  return *pending.get();
}

}  // namespace orvanite_scene_sim
