#include "trash_pose_estimate/grab_pose_estimate.hpp"

#include <utility>

#include <boost/filesystem.hpp>

#include "common/config_ranges.hpp"
#include "common/logger.hpp"
#include "common/utils.hpp"
#include "common/yaml_config_reader.hpp"

namespace
{
namespace range = orvanite::config_range;

const char kExtrinsicMap[] = "camera_extrinsic";
const char kIntrinsicMap[] = "camera_intrinsic";
const char kTuningMap[] = "grab_pose_estimate";
const char kDebugMap[] = "debug_choice";

// Reads the Euler angles (degrees) and translation lists interleaved, entry by entry.
void ReadEulerPair(
  const orvanite::YamlConfigReader & reader, const std::string & euler_key,
  const std::string & translation_key, std::array<float, 3> & euler,
  std::array<float, 3> & translation)
{
  for (std::size_t i = 0; i < 3; ++i) {
    euler[i] = reader.ReadEntryInRange(kExtrinsicMap, euler_key, i, range::kEulerAngle);
    translation[i] =
      reader.ReadEntryInRange(kExtrinsicMap, translation_key, i, range::kExtrinsicEntry);
  }
}

Eigen::Matrix4f TransformFromEuler(
  const std::array<float, 3> & euler, const std::array<float, 3> & translation)
{
  Eigen::Matrix4f transform = Eigen::Matrix4f::Identity();
  transform.topLeftCorner<3, 3>() = EulerDegreesToMatrix3f(euler[0], euler[1], euler[2]);
  transform.topRightCorner<3, 1>() << translation[0], translation[1], translation[2];
  return transform;
}

Eigen::Matrix4f ReadEulerTransform(
  const orvanite::YamlConfigReader & reader, const std::string & euler_key,
  const std::string & translation_key, std::array<float, 3> & euler,
  std::array<float, 3> & translation)
{
  ReadEulerPair(reader, euler_key, translation_key, euler, translation);
  return TransformFromEuler(euler, translation);
}

// Sixteen entries, the matrix row by row, taken as given (bottom row included).
Eigen::Matrix4f ReadMatrixList(const orvanite::YamlConfigReader & reader, const std::string & key)
{
  Eigen::Matrix4f transform;
  for (std::size_t i = 0; i < 16; ++i) {
    transform(i / 4, i % 4) =
      reader.ReadEntryInRange(kExtrinsicMap, key, i, range::kExtrinsicEntry);
  }
  return transform;
}

void CreateFolder(const orvanite::YamlConfigReader & reader, const std::string & folder)
{
  try {
    boost::filesystem::create_directories(folder);
  } catch (const boost::filesystem::filesystem_error & e) {
    reader.Fail(
      std::string(kDebugMap) + "/folder_path",
      "cannot create folder '" + folder + "': " + e.what());
  }
}

}  // namespace

GrabPoseEstimate::GrabPoseEstimate(std::string config_path)
{
  const orvanite::YamlConfigReader reader(std::move(config_path));

  is_eye_on_hand_ = reader.Read<bool>(kExtrinsicMap, "is_eye_on_hand");
  is_use_euler_ = reader.Read<bool>(kExtrinsicMap, "is_use_euler");
  if (is_eye_on_hand_) {
    // The arm-base-to-flange transform is always given as Euler angles and a translation.
    base2flange_matrix_ = ReadEulerTransform(
      reader, "base2flange_euler", "base2flange_T", base2flange_euler_, base2flange_T_);
    if (is_use_euler_) {
      std::array<float, 3> euler;
      std::array<float, 3> translation;
      flange2camera_matrix_ =
        ReadEulerTransform(reader, "flange2camera_euler", "flange2camera_T", euler, translation);
    } else {
      flange2camera_matrix_ = ReadMatrixList(reader, "flange2camera");
    }
    camera_extrinsic_ = base2flange_matrix_ * flange2camera_matrix_;
  } else if (is_use_euler_) {
    camera_extrinsic_ = ReadEulerTransform(reader, "Rxyz", "Txyz", Rxyz_, Txyz_);
  } else {
    camera_extrinsic_ = ReadMatrixList(reader, "data");
  }
  orvaniteLogDebugMatrix4f("相机外参齐次变换矩阵", camera_extrinsic_);

  fx_ = reader.ReadInRange(kIntrinsicMap, "fx", range::kFocalLength);
  fy_ = reader.ReadInRange(kIntrinsicMap, "fy", range::kFocalLength);
  cx_ = reader.ReadInRange(kIntrinsicMap, "cx", range::kPrincipalPoint);
  cy_ = reader.ReadInRange(kIntrinsicMap, "cy", range::kPrincipalPoint);
  LOG_DEBUG("相机内参: fx: {}, fy: {}, cx: {}, cy: {}", fx_, fy_, cx_, cy_);

  const auto tuning = [&reader](const char * key, const auto & range) {
    return reader.ReadInRange(kTuningMap, key, range);
  };
  base_height_ = tuning("base_height", range::kLength);
  finger2tcp_ = tuning("finger2tcp", range::kLength);
  extra_length_ratio_ = tuning("extra_length_ratio", range::kRatio);
  workspace_r_min_ = tuning("workspace_r_min", range::kLength);
  workspace_r_max_ = tuning("workspace_r_max", range::kLength);
  arm_dh_d1_ = tuning("arm_dh_d1", range::kOffset);
  arm_dh_a1_ = tuning("arm_dh_a1", range::kOffset);
  workspace_angle_min_ = tuning("workspace_angle_min", range::kAzimuth);
  workspace_angle_max_ = tuning("workspace_angle_max", range::kAzimuth);
  grab_vertical_distance_min_ = tuning("grab_vertical_distance_min", range::kLength);
  grab_vertical_distance_max_ = tuning("grab_vertical_distance_max", range::kLength);
  grab_vertical_angle_min_ = tuning("grab_vertical_angle_min", range::kAzimuth);
  grab_vertical_angle_max_ = tuning("grab_vertical_angle_max", range::kAzimuth);
  grab_parallel_distance_min_ = tuning("grab_parallel_distance_min", range::kLength);
  grab_parallel_distance_max_ = tuning("grab_parallel_distance_max", range::kLength);
  grab_parallel_angle_min_ = tuning("grab_parallel_angle_min", range::kAzimuth);
  grab_parallel_angle_max_ = tuning("grab_parallel_angle_max", range::kAzimuth);
  sor_leaf_size_ = tuning("sor_leaf_size", range::kVoxelLeaf);
  sor2_meank_value_ = tuning("sor2_meank_value", range::kOutlierNeighbours);
  pass_ajust_value_1_ = tuning("pass_ajust_value_1", range::kLength);
  pass_ajust_value_2_ = tuning("pass_ajust_value_2", range::kLength);
  pass_ajust_value_3_ = tuning("pass_ajust_value_3", range::kLength);
  min_trash_cloud_size_ = tuning("min_trash_cloud_size", range::kPointCount);
  tcp_ajust_value_ = tuning("tcp_ajust_value", range::kLength);
  tcp_ajust_threshold_ = tuning("tcp_ajust_threshold", range::kLength);
  extend_height_threshold_ = tuning("extend_height_threshold", range::kLength);
  extend_lenth_threshold_ = tuning("extend_lenth_threshold", range::kLength);
  extend_length_max_ = tuning("extend_length_max", range::kLength);
  transparent_height_ratio_ = tuning("transparent_height_ratio", range::kRatio);
  remove_cloud_angle_ = tuning("remove_cloud_angle", range::kTilt);
  remove_bottom_height_threshold_1_ = tuning("remove_bottom_height_threshold_1", range::kLength);
  remove_bottom_height_threshold_2_ = tuning("remove_bottom_height_threshold_2", range::kLength);
  remove_bottom_height_threshold_3_ = tuning("remove_bottom_height_threshold_3", range::kLength);

  is_grab_slanted_ = reader.Read<bool>(kDebugMap, "is_grab_slanted");
  enable_process_cloud_ = reader.Read<bool>(kDebugMap, "enable_process_cloud");
  enable_pcacenter_extend_ = reader.Read<bool>(kDebugMap, "enable_pcacenter_extend");
  is_on_floor_ = reader.Read<bool>(kDebugMap, "is_on_floor");
  trash_code_ = reader.Read<std::string>(kDebugMap, "trash_code");
  trash_test_pose_ = reader.Read<std::string>(kDebugMap, "trash_test_pose");
  file_name_suffix_ = reader.Read<std::string>(kDebugMap, "file_name_suffix");
  const std::string folder_path = reader.Read<std::string>(kDebugMap, "folder_path");

  // Plain concatenation: folder_path is expected to end in a slash.
  data_dir_ = folder_path + trash_code_;
  const std::string missing_detect_dir = folder_path + "mising_detect/" + trash_code_;
  CreateFolder(reader, data_dir_);
  CreateFolder(reader, missing_detect_dir);
  const std::string file_stem = trash_code_ + trash_test_pose_ + file_name_suffix_;
  file_prefix_ = data_dir_ + "/" + file_stem;
  missing_detect_prefix_ = missing_detect_dir + "/" + file_stem;
}
