// The process's ROS objects: one node and one CameraDetectionNode per configured camera, the node
// that serves ArmTrashPose, and the one multi-threaded executor that spins them all.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_DETECTION__DETECTION_NODE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_DETECTION__DETECTION_NODE_HPP_

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvanite_protocol/msg/trash_info.hpp"
#include "orvanite_protocol/srv/arm_trash_pose.hpp"
#include "rclcpp/rclcpp.hpp"

class CameraDetectionNode;

class DetectionNode
{
public:
  using ArmTrashPose = orvanite_protocol::srv::ArmTrashPose;
  using TrashInfo = orvanite_protocol::msg::TrashInfo;
  using WaitClock = std::function<std::chrono::steady_clock::time_point()>;
  using WaitPause = std::function<void(std::chrono::steady_clock::duration)>;

  // Reads the service configuration at `config_path` (keys under `orvanite_arm_trash_detect`),
  // builds every camera from "<share>/config/cam<i+1>_detect_config.yaml" in list order, then the
  // service node and the service. Throws on a missing file or key, a number outside its range
  // (config_ranges.hpp), two cameras with one cam_id, or a camera that fails.
  explicit DetectionNode(const std::string & config_path);

  // Spins the executor on a thread of its own until ROS shuts down, then joins it and the
  // cameras' TF listener threads (the node itself lives until the process ends, its threads not).
  void run();

  // The executor holding every node, for tools and tests that spin it themselves.
  std::shared_ptr<rclcpp::executors::MultiThreadedExecutor> executor() const { return executor_; }
  const std::vector<std::shared_ptr<CameraDetectionNode>> & cameras() const
  {
    return camera_detection_nodes_;
  }

  // Replaces the clock that times DetectCallback (its cost and each camera's wait) and the pause
  // between two polls of a camera, by default the steady clock and a real sleep, so that tests can
  // run the wait in virtual time. Call only while no request is being served.
  void SetWaitClock(WaitClock now, WaitPause pause);

  // Asks every camera for a fresh result, waits for each in camera order up to
  // `detect_timeout_ms_`, and answers with the first target chosen.
  void DetectCallback(
    const std::shared_ptr<ArmTrashPose::Request> request,
    std::shared_ptr<ArmTrashPose::Response> response);

  // Aim mode: the record nearest to the request's aim point (map frame), strictly closer than
  // `aim_grab_radius_`; the first of equally near records wins. Writes it into the response.
  bool ChooseTargetTrashInfo(
    std::vector<TrashInfo> trash_infos, const std::shared_ptr<ArmTrashPose::Request> request,
    std::shared_ptr<ArmTrashPose::Response> response);

  // The record nearest to the arm-base origin, strictly closer than `max_grab_radius_`.
  bool ChooseNearestTrashInfo(
    const std::vector<TrashInfo> & trash_infos, std::shared_ptr<ArmTrashPose::Response> response);

private:
  // Throws ConfigError "<file of camera index>: camera_detection_params/cam_id: <id> is already
  // the cam_id of <file of the earlier camera>" when camera `index` has an earlier one's number.
  void RefuseRepeatedCameraId(std::size_t index) const;

  std::size_t cam_num_ = 0;
  float max_grab_radius_ = 1.0f;
  float aim_grab_radius_ = 0.05f;
  int detect_timeout_ms_ = 600;
  std::vector<std::shared_ptr<CameraDetectionNode>> camera_detection_nodes_;
  std::vector<std::shared_ptr<rclcpp::Node>> camera_nodes_;
  std::shared_ptr<rclcpp::Node> node_;
  std::shared_ptr<rclcpp::executors::MultiThreadedExecutor> executor_;
  std::shared_ptr<rclcpp::Service<ArmTrashPose>> service_;
  std::shared_ptr<rclcpp::CallbackGroup> callback_group_;
  WaitClock now_;
  WaitPause pause_;
};

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_DETECTION__DETECTION_NODE_HPP_
