// Fixture configuration of one camera in a share overlay: the camera file (keys in the order the
// camera reads them), the shipped grasp-pose file with its debug folder moved into the overlay,
// the class tables, a class-names file and a color_key model that finds red (label 0, paper) and
// blue (label 4, bottle) regions.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CAMERA_FIXTURE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CAMERA_FIXTURE_HPP_

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/share_overlay.hpp"

namespace orvanite_test
{
// The camera keys in reading order, with values (YAML text) of a service-mode camera 1.
inline std::vector<std::pair<std::string, std::string>> DefaultCameraKeys(
  const std::string & model_cfg_file)
{
  return {
    {"cam_id", "1"},
    {"cam_frame_id", "\"camera_color_optical_frame\""},
    {"is_debug", "false"},
    {"is_realtime_estimate", "false"},
    {"is_enable_semantic", "false"},
    {"is_enable_transparent", "false"},
    {"is_grab_aim_trash", "false"},
    {"detect_duration", "10"},
    {"map_frame_id", "\"map\""},
    {"arm_base_frame_id", "\"arm_base_link\""},
    {"image_edge_threshold", "5"},
    {"min_trash_cloud_size_treshold", "50"},
    {"null_ratio_threshold", "0.3"},
    {"hw_ratio_threshold", "1.2"},
    {"mask_erosion_size", "1"},
    {"pose_estimate_config_file", "\"cam1_pose_estimate_config.yaml\""},
    {"trash_mask_iou_v1", "0.7"},
    {"ground_max_th", "0.01"},
    {"detected_image_topic", "\"/cam1/detected_image\""},
    {"trashes_cloud_topic", "\"/cam1/trashes_cloud\""},
    {"camera_info_topic", "\"\""},
    {"is_detect_grab_pose", "true"},
    {"rgb_topic", "\"/camera/color/image_raw\""},
    {"depth_topic", "\"/camera/aligned_depth_to_color/image_raw\""},
    {"model_type", "\"seg\""},
    {"trash_class_ids", "[1, 5]"},
    {"class_txt", "\"trash_classes.txt\""},
    {"model_cfg_file", "\"" + model_cfg_file + "\""},
  };
}

inline const char * const kClassConfKeys[] = {
  "paper",       "mask",         "thread",        "obstacle",
  "bottle",      "blood",        "person",        "reflection",
  "base",        "chair",        "waiting_bench", "escalator_entrance",
  "rod",         "coffee",       "milk",          "paper_cup",
  "plastic_bag", "carton_box",   "cotton_ball",   "medication_board",
  "swab",        "drinking_cup", "other"};

// One "key: value" line per class, every class at `value`.
inline std::string ClassConfYaml(const std::string & value)
{
  std::string yaml;
  for (const char * key : kClassConfKeys) {
    yaml += std::string(key) + ": " + value + "\n";
  }
  return yaml;
}

class CameraFixture
{
public:
  using Keys = std::vector<std::pair<std::string, std::string>>;

  CameraFixture()
  : model_cfg_file_(overlay_.WriteConfig(
      "color_key_model.yaml",
      "backend: color_key\n"
      "color_key:\n"
      "  min_area: 20\n"
      "  colors:\n"
      "    - {rgb: [255, 0, 0], label: 0, score: 0.9}\n"
      "    - {rgb: [0, 0, 255], label: 4, score: 0.8}\n"))
  , keys_(DefaultCameraKeys(model_cfg_file_))
  {
    std::ifstream shipped(
      std::string(ORVANITE_CONFIG_SOURCE_DIR) + "/cam1_pose_estimate_config.yaml");
    std::stringstream text;
    text << shipped.rdbuf();
    const std::string data_root = (overlay_.Prefix() / "data").string() + "/";
    overlay_.WriteConfig(
      "cam1_pose_estimate_config.yaml",
      std::regex_replace(
        text.str(), std::regex("folder_path: *\"[^\"]*\""), "folder_path: \"" + data_root + "\""));
    overlay_.WriteConfig("class_height_conf.yaml", ClassConfYaml("0.05"));
    overlay_.WriteConfig("class_conf.yaml", ClassConfYaml("0.5"));
    overlay_.WriteConfig(
      "class_size_range.yaml",
      "paper:\n  min: [0.0, 0.0, 0.0]\n  max: [1.0, 1.0, 1.0]\n"
      "bottle:\n  min: [0.0, 0.0, 0.0]\n  max: [1.0, 1.0, 1.0]\n");
    overlay_.WriteConfig("trash_classes.txt", "paper\nmask\nthread\nobstacle\nbottle\n");
  }

  const ShareOverlay & overlay() const { return overlay_; }
  const std::string & model_cfg_file() const { return model_cfg_file_; }

  void Set(const std::string & key, const std::string & value) { Find(key)->second = value; }
  void Remove(const std::string & key) { keys_.erase(Find(key)); }
  const Keys & keys() const { return keys_; }

  // Writes config/cam1_detect_config.yaml from the current keys; returns its path.
  std::string WriteCameraFile() const
  {
    std::string yaml = "camera_detection_params:\n";
    for (const auto & [key, value] : keys_) {
      yaml += "  " + key + ": " + value + "\n";
    }
    return overlay_.WriteConfig("cam1_detect_config.yaml", yaml);
  }

private:
  Keys::iterator Find(const std::string & key)
  {
    const auto it = std::find_if(
      keys_.begin(), keys_.end(), [&key](const auto & entry) { return entry.first == key; });
    if (it == keys_.end()) {
      throw std::invalid_argument("no camera key " + key);
    }
    return it;
  }

  ShareOverlay overlay_;
  std::string model_cfg_file_;
  Keys keys_;
};
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CAMERA_FIXTURE_HPP_
