#include "orvanite_demo/config_overlay.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <yaml-cpp/yaml.h>

#include <ament_index_cpp/get_package_share_directory.hpp>

#include "orvanite_scene_sim/camera_topics.hpp"
#include "orvanite_scene_sim/color_key_config.hpp"
#include "yaml_text.hpp"

namespace orvanite_demo
{

namespace
{
namespace fs = std::filesystem;
using orvanite_scene_sim::Camera;
using orvanite_scene_sim::Scene;

constexpr char kPackage[] = "orvanite_arm_trash_detect";
constexpr char kModelFile[] = "color_key_model.yaml";

std::string ReadFile(const fs::path & path)
{
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  if (!file) {
    throw std::runtime_error(path.string() + ": cannot be read");
  }
  return text.str();
}

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

std::vector<std::string> ReadLines(const fs::path & path)
{
  std::istringstream in(ReadFile(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// The shipped grasped classes and every class the scene's litter has, as class ids.
std::string TrashClassIds(const YAML::Node & shipped_camera, const Scene & scene)
{
  std::set<int> ids;
  for (const auto & id : shipped_camera["camera_detection_params"]["trash_class_ids"]) {
    ids.insert(id.as<int>());
  }
  for (const auto & object : scene.objects) {
    ids.insert(object.label + 1);
  }
  std::vector<std::string> items;
  for (const int id : ids) {
    items.push_back(std::to_string(id));
  }
  return FlowList(items);
}

std::string SizeRanges(const fs::path & shipped, const Scene & scene, const fs::path & names_file)
{
  std::string text = ReadFile(shipped);
  const YAML::Node ranges = YAML::Load(text);
  const std::vector<std::string> names = ReadLines(names_file);
  std::set<int> labels;
  for (const auto & object : scene.objects) {
    labels.insert(object.label);
  }
  for (const int label : labels) {
    if (label < 0 || static_cast<std::size_t>(label) >= names.size()) {
      throw std::runtime_error(
        names_file.string() + ": no class name for the scene's label " + std::to_string(label));
    }
    if (!ranges[names[label]]) {
      text += "# Added for the scene, whose litter has this class.\n" + names[label] +
              ":\n  min: [0.0, 0.0, 0.0]      # m\n  max: [0.40, 0.40, 0.20]   # m\n";
    }
  }
  return text;
}
}  // namespace

ConfigOverlay::ConfigOverlay(
  const Scene & scene, const fs::path & prefix, const OverlayOptions & options)
: prefix_(fs::absolute(prefix))
{
  const fs::path shipped =
    fs::path(ament_index_cpp::get_package_share_directory(kPackage)) / "config";
  const fs::path index = prefix_ / "share/ament_index/resource_index/packages";
  fs::create_directories(index);
  WriteFile(index / kPackage, "");
  fs::create_directories(ConfigDir());

  const fs::path service_file = shipped / "trash_pose_detect_config.yaml";
  std::string service = ReadFile(service_file);
  service_name_ =
    YAML::Load(service)["orvanite_arm_trash_detect"]["detect_service"].as<std::string>();
  std::vector<std::string> node_names;
  for (std::size_t i = 0; i < scene.cameras.size(); ++i) {
    node_names.push_back(Quoted(CameraNodeName(i)));
  }
  const std::string service_path = service_file.string();
  service = SetYamlValue(service, "trash_detect_node_array", FlowList(node_names), service_path);
  if (options.max_grab_radius) {
    service = SetYamlValue(
      service, "max_grab_radius", std::to_string(*options.max_grab_radius), service_path);
  }
  if (options.aim_grab_radius) {
    service = SetYamlValue(
      service, "aim_grab_radius", std::to_string(*options.aim_grab_radius), service_path);
  }
  if (options.detect_timeout_ms) {
    service = SetYamlValue(
      service, "detect_timeout_ms", std::to_string(*options.detect_timeout_ms), service_path);
  }
  WriteFile(ServiceConfigPath(), service);

  const fs::path pose_file = shipped / "cam1_pose_estimate_config.yaml";
  const std::string pose = ReadFile(pose_file);
  trash_code_ = YAML::Load(pose)["debug_choice"]["trash_code"].as<std::string>();
  const fs::path camera_file = shipped / "cam1_detect_config.yaml";
  const std::string camera_template = ReadFile(camera_file);
  const std::string class_ids = TrashClassIds(YAML::Load(camera_template), scene);
  const std::string model_path = (ConfigDir() / kModelFile).string();

  for (std::size_t i = 0; i < scene.cameras.size(); ++i) {
    const Camera & camera = scene.cameras[i];
    const std::string id = std::to_string(i + 1);
    const std::string pose_name = "cam" + id + "_pose_estimate_config.yaml";
    // The estimator expects the folder with a trailing slash.
    const std::string data_root = DebugFolder(i).parent_path().string() + "/";
    WriteFile(
      ConfigDir() / pose_name, SetYamlValue(pose, "folder_path", Quoted(data_root), pose_file));

    const orvanite_scene_sim::CameraTopics topics = orvanite_scene_sim::TopicsOf(camera);
    const std::string prefix_topic = "/orvanite_arm_trash_detect/cam" + id;
    const std::vector<std::pair<std::string, std::string>> values = {
      {"cam_id", id},
      {"cam_frame_id", Quoted(camera.frame_id)},
      {"is_debug", options.debug ? "true" : "false"},
      {"is_grab_aim_trash", options.aim_mode ? "true" : "false"},
      {"map_frame_id", Quoted(scene.frames.map)},
      {"arm_base_frame_id", Quoted(scene.frames.arm_base)},
      {"pose_estimate_config_file", Quoted(pose_name)},
      {"trash_class_ids", class_ids},
      {"model_cfg_file", Quoted(model_path)},
      {"detected_image_topic", Quoted(prefix_topic + "_detected_image")},
      {"trashes_cloud_topic", Quoted(prefix_topic + "_trashes_cloud")},
      {"camera_info_topic", Quoted(topics.camera_info)},
      {"is_detect_grab_pose", options.streaming ? "false" : "true"},
      {"rgb_topic", Quoted(topics.rgb)},
      {"depth_topic", Quoted(topics.depth)},
    };
    std::string text = camera_template;
    for (const auto & [key, value] : values) {
      text = SetYamlValue(text, key, value, camera_file.string());
    }
    WriteFile(ConfigDir() / ("cam" + id + "_detect_config.yaml"), text);
  }

  for (const char * name : {"class_conf.yaml", "class_height_conf.yaml", "trash_classes.txt"}) {
    WriteFile(ConfigDir() / name, ReadFile(shipped / name));
  }
  WriteFile(
    ConfigDir() / "class_size_range.yaml",
    SizeRanges(shipped / "class_size_range.yaml", scene, shipped / "trash_classes.txt"));
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
