// Every configuration file the node reads, as the node reads it at start-up: a number outside
// the range of config_ranges.hpp, and a path that names no readable file, stop start-up with a
// ConfigError naming the file and the key.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include "common/yaml_config_reader.hpp"
#include "support/camera_fixture.hpp"
#include "support/rclcpp_environment.hpp"
#include "support/service_fixture.hpp"
#include "trash_pose_detection/detection_node.hpp"

namespace
{
using orvanite_test::CameraFixture;

constexpr char kServiceFile[] = "trash_pose_detect_config.yaml";
constexpr char kCameraFile[] = "cam1_detect_config.yaml";
constexpr char kEstimatorFile[] = "cam1_pose_estimate_config.yaml";

// A fixture of the service with one camera, every file as shipped or as the camera tests use it.
class NodeFiles
{
public:
  NodeFiles()
  {
    fixture_.WriteCameraFile();
    orvanite_test::ServiceSettings settings;
    settings.node_names = {"cam1_node"};
    service_path_ =
      fixture_.overlay().WriteConfig(kServiceFile, orvanite_test::ServiceConfigYaml(settings));
  }

  std::string PathOf(const std::string & file) const
  {
    return (fixture_.overlay().ConfigDir() / file).string();
  }

  // Sets `map`/`key` (`key` at the root when `map` is empty) of `file` to the YAML `value`.
  void Set(
    const std::string & file, const std::string & map, const std::string & key,
    const std::string & value) const
  {
    YAML::Node document = YAML::LoadFile(PathOf(file));
    YAML::Node parent = map.empty() ? document : document[map];
    parent[key] = YAML::Load(value);
    std::ofstream(PathOf(file)) << YAML::Dump(document);
  }

  // Replaces `file` by a folder of that name.
  void MakeFolder(const std::string & file) const
  {
    std::filesystem::remove(PathOf(file));
    std::filesystem::create_directory(PathOf(file));
  }

  // The text of the ConfigError that starting the service gives, or "no error".
  std::string StartUpError() const
  {
    try {
      DetectionNode node(service_path_);
    } catch (const orvanite::ConfigError & e) {
      return e.what();
    }
    return "no error";
  }

private:
  CameraFixture fixture_;
  std::string service_path_;
};

struct Edit
{
  const char * map;  // empty: the file's root
  const char * key;
  const char * value;  // YAML
};

struct RangeCase
{
  const char * file;
  std::vector<Edit> edits;
  const char * error;  // after "<path of file>: "
};

TEST(ConfigFiles, NumbersOutsideTheirRangeStopStartUpNamingFileKeyValueAndRange)
{
  const char * service = "orvanite_arm_trash_detect";
  const char * camera = "camera_detection_params";
  const char * extrinsic = "camera_extrinsic";
  const char * intrinsic = "camera_intrinsic";
  const char * tuning = "grab_pose_estimate";
  const RangeCase cases[] = {
    // The service: radii in metres above zero, the wait in milliseconds.
    {kServiceFile,
     {{service, "max_grab_radius", "-1"}},
     "orvanite_arm_trash_detect/max_grab_radius: -1 is outside [0.001, 10]"},
    {kServiceFile,
     {{service, "max_grab_radius", "0"}},
     "orvanite_arm_trash_detect/max_grab_radius: 0 is outside [0.001, 10]"},
    {kServiceFile,
     {{service, "aim_grab_radius", "20"}},
     "orvanite_arm_trash_detect/aim_grab_radius: 20 is outside [0.001, 10]"},
    {kServiceFile,
     {{service, "detect_timeout_ms", "-1"}},
     "orvanite_arm_trash_detect/detect_timeout_ms: -1 is outside [0, 3600000]"},
    // The camera.
    {kCameraFile,
     {{camera, "cam_id", "-1"}},
     "camera_detection_params/cam_id: -1 is outside [0, 255]"},
    {kCameraFile,
     {{camera, "cam_id", "256"}},
     "camera_detection_params/cam_id: 256 is outside [0, 255]"},
    {kCameraFile,
     {{camera, "detect_duration", "-10"}},
     "camera_detection_params/detect_duration: -10 is outside [0, 3600000]"},
    {kCameraFile,
     {{camera, "image_edge_threshold", "-2147483648"}},
     "camera_detection_params/image_edge_threshold: -2147483648 is outside [0, 100]"},
    {kCameraFile,
     {{camera, "min_trash_cloud_size_treshold", "1073741825"}},
     "camera_detection_params/min_trash_cloud_size_treshold: 1073741825 is outside [0, "
     "1073741824]"},
    {kCameraFile,
     {{camera, "null_ratio_threshold", "1.5"}},
     "camera_detection_params/null_ratio_threshold: 1.5 is outside [0, 1]"},
    {kCameraFile,
     {{camera, "hw_ratio_threshold", "-1"}},
     "camera_detection_params/hw_ratio_threshold: -1 is outside [0, 100]"},
    {kCameraFile,
     {{camera, "mask_erosion_size", "2147483647"}},
     "camera_detection_params/mask_erosion_size: 2147483647 is outside [0, 1000]"},
    {kCameraFile,
     {{camera, "mask_erosion_size", "-3"}},
     "camera_detection_params/mask_erosion_size: -3 is outside [0, 1000]"},
    {kCameraFile,
     {{camera, "trash_mask_iou_v1", ".nan"}},
     "camera_detection_params/trash_mask_iou_v1: nan is outside [0, 1]"},
    {kCameraFile,
     {{camera, "ground_max_th", "11"}},
     "camera_detection_params/ground_max_th: 11 is outside [-10, 10]"},
    {kCameraFile,
     {{camera, "trash_class_ids", "[1, 24]"}},
     "camera_detection_params/trash_class_ids[1]: 24 is outside [1, 23]"},
    {kCameraFile,
     {{camera, "trash_class_ids", "[0]"}},
     "camera_detection_params/trash_class_ids[0]: 0 is outside [1, 23]"},
    // The estimator: extrinsic in each of its forms, then intrinsics and tuning.
    {kEstimatorFile,
     {{extrinsic, "data", "[1, 0, 0, 1e30, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]"}},
     "camera_extrinsic/data[3]: 1e+30 is outside [-10000, 10000]"},
    {kEstimatorFile,
     {{extrinsic, "is_use_euler", "true"}, {extrinsic, "Rxyz", "[0, 0, 400]"}},
     "camera_extrinsic/Rxyz[2]: 400 is outside [-360, 360]"},
    {kEstimatorFile,
     {{extrinsic, "is_use_euler", "true"}, {extrinsic, "Txyz", "[0, -2e4, 0]"}},
     "camera_extrinsic/Txyz[1]: -20000 is outside [-10000, 10000]"},
    {kEstimatorFile,
     {{extrinsic, "is_eye_on_hand", "true"}, {extrinsic, "base2flange_T", "[0, 0, .inf]"}},
     "camera_extrinsic/base2flange_T[2]: inf is outside [-10000, 10000]"},
    {kEstimatorFile,
     {{extrinsic, "is_eye_on_hand", "true"},
      {extrinsic, "flange2camera", "[1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, .nan]"}},
     "camera_extrinsic/flange2camera[15]: nan is outside [-10000, 10000]"},
    {kEstimatorFile,
     {{intrinsic, "fx", "1e-36"}},
     "camera_intrinsic/fx: 1e-36 is outside [1, 100000]"},
    {kEstimatorFile, {{intrinsic, "fy", "0"}}, "camera_intrinsic/fy: 0 is outside [1, 100000]"},
    {kEstimatorFile, {{intrinsic, "cx", "-1"}}, "camera_intrinsic/cx: -1 is outside [0, 32768]"},
    {kEstimatorFile,
     {{intrinsic, "cy", "40000"}},
     "camera_intrinsic/cy: 40000 is outside [0, 32768]"},
    {kEstimatorFile,
     {{tuning, "base_height", "-0.1"}},
     "grab_pose_estimate/base_height: -0.1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "finger2tcp", "-1"}},
     "grab_pose_estimate/finger2tcp: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "extra_length_ratio", "101"}},
     "grab_pose_estimate/extra_length_ratio: 101 is outside [0, 100]"},
    {kEstimatorFile,
     {{tuning, "workspace_r_min", "-0.3"}},
     "grab_pose_estimate/workspace_r_min: -0.3 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "workspace_r_max", "11"}},
     "grab_pose_estimate/workspace_r_max: 11 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "arm_dh_d1", "-11"}},
     "grab_pose_estimate/arm_dh_d1: -11 is outside [-10, 10]"},
    {kEstimatorFile,
     {{tuning, "arm_dh_a1", ".inf"}},
     "grab_pose_estimate/arm_dh_a1: inf is outside [-10, 10]"},
    {kEstimatorFile,
     {{tuning, "workspace_angle_min", "-181"}},
     "grab_pose_estimate/workspace_angle_min: -181 is outside [-180, 180]"},
    {kEstimatorFile,
     {{tuning, "workspace_angle_max", "181"}},
     "grab_pose_estimate/workspace_angle_max: 181 is outside [-180, 180]"},
    {kEstimatorFile,
     {{tuning, "grab_vertical_distance_min", "-1"}},
     "grab_pose_estimate/grab_vertical_distance_min: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "grab_vertical_distance_max", "100"}},
     "grab_pose_estimate/grab_vertical_distance_max: 100 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "grab_vertical_angle_min", "-200"}},
     "grab_pose_estimate/grab_vertical_angle_min: -200 is outside [-180, 180]"},
    {kEstimatorFile,
     {{tuning, "grab_vertical_angle_max", "200"}},
     "grab_pose_estimate/grab_vertical_angle_max: 200 is outside [-180, 180]"},
    {kEstimatorFile,
     {{tuning, "grab_parallel_distance_min", "-0.5"}},
     "grab_pose_estimate/grab_parallel_distance_min: -0.5 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "grab_parallel_distance_max", "10.5"}},
     "grab_pose_estimate/grab_parallel_distance_max: 10.5 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "grab_parallel_angle_min", "-180.5"}},
     "grab_pose_estimate/grab_parallel_angle_min: -180.5 is outside [-180, 180]"},
    {kEstimatorFile,
     {{tuning, "grab_parallel_angle_max", ".nan"}},
     "grab_pose_estimate/grab_parallel_angle_max: nan is outside [-180, 180]"},
    {kEstimatorFile,
     {{tuning, "sor_leaf_size", "-0.001"}},
     "grab_pose_estimate/sor_leaf_size: -0.001 is outside [0.0001, 0.1]"},
    {kEstimatorFile,
     {{tuning, "sor_leaf_size", "0"}},
     "grab_pose_estimate/sor_leaf_size: 0 is outside [0.0001, 0.1]"},
    {kEstimatorFile,
     {{tuning, "sor2_meank_value", "-5"}},
     "grab_pose_estimate/sor2_meank_value: -5 is outside [1, 1000]"},
    {kEstimatorFile,
     {{tuning, "sor2_meank_value", "0"}},
     "grab_pose_estimate/sor2_meank_value: 0 is outside [1, 1000]"},
    {kEstimatorFile,
     {{tuning, "pass_ajust_value_1", "-0.003"}},
     "grab_pose_estimate/pass_ajust_value_1: -0.003 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "pass_ajust_value_2", "11"}},
     "grab_pose_estimate/pass_ajust_value_2: 11 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "pass_ajust_value_3", "-1"}},
     "grab_pose_estimate/pass_ajust_value_3: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "min_trash_cloud_size", "2000000000"}},
     "grab_pose_estimate/min_trash_cloud_size: 2000000000 is outside [0, 1073741824]"},
    {kEstimatorFile,
     {{tuning, "tcp_ajust_value", "-0.008"}},
     "grab_pose_estimate/tcp_ajust_value: -0.008 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "tcp_ajust_threshold", "-1"}},
     "grab_pose_estimate/tcp_ajust_threshold: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "extend_height_threshold", "-1"}},
     "grab_pose_estimate/extend_height_threshold: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "extend_lenth_threshold", "-1"}},
     "grab_pose_estimate/extend_lenth_threshold: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "extend_length_max", "-1"}},
     "grab_pose_estimate/extend_length_max: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "transparent_height_ratio", "-1.8"}},
     "grab_pose_estimate/transparent_height_ratio: -1.8 is outside [0, 100]"},
    {kEstimatorFile,
     {{tuning, "remove_cloud_angle", "91"}},
     "grab_pose_estimate/remove_cloud_angle: 91 is outside [0, 90]"},
    {kEstimatorFile,
     {{tuning, "remove_bottom_height_threshold_1", "-1"}},
     "grab_pose_estimate/remove_bottom_height_threshold_1: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "remove_bottom_height_threshold_2", "-1"}},
     "grab_pose_estimate/remove_bottom_height_threshold_2: -1 is outside [0, 10]"},
    {kEstimatorFile,
     {{tuning, "remove_bottom_height_threshold_3", "-1"}},
     "grab_pose_estimate/remove_bottom_height_threshold_3: -1 is outside [0, 10]"},
    // The class tables: heights in metres, confidences, extents in metres.
    {"class_height_conf.yaml", {{"", "paper", "-0.05"}}, "paper: -0.05 is outside [0, 10]"},
    {"class_conf.yaml", {{"", "other", "1.5"}}, "other: 1.5 is outside [0, 1]"},
    {"class_size_range.yaml",
     {{"", "bottle", "{min: [0, -0.1, 0], max: [1, 1, 1]}"}},
     "bottle/min[1]: -0.1 is outside [0, 10]"},
  };
  for (const auto & c : cases) {
    NodeFiles files;
    for (const auto & edit : c.edits) {
      files.Set(c.file, edit.map, edit.key, edit.value);
    }
    EXPECT_EQ(files.StartUpError(), files.PathOf(c.file) + ": " + c.error);
  }
}

// Checked before yaml-cpp or the model library sees the path. The class-name file is the one
// file the camera does without (a WARN line, see the camera tests).
TEST(ConfigFiles, FoldersInPlaceOfFilesStopStartUpNamingTheFile)
{
  struct Case
  {
    const char * folder;  // the file of the config folder that is made a folder
    const char * key;     // nullptr: the folder is a configuration file itself; otherwise the
                          // key of the camera file that names it
  };
  const Case cases[] = {
    {kServiceFile, nullptr},
    {kCameraFile, nullptr},
    {kEstimatorFile, nullptr},
    {"class_size_range.yaml", nullptr},
    {"color_key_model.yaml", "camera_detection_params/model_cfg_file"},
  };
  for (const auto & c : cases) {
    NodeFiles files;
    files.MakeFolder(c.folder);
    const std::string unloadable =
      files.PathOf(c.folder) + ": cannot load the file: a folder, not a regular file";
    EXPECT_EQ(
      files.StartUpError(),
      c.key ? files.PathOf(kCameraFile) + ": " + c.key + ": " + unloadable : unloadable)
      << c.folder;
  }
}
}  // namespace
