// A client of the ArmTrashPose service, as the arm's controller would call it.
#ifndef ORVANITE_SCENE_SIM__TRASH_POSE_CLIENT_HPP_
#define ORVANITE_SCENE_SIM__TRASH_POSE_CLIENT_HPP_

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include <orvanite_protocol/srv/arm_trash_pose.hpp>
#include <rclcpp/rclcpp.hpp>

namespace orvanite_scene_sim
{

// Thrown when ROS shuts down (SIGINT, SIGTERM) while the caller waits: in TrashPoseClient::Call
// for an answer, or for the system it calls to start.
class Interrupted : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

class TrashPoseClient
{
public:
  using ArmTrashPose = orvanite_protocol::srv::ArmTrashPose;

  // A node of its own with a client of `service_name`. Needs rclcpp::init.
  explicit TrashPoseClient(const std::string & service_name);

  // Waits for the service, sends `request` and spins the client's node until the answer comes.
  // Throws std::runtime_error naming the service when it does not appear or answer in `timeout`,
  // Interrupted when ROS shuts down meanwhile.
  ArmTrashPose::Response Call(
    const ArmTrashPose::Request & request, std::chrono::milliseconds timeout);

private:
  void ThrowIfInterrupted() const;

  std::string service_name_;
  std::shared_ptr<rclcpp::Node> node_;
  rclcpp::Client<ArmTrashPose>::SharedPtr client_;
};

// The response in block-style YAML, field by field in message order as `ros2 service call`
// shows an answer: poses as position x y z and orientation x y z w, obb_size as a list, numbers
// in the shortest text that reads back exactly, strings single-quoted.
std::string ResponseYaml(const orvanite_protocol::srv::ArmTrashPose::Response & response);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__TRASH_POSE_CLIENT_HPP_
