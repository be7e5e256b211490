#include "trash_pose_detection/detection_node.hpp"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>
#include <utility>

#include "camera_detection_node/camera_config.hpp"
#include "camera_detection_node/camera_detection_node.hpp"
#include "camera_detection_node/config_named_entity.hpp"
#include "common/ansi_colors.hpp"
#include "common/config_ranges.hpp"
#include "common/error_code.hpp"
#include "common/logger.hpp"
#include "common/yaml_config_reader.hpp"

namespace
{
constexpr char kConfigMap[] = "orvanite_arm_trash_detect";
constexpr auto kPollPeriod = std::chrono::milliseconds(10);

rclcpp::NodeOptions CameraNodeOptions()
{
  rclcpp::NodeOptions options;
  options.automatically_declare_parameters_from_overrides(true);
  return options;
}

void SetError(orvanite_protocol::srv::ArmTrashPose::Response & response, orvanite::ErrorCode code)
{
  response.error_code = code;
  response.error_msg = orvanite::ErrorCodeText(code);
}

// The file of the camera at `index` of trash_detect_node_array: cam1_detect_config.yaml first.
std::string CameraConfigPath(std::size_t index)
{
  return PackageConfigPath("cam" + std::to_string(index + 1) + "_detect_config.yaml");
}

std::chrono::steady_clock::time_point SteadyNow() { return std::chrono::steady_clock::now(); }

void Sleep(std::chrono::steady_clock::duration period) { std::this_thread::sleep_for(period); }

int64_t WholeMilliseconds(std::chrono::steady_clock::duration elapsed)
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}
}  // namespace

DetectionNode::DetectionNode(const std::string & config_path) : now_(SteadyNow), pause_(Sleep)
{
  executor_ = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(
    rclcpp::ExecutorOptions(), 8, true, std::chrono::nanoseconds(-1));

  const orvanite::YamlConfigReader reader(config_path);
  namespace range = orvanite::config_range;
  max_grab_radius_ = reader.ReadInRange(kConfigMap, "max_grab_radius", range::kChoiceRadius);
  aim_grab_radius_ = reader.ReadInRange(kConfigMap, "aim_grab_radius", range::kChoiceRadius);
  detect_timeout_ms_ = reader.ReadInRange(kConfigMap, "detect_timeout_ms", range::kDurationMs);
  const auto node_names = reader.ReadList<std::string>(kConfigMap, "trash_detect_node_array");

  cam_num_ = node_names.size();
  LOG_INFO("cam_num_: {}", cam_num_);
  if (node_names.empty()) {
    LOG_WARN(
      "{}", reader.Describe(
              std::string(kConfigMap) + "/trash_detect_node_array",
              "empty list, no camera is built and every request is answered with code 0"));
  }
  camera_detection_nodes_.resize(cam_num_);
  camera_nodes_.resize(cam_num_);

  for (std::size_t i = 0; i < cam_num_; ++i) {
    const std::string node_key =
      std::string(kConfigMap) + "/trash_detect_node_array[" + std::to_string(i) + "]";
    camera_nodes_[i] = orvanite::CreateConfigNamed(reader, node_key, [&] {
      return std::make_shared<rclcpp::Node>(node_names[i], CameraNodeOptions());
    });
    camera_detection_nodes_[i] =
      std::make_shared<CameraDetectionNode>(camera_nodes_[i], CameraConfigPath(i));
    RefuseRepeatedCameraId(i);
    executor_->add_node(camera_nodes_[i], true);
  }

  node_ = std::make_shared<rclcpp::Node>("orvanite_arm_trash_detect_node", CameraNodeOptions());
  executor_->add_node(node_, true);

  // Read only now: a bad service name is found after every camera was built.
  const std::string service_name = reader.Read<std::string>(kConfigMap, "detect_service");
  callback_group_ = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  service_ = orvanite::CreateConfigNamed(reader, std::string(kConfigMap) + "/detect_service", [&] {
    return node_->create_service<ArmTrashPose>(
      service_name,
      std::bind(&DetectionNode::DetectCallback, this, std::placeholders::_1, std::placeholders::_2),
      rmw_qos_profile_services_default, callback_group_);
  });
}

void DetectionNode::RefuseRepeatedCameraId(std::size_t index) const
{
  const int cam_id = camera_detection_nodes_[index]->cam_id_;
  for (std::size_t earlier = 0; earlier < index; ++earlier) {
    if (camera_detection_nodes_[earlier]->cam_id_ == cam_id) {
      // Log lines, topics, frames and GrabTrashCloud tell the cameras apart by this number only.
      throw orvanite::ConfigError(orvanite::ConfigProblem(
        CameraConfigPath(index), CameraKeyPath("cam_id"),
        std::to_string(cam_id) + " is already the cam_id of " + CameraConfigPath(earlier)));
    }
  }
}

void DetectionNode::run()
{
  std::thread executor_thread([this]() {
    LOG_INFO(kBoldCyan + "DetectionNode executor thread start!" + kReset);
    executor_->spin();
  });
  rclcpp::WallRate rate(500);
  while (rclcpp::ok()) {
    rate.sleep();
  }
  executor_thread.join();
  for (const auto & camera : camera_detection_nodes_) {
    camera->StopTfListener();
  }
}

void DetectionNode::SetWaitClock(WaitClock now, WaitPause pause)
{
  now_ = std::move(now);
  pause_ = std::move(pause);
}

void DetectionNode::DetectCallback(
  const std::shared_ptr<ArmTrashPose::Request> request,
  std::shared_ptr<ArmTrashPose::Response> response)
{
  LOG_INFO("Start detect ====================================================");
  LOG_INFO("Received cmd: {}  cam_choice: {}", request->cmd, static_cast<int>(request->cam_choice));
  const auto t0 = now_();

  for (const auto & camera : camera_detection_nodes_) {
    camera->RequestDetect();
  }

  for (const auto & camera : camera_detection_nodes_) {
    const int cam_id = camera->cam_id_;
    const auto start = now_();
    bool timed_out = false;
    while (!camera->IsDetectDone()) {
      LOG_INFO(kDim + "is_camera_{}_detect_done_: {}" + kReset, cam_id, camera->IsDetectDone());
      LOG_INFO(kDim + "waiting detect to complete................" + kReset);
      if (WholeMilliseconds(now_() - start) > detect_timeout_ms_) {
        LOG_ERROR("cam_{}: trash pose detect process timeout", cam_id);
        camera->AbandonDetect();
        timed_out = true;
        break;
      }
      pause_(kPollPeriod);
    }
    if (timed_out) {
      continue;
    }

    const std::vector<TrashInfo> trash_infos = camera->CollectTrashInfos();
    if (trash_infos.empty()) {
      LOG_INFO(kYellow + "cam_{}: failed to detect trash need to grab!" + kReset, cam_id);
      SetError(*response, orvanite::TRASH_POSE_LIST_EMPTY);
      continue;
    }
    LOG_INFO(kDim + "cam_{}: detected trash need to grab!" + kReset, cam_id);

    const bool chosen = camera->is_grab_aim_trash_
                          ? ChooseTargetTrashInfo(trash_infos, request, response)
                          : ChooseNearestTrashInfo(trash_infos, response);
    if (chosen) {
      LOG_INFO(kBoldGreen + "cam_{}: Choosed target trash need to grab!" + kReset, cam_id);
      SetError(*response, orvanite::NONE);
      break;
    }
    LOG_INFO(kYellow + "cam_{}: failed to choose target trash!" + kReset, cam_id);
    SetError(*response, orvanite::NO_TARGET_TRASH_CHOOSED);
  }

  LOG_INFO(kMagenta + "Detect callback cost {} ms" + kReset, WholeMilliseconds(now_() - t0));
  LOG_INFO("============================================== detect completed !");
  LOG_INFO("-----------------------------------------------------------------");
}

bool DetectionNode::ChooseTargetTrashInfo(
  std::vector<TrashInfo> trash_infos, const std::shared_ptr<ArmTrashPose::Request> request,
  std::shared_ptr<ArmTrashPose::Response> response)
{
  if (trash_infos.empty()) {
    return false;
  }
  float d_min = aim_grab_radius_;
  const auto & aim = request->aim_trash_info.map_pose.position;
  LOG_WARN("aim_trash_info.map_pose: x:{:.3f}, y:{:.3f}, z:{:.3f},", aim.x, aim.y, aim.z);

  bool chosen = false;
  for (std::size_t k = 0; k < trash_infos.size(); ++k) {
    const auto & position = trash_infos[k].map_pose.position;
    LOG_INFO(
      "trash_infos[{}].map_pose: x:{:.3f}, y:{:.3f}, z:{:.3f},", k, position.x, position.y,
      position.z);
    const float dx = static_cast<float>(position.x - aim.x);
    const float dy = static_cast<float>(position.y - aim.y);
    const float dz = static_cast<float>(position.z - aim.z);
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    LOG_INFO(
      kDim +
        "Distance from target to aim trash is: dx:{:.3f}, dy:{:.3f}, "
        "dz:{:.3f}, d:{:.3f}" +
        kReset,
      dx, dy, dz, d);
    if (d < d_min) {
      response->target_trash_info = trash_infos[k];
      LOG_INFO(kDim + "d_min is now:{}" + kReset, d);
      d_min = d;
      chosen = true;
    }
  }
  return chosen;
}

bool DetectionNode::ChooseNearestTrashInfo(
  const std::vector<TrashInfo> & trash_infos, std::shared_ptr<ArmTrashPose::Response> response)
{
  float d_min = max_grab_radius_;
  bool chosen = false;
  for (const auto & trash_info : trash_infos) {
    const auto & position = trash_info.grab_pose.position;
    const float x = static_cast<float>(position.x);
    const float y = static_cast<float>(position.y);
    const float z = static_cast<float>(position.z);
    const float n = std::sqrt(x * x + y * y + z * z);
    if (n < d_min) {
      response->target_trash_info = trash_info;
      d_min = n;
      chosen = true;
    }
  }
  return chosen;
}
