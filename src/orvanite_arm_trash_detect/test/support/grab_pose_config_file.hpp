// A grasp-pose configuration with the shipped defaults, written to a private temporary folder
// so that a test can change, drop or break single keys before building an estimator from it.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__GRAB_POSE_CONFIG_FILE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__GRAB_POSE_CONFIG_FILE_HPP_

#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/filesystem.hpp>
#include <yaml-cpp/yaml.h>

#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace orvanite_test
{

class GrabPoseConfigFile
{
public:
  GrabPoseConfigFile()
  {
    std::string pattern = "/tmp/grab_pose_test_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary folder");
    }
    folder_ = pattern;
    yaml = YAML::Load(kDefaults);
    yaml["debug_choice"]["folder_path"] = folder_ + "/data/";
  }
  ~GrabPoseConfigFile() { boost::filesystem::remove_all(folder_); }
  GrabPoseConfigFile(const GrabPoseConfigFile &) = delete;
  GrabPoseConfigFile & operator=(const GrabPoseConfigFile &) = delete;

  // Writes `yaml` and returns the file's path.
  std::string Write() const
  {
    const std::string path = folder_ + "/pose_estimate_config.yaml";
    std::ofstream(path) << YAML::Dump(yaml);
    return path;
  }
  std::unique_ptr<GrabPoseEstimate> MakeEstimator() const
  {
    return std::make_unique<GrabPoseEstimate>(Write());
  }
  const std::string & folder() const { return folder_; }

  YAML::Node yaml;

private:
  static constexpr const char * kDefaults = R"(
camera_extrinsic:
  is_eye_on_hand: false
  is_use_euler: false
  data: [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]
camera_intrinsic: {fx: 600.0, fy: 605.0, cx: 320.5, cy: 240.25}
grab_pose_estimate:
  base_height: 0.176
  finger2tcp: 0.0
  extra_length_ratio: 0.8
  workspace_r_min: 0.3
  workspace_r_max: 0.8
  arm_dh_d1: 0.1555
  arm_dh_a1: 0.01125
  workspace_angle_min: -60
  workspace_angle_max: 60
  grab_vertical_distance_min: 0.2
  grab_vertical_distance_max: 0.6
  grab_vertical_angle_min: -60
  grab_vertical_angle_max: 60
  grab_parallel_distance_min: 0.5
  grab_parallel_distance_max: 0.7
  grab_parallel_angle_min: -60
  grab_parallel_angle_max: 60
  sor_leaf_size: 0.001
  sor2_meank_value: 50
  pass_ajust_value_1: 0.003
  pass_ajust_value_2: 0.003
  pass_ajust_value_3: 0.003
  min_trash_cloud_size: 34
  tcp_ajust_value: 0.008
  tcp_ajust_threshold: 0.02
  extend_height_threshold: 0.03
  extend_lenth_threshold: 0.04
  extend_length_max: 0.012
  transparent_height_ratio: 1.8
  remove_cloud_angle: 15.0
  remove_bottom_height_threshold_1: 0.024
  remove_bottom_height_threshold_2: 0.05
  remove_bottom_height_threshold_3: 0.07
debug_choice:
  is_grab_slanted: false
  enable_process_cloud: true
  enable_pcacenter_extend: true
  is_on_floor: false
  trash_code: code
  trash_test_pose: _p1
  file_name_suffix: _a
  folder_path: /tmp/
)";

  std::string folder_;
};

}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__GRAB_POSE_CONFIG_FILE_HPP_
