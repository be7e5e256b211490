#include "camera_detection_node/camera_detection_node.hpp"

#include <exception>
#include <fstream>
#include <utility>

#include "camera_detection_node/camera_config.hpp"
#include "common/config_ranges.hpp"
#include "common/logger.hpp"
#include "common/yaml_config_reader.hpp"

namespace
{
namespace range = orvanite::config_range;

// Every line of the file as it is (a carriage return stays).
std::vector<std::string> ReadLines(const std::string & path)
{
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    lines.push_back(line);
  }
  return lines;
}
}  // namespace

CameraDetectionNode::CameraDetectionNode(
  std::shared_ptr<rclcpp::Node> node, std::string config_path)
: node_(std::move(node))
{
  // A step that throws leaves the members built so far to their destructors: the TF listener's
  // thread is joined, whether or not it had started to spin.
  InitializeParams(config_path);
  InitializePublishers(config_path);
  InitializeSubscribers(config_path);
  InitializeAiModel(config_path);
  initializeClassHeightConf();
  initializeAiConf();
  initializeClassSizeRange();
  camera_file_.reset();
}

const orvanite::YamlConfigReader & CameraDetectionNode::CameraFile(const std::string & config_path)
{
  if (!camera_file_ || camera_file_->path() != config_path) {
    camera_file_.emplace(config_path);
  }
  return *camera_file_;
}

CameraDetectionNode::~CameraDetectionNode() { grab_pose_estimate_.reset(); }

void CameraDetectionNode::StopTfListener()
{
  if (tf_listener_) {
    tf_listener_->Stop();
  }
}

void CameraDetectionNode::InitializeParams(std::string config_path)
{
  const orvanite::YamlConfigReader & reader = CameraFile(config_path);
  const auto read = [&reader](const char * key, auto & member) {
    member = reader.Read<std::decay_t<decltype(member)>>(kCameraParamsMap, key);
  };
  const auto read_in = [&reader](const char * key, auto & member, const auto & range) {
    member = reader.ReadInRange(kCameraParamsMap, key, range);
  };
  read_in("cam_id", cam_id_, range::kCameraId);
  read("cam_frame_id", cam_frame_id_);
  read("is_debug", is_debug_);
  read("is_realtime_estimate", is_realtime_estimate_);
  read("is_enable_semantic", is_enable_semantic_);
  read("is_enable_transparent", is_enable_transparent_);
  read("is_grab_aim_trash", is_grab_aim_trash_);
  read_in("detect_duration", detect_duration_, range::kDurationMs);
  read("map_frame_id", map_frame_id_);
  read("arm_base_frame_id", arm_base_frame_id_);
  read_in("image_edge_threshold", image_edge_threshold_, range::kEdgeMargin);
  read_in("min_trash_cloud_size_treshold", min_trash_cloud_size_treshold_, range::kPointCount);
  read_in("null_ratio_threshold", null_ratio_threshold_, range::kFraction);
  read_in("hw_ratio_threshold", hw_ratio_threshold_, range::kRatio);
  read_in("mask_erosion_size", mask_erosion_size_, range::kErosionSize);
  const std::string pose_estimate_config_file_path =
    PackageConfigPath(reader.Read<std::string>(kCameraParamsMap, "pose_estimate_config_file"));
  LOG_DEBUG(
    "cam_{0:d}_pose_estimate_config_file_path = {1:s}", cam_id_, pose_estimate_config_file_path);

  grab_pose_estimate_ = std::make_unique<GrabPoseEstimate>(pose_estimate_config_file_path);
  tf_buffer_ =
    std::make_unique<tf2_ros::Buffer>(node_->get_clock(), tf2::Duration(std::chrono::seconds(10)));
  // The listener's thread fills the buffer, so look-ups may wait while the main thread blocks.
  tf_listener_ = std::make_unique<orvanite::StoppableTfListener>(
    *tf_buffer_, node_->get_node_options().context());

  LOG_DEBUG("cam_{0:d}_debug = {1:d}", cam_id_, static_cast<int>(is_debug_));
  LOG_DEBUG("cam_{0:d}_detect_duration = {1:d} ms", cam_id_, detect_duration_);
  LOG_DEBUG("cam_{0:d}_map_frame_id = {1:s}", cam_id_, map_frame_id_);
  LOG_DEBUG("cam_{0:d}_arm_base_frame_id = {1:s}", cam_id_, arm_base_frame_id_);
  LOG_DEBUG("cam_{0:d}_image_edge_threshold = {1:d} ms", cam_id_, image_edge_threshold_);
  LOG_DEBUG("cam_{0:d}_mask_erosion_size = {1:d} ms", cam_id_, mask_erosion_size_);

  read_in("trash_mask_iou_v1", trash_mask_iou_v1_, range::kFraction);
  read_in("ground_max_th", ground_max_th_, range::kOffset);
}

void CameraDetectionNode::InitializeAiModel(std::string config_path)
{
  const orvanite::YamlConfigReader & reader = CameraFile(config_path);
  m_model_type_ = reader.Read<std::string>(kCameraParamsMap, "model_type");
  trash_class_ids_ = reader.ReadListInRange(kCameraParamsMap, "trash_class_ids", range::kClassId);
  if (trash_class_ids_.empty()) {
    LOG_WARN(
      "{}",
      reader.Describe(CameraKeyPath("trash_class_ids"), "empty list, no detection is grasped"));
  }
  const std::string class_txt_file_path =
    PackageConfigPath(reader.Read<std::string>(kCameraParamsMap, "class_txt"));
  const std::string unreadable_class_txt = orvanite::UnreadableFileReason(class_txt_file_path);
  if (unreadable_class_txt.empty()) {
    const std::vector<std::string> lines = ReadLines(class_txt_file_path);
    class_names_.insert(class_names_.end(), lines.begin(), lines.end());
  } else {
    // The names only label the annotated image, so the camera works on without them.
    LOG_WARN(
      "{}", reader.Describe(
              CameraKeyPath("class_txt"), class_txt_file_path + ": " + unreadable_class_txt +
                                            ", detections are drawn without class names"));
  }
  // Used as written: an absolute path, or one relative to the working directory.
  const std::string model_cfg_file = reader.Read<std::string>(kCameraParamsMap, "model_cfg_file");
  const std::string unreadable_model_cfg = orvanite::UnreadableFileReason(model_cfg_file);
  if (!unreadable_model_cfg.empty()) {
    reader.Fail(
      CameraKeyPath("model_cfg_file"),
      model_cfg_file + ": cannot load the file: " + unreadable_model_cfg);
  }
  try {
    m_model_ = std::make_shared<ai_orva::model::YOLOv8Seg>(model_cfg_file);
  } catch (const std::exception & e) {
    // The model library names only its own file; say which camera file and key led there.
    reader.Fail(CameraKeyPath("model_cfg_file"), e.what());
  }

  LOG_DEBUG("cam_{0:d}_model_type = {1:s}", cam_id_, m_model_type_);
  LOG_DEBUG("cam_{0:d}_class_txt_file_path = {1:s}", cam_id_, class_txt_file_path);
  LOG_DEBUG("cam_{0:d}_model_cfg_file_path = {1:s}", cam_id_, model_cfg_file);
}
