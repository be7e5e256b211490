// The camera's publishers, broadcaster and synchronised image subscriptions.
#include <functional>
#include <string>

#include "camera_detection_node/camera_config.hpp"
#include "camera_detection_node/camera_detection_node.hpp"
#include "camera_detection_node/config_named_entity.hpp"
#include "common/error_code.hpp"
#include "common/logger.hpp"
#include "common/yaml_config_reader.hpp"

namespace
{
// Every published topic keeps only its latest message, reliable and volatile.
const rclcpp::QoS kPublisherQos(1);
constexpr uint32_t kSyncQueueSize = 10;
}  // namespace

void CameraDetectionNode::InitializePublishers(std::string config_path)
{
  const orvanite::YamlConfigReader & reader = CameraFile(config_path);
  const auto detected_image_topic =
    reader.Read<std::string>(kCameraParamsMap, "detected_image_topic");
  detected_image_pub_ = orvanite::CreateConfigNamed(
    reader, CameraKeyPath("detected_image_topic"),
    [&] { return node_->create_publisher<Image>(detected_image_topic, kPublisherQos); });
  const auto trashes_cloud_topic =
    reader.Read<std::string>(kCameraParamsMap, "trashes_cloud_topic");
  trashes_cloud_pub_ =
    orvanite::CreateConfigNamed(reader, CameraKeyPath("trashes_cloud_topic"), [&] {
      return node_->create_publisher<sensor_msgs::msg::PointCloud2>(
        trashes_cloud_topic, kPublisherQos);
    });

  // Absolute, so these stay outside the node's namespace; the id is followed by the suffix.
  const std::string camera_prefix = "/orvanite_arm_trash_detect/cam" + std::to_string(cam_id_);
  trashes_init_cloud_pub_ = node_->create_publisher<sensor_msgs::msg::PointCloud2>(
    camera_prefix + "_trashes_init_cloud", kPublisherQos);
  static_broadcaster_ = std::make_shared<tf2_ros::StaticTransformBroadcaster>(node_);
  trash_obb_markers_pub_ = node_->create_publisher<visualization_msgs::msg::MarkerArray>(
    camera_prefix + "_trash_obb_markers", kPublisherQos);
  trash_pose_markers_pub_ = node_->create_publisher<visualization_msgs::msg::MarkerArray>(
    camera_prefix + "_trash_pose", kPublisherQos);
  // Relative: resolves inside the camera node's namespace.
  grab_trash_cloud_pub_ = node_->create_publisher<GrabTrashCloud>(
    "orvanite_arm_trash_detect/grab_trash_cloud", kPublisherQos);

  LOG_DEBUG("cam_{0:d}_detected_image_topic = {1:s}", cam_id_, detected_image_topic);
  LOG_DEBUG("cam_{0:d}_trashes_cloud_topic = {1:s}", cam_id_, trashes_cloud_topic);
}

void CameraDetectionNode::InitializeSubscribers(std::string config_path)
{
  const orvanite::YamlConfigReader & reader = CameraFile(config_path);
  const auto camera_info_topic = reader.Read<std::string>(kCameraParamsMap, "camera_info_topic");
  const bool is_detect_grab_pose = reader.Read<bool>(kCameraParamsMap, "is_detect_grab_pose");
  const bool camera_params_set = orvanite::CreateConfigNamed(
    reader, CameraKeyPath("camera_info_topic"), [&] { return GetCameraParams(camera_info_topic); });
  if (camera_info_topic.empty()) {
    // A camera without camera info is a set-up the file allows, not a failure.
    LOG_INFO("cam_{}: camera_info_topic is empty, use default values from config file.", cam_id_);
  } else if (!camera_params_set) {
    LOG_ERROR(
      "ErrorCode:{}, camera param info initialize failed.",
      static_cast<int>(orvanite::CAMERA_PARAM_INIT_FAILED));
  }
  const auto rgb_topic = reader.Read<std::string>(kCameraParamsMap, "rgb_topic");
  const auto depth_topic = reader.Read<std::string>(kCameraParamsMap, "depth_topic");
  // An empty topic subscribes to nothing, so no pair is ever formed.
  orvanite::CreateConfigNamed(reader, CameraKeyPath("rgb_topic"), [&] {
    rgb_sub_.subscribe(node_, rgb_topic, rmw_qos_profile_default);
  });
  orvanite::CreateConfigNamed(reader, CameraKeyPath("depth_topic"), [&] {
    depth_sub_.subscribe(node_, depth_topic, rmw_qos_profile_default);
  });
  sync_ = std::make_shared<message_filters::Synchronizer<ImagePolicy>>(
    ImagePolicy(kSyncQueueSize), rgb_sub_, depth_sub_);
  using std::placeholders::_1;
  using std::placeholders::_2;
  if (is_detect_grab_pose) {
    sync_->registerCallback(std::bind(&CameraDetectionNode::ImageCallback, this, _1, _2));
  } else {
    sync_->registerCallback(std::bind(&CameraDetectionNode::ImageDetectCallback, this, _1, _2));
  }

  LOG_DEBUG("cam_{0:d}_camera_info_topic = {1:s}", cam_id_, camera_info_topic);
  LOG_DEBUG("cam_{0:d}_rgb_topic = {1:s}", cam_id_, rgb_topic);
  LOG_DEBUG("cam_{0:d}_depth_topic = {1:s}", cam_id_, depth_topic);
}
