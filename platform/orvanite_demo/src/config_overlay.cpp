#include "orvanite_demo/config_overlay.hpp"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include <ament_index_cpp/get_package_share_directory.hpp>

#include "orvanite_scene_sim/camera_topics.hpp"
#include "orvanite_scene_sim/color_key_config.hpp"
#include "orvanite_scene_sim/yaml_node.hpp"
#include "yaml_text.hpp"

namespace orvanite_demo
{

namespace
{
namespace fs = std::filesystem;
using orvanite_scene_sim::Camera;
using orvanite_scene_sim::Scene;
using orvanite_scene_sim::YamlFloat;
using orvanite_scene_sim::YamlNode;

constexpr char kPackage[] = "orvanite_arm_trash_detect";
constexpr char kModelFile[] = "color_key_model.yaml";

constexpr char kPoseFile[] = "cam1_pose_estimate_config.yaml";

std::string ReadFile(const fs::path & path) { return orvanite_scene_sim::ReadTextFile(path); }

void WriteFile(const fs::path & path, const std::string & text)
{
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  if (!file) {
    throw std::runtime_error(path.string() + ": cannot be written");
  }
}

std::string CameraNodeName(std::size_t index)
{
  return "cam" + std::to_string(index + 1) + "_trash_detect_node";
}

std::string Bool(bool value) { return value ? "true" : "false"; }

// Sets `key` in `text` when the option holds a value.
template <typename T, typename Format>
std::string SetOptional(
  const std::string & text, const std::string & key, const std::optional<T> & option, Format format,
  const fs::path & file)
{
  return option ? SetYamlValue(text, key, format(*option), file.string()) : text;
}
}  // namespace

fs::path ShippedConfigDir()
{
  return fs::path(ament_index_cpp::get_package_share_directory(kPackage)) / "config";
}

double ShippedFloorZ()
{
  const fs::path pose_file = ShippedConfigDir() / kPoseFile;
  return -YamlNode::Load(pose_file.string()).Child("grab_pose_estimate").GetFinite("base_height");
}

ConfigOverlay::ConfigOverlay(
  const Scene & scene, const fs::path & prefix, const OverlayOptions & options)
: prefix_(fs::absolute(prefix)), shipped_dir_(ShippedConfigDir())
{
  const fs::path & shipped = shipped_dir_;
  const fs::path service_file = shipped / "trash_pose_detect_config.yaml";
  const fs::path pose_file = shipped / kPoseFile;
  const fs::path camera_file = shipped / "cam1_detect_config.yaml";
  // What the overlay takes from the shipped files, read first so that a broken file is named
  // before anything is written.
  service_name_ = YamlNode::Load(service_file.string())
                    .Child("orvanite_arm_trash_detect")
                    .Get<std::string>("detect_service");
  trash_code_ =
    YamlNode::Load(pose_file.string()).Child("debug_choice").Get<std::string>("trash_code");
  YamlNode::Load(camera_file.string()).Child("camera_detection_params");

  const fs::path index = prefix_ / "share/ament_index/resource_index/packages";
  fs::create_directories(index);
  WriteFile(index / kPackage, "");
  fs::create_directories(ConfigDir());

  std::string service = ReadFile(service_file);
  std::vector<std::string> node_names;
  for (std::size_t i = 0; i < scene.cameras.size(); ++i) {
    node_names.push_back(Quoted(CameraNodeName(i)));
  }
  service =
    SetYamlValue(service, "trash_detect_node_array", FlowList(node_names), service_file.string());
  service =
    SetOptional(service, "max_grab_radius", options.max_grab_radius, YamlFloat, service_file);
  service =
    SetOptional(service, "aim_grab_radius", options.aim_grab_radius, YamlFloat, service_file);
  service = SetOptional(
    service, "detect_timeout_ms", options.detect_timeout_ms,
    [](int value) { return std::to_string(value); }, service_file);
  WriteFile(ServiceConfigPath(), service);

  // The estimator puts the floor base_height below the arm-base origin.
  const std::string pose =
    SetYamlValue(ReadFile(pose_file), "base_height", YamlFloat(-scene.floor_z), pose_file.string());
  const std::string camera_template = ReadFile(camera_file);
  const std::string model_path = (ConfigDir() / kModelFile).string();

  for (std::size_t i = 0; i < scene.cameras.size(); ++i) {
    const Camera & camera = scene.cameras[i];
    const std::string id = std::to_string(i + 1);
    const std::string pose_name = "cam" + id + "_pose_estimate_config.yaml";
    // The estimator expects the folder with a trailing slash.
    const std::string data_root = DebugFolder(i).parent_path().string() + "/";
    WriteFile(
      ConfigDir() / pose_name,
      SetYamlValue(pose, "folder_path", Quoted(data_root), pose_file.string()));

    const orvanite_scene_sim::CameraTopics topics = orvanite_scene_sim::TopicsOf(camera);
    const std::string prefix_topic = "/orvanite_arm_trash_detect/cam" + id;
    const std::vector<std::pair<std::string, std::string>> values = {
      {"cam_id", id},
      {"cam_frame_id", Quoted(camera.frame_id)},
      {"map_frame_id", Quoted(scene.frames.map)},
      {"arm_base_frame_id", Quoted(scene.frames.arm_base)},
      {"pose_estimate_config_file", Quoted(pose_name)},
      {"model_cfg_file", Quoted(model_path)},
      {"detected_image_topic", Quoted(prefix_topic + "_detected_image")},
      {"trashes_cloud_topic", Quoted(prefix_topic + "_trashes_cloud")},
      {"camera_info_topic", Quoted(topics.camera_info)},
      {"rgb_topic", Quoted(topics.rgb)},
      {"depth_topic", Quoted(topics.depth)},
    };
    std::string text = camera_template;
    for (const auto & [key, value] : values) {
      text = SetYamlValue(text, key, value, camera_file.string());
    }
    text = SetOptional(text, "is_debug", options.debug, Bool, camera_file);
    text = SetOptional(text, "is_grab_aim_trash", options.aim_mode, Bool, camera_file);
    text = SetOptional(
      text, "is_detect_grab_pose", options.streaming, [](bool on) { return Bool(!on); },
      camera_file);
    WriteFile(ConfigDir() / ("cam" + id + "_detect_config.yaml"), text);
  }

  for (const char * name :
       {"class_conf.yaml", "class_height_conf.yaml", "class_size_range.yaml",
        "trash_classes.txt"}) {
    WriteFile(ConfigDir() / name, ReadFile(shipped / name));
  }
  orvanite_scene_sim::WriteColorKeyConfig(scene, model_path);

  if (const char * previous = std::getenv("AMENT_PREFIX_PATH")) {
    previous_path_ = previous;
  }
  const std::string path =
    previous_path_ ? prefix_.string() + ":" + *previous_path_ : prefix_.string();
  setenv("AMENT_PREFIX_PATH", path.c_str(), 1);
}

ConfigOverlay::~ConfigOverlay()
{
  if (previous_path_) {
    setenv("AMENT_PREFIX_PATH", previous_path_->c_str(), 1);
  } else {
    unsetenv("AMENT_PREFIX_PATH");
  }
}

fs::path ConfigOverlay::ConfigDir() const { return prefix_ / "share" / kPackage / "config"; }

std::string ConfigOverlay::ServiceConfigPath() const
{
  return (ConfigDir() / "trash_pose_detect_config.yaml").string();
}

fs::path ConfigOverlay::DebugFolder(std::size_t index) const
{
  return prefix_ / "debug" / ("cam" + std::to_string(index + 1)) / trash_code_;
}

}  // namespace orvanite_demo
