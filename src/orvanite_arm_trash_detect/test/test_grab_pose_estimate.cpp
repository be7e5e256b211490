// Loading of the grasp-pose configuration: extrinsic cases, members, folders and key errors.
#include <fstream>
#include <string>
#include <vector>

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"
#include "common/yaml_config_reader.hpp"

namespace
{

using orvanite_test::GrabPoseConfigFile;

YAML::Node List(const std::vector<float> & values)
{
  YAML::Node list;
  for (const float value : values) {
    list.push_back(value);
  }
  return list;
}

void SetExtrinsicMode(GrabPoseConfigFile & config, bool eye_on_hand, bool use_euler)
{
  YAML::Node extrinsic;
  extrinsic["is_eye_on_hand"] = eye_on_hand;
  extrinsic["is_use_euler"] = use_euler;
  config.yaml["camera_extrinsic"] = extrinsic;
}

TEST(GrabPoseEstimateConfig, SixteenEntryListIsTheMatrixRowByRow)
{
  GrabPoseConfigFile config;
  SetExtrinsicMode(config, false, false);
  config.yaml["camera_extrinsic"]["data"] =
    List({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 99});  // surplus ignored
  const auto estimate = config.MakeEstimator();
  EXPECT_EQ(estimate->camera_extrinsic_.row(0), Eigen::RowVector4f(1, 2, 3, 4));
  EXPECT_EQ(estimate->camera_extrinsic_.col(0), Eigen::Vector4f(1, 5, 9, 13));
  EXPECT_EQ(estimate->camera_extrinsic_(3, 3), 16.0f);
}

TEST(GrabPoseEstimateConfig, EyeToHandEulerTurnsXOntoYAndKeepsTheTranslation)
{
  GrabPoseConfigFile config;
  SetExtrinsicMode(config, false, true);
  config.yaml["camera_extrinsic"]["Rxyz"] = List({0, 0, 90});
  config.yaml["camera_extrinsic"]["Txyz"] = List({0.1f, 0.2f, 0.3f});
  const auto estimate = config.MakeEstimator();
  const Eigen::Matrix4f & m = estimate->camera_extrinsic_;
  EXPECT_TRUE(
    (m.topLeftCorner<3, 3>() * Eigen::Vector3f::UnitX()).isApprox(Eigen::Vector3f::UnitY()));
  EXPECT_EQ(m.col(3), Eigen::Vector4f(0.1f, 0.2f, 0.3f, 1.0f));
  EXPECT_EQ(m.row(3), Eigen::RowVector4f(0, 0, 0, 1));
  EXPECT_EQ(estimate->Rxyz_[2], 90.0f);
  EXPECT_EQ(estimate->Txyz_[1], 0.2f);
}

TEST(GrabPoseEstimateConfig, EyeOnHandComposesBaseToFlangeWithFlangeToCamera)
{
  GrabPoseConfigFile config;
  SetExtrinsicMode(config, true, true);
  config.yaml["camera_extrinsic"]["base2flange_euler"] = List({0, 0, 90});
  config.yaml["camera_extrinsic"]["base2flange_T"] = List({1, 0, 0});
  config.yaml["camera_extrinsic"]["flange2camera_euler"] = List({0, 0, 0});
  config.yaml["camera_extrinsic"]["flange2camera_T"] = List({0, 2, 0});
  const auto estimate = config.MakeEstimator();
  // The flange is turned by 90 degrees about z, so the flange's y offset runs along -x.
  EXPECT_TRUE(estimate->camera_extrinsic_.col(3).isApprox(Eigen::Vector4f(-1, 0, 0, 1), 1e-6f));
  EXPECT_EQ(
    estimate->camera_extrinsic_, estimate->base2flange_matrix_ * estimate->flange2camera_matrix_);

  // With both rotations zero the translations simply add up.
  config.yaml["camera_extrinsic"]["base2flange_euler"] = List({0, 0, 0});
  EXPECT_EQ(config.MakeEstimator()->camera_extrinsic_.col(3), Eigen::Vector4f(1, 2, 0, 1));
}

TEST(GrabPoseEstimateConfig, EyeOnHandWithoutEulerStillReadsTheBaseToFlangeEuler)
{
  GrabPoseConfigFile config;
  SetExtrinsicMode(config, true, false);
  config.yaml["camera_extrinsic"]["flange2camera"] =
    List({1, 0, 0, 0.5f, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  EXPECT_THROW(config.MakeEstimator(), orvanite::ConfigError);

  config.yaml["camera_extrinsic"]["base2flange_euler"] = List({0, 0, 0});
  config.yaml["camera_extrinsic"]["base2flange_T"] = List({0, 0, 1});
  const auto estimate = config.MakeEstimator();
  EXPECT_EQ(estimate->camera_extrinsic_.col(3), Eigen::Vector4f(0.5f, 0, 1, 1));
  EXPECT_EQ(estimate->flange2camera_matrix_(0, 3), 0.5f);
}

TEST(GrabPoseEstimateConfig, LoadsEveryGroupAndLogsTheIntrinsics)
{
  GrabPoseConfigFile config;
  config.yaml["grab_pose_estimate"]["sor2_meank_value"] = 7;
  config.yaml["debug_choice"]["is_on_floor"] = true;
  orvanite_test::LogCapture capture;
  const auto estimate = config.MakeEstimator();

  EXPECT_EQ(estimate->base_height_, 0.176f);
  EXPECT_EQ(estimate->arm_dh_a1_, 0.01125f);
  EXPECT_EQ(estimate->sor2_meank_value_, 7);
  EXPECT_EQ(estimate->min_trash_cloud_size_, 34u);
  EXPECT_EQ(estimate->remove_bottom_height_threshold_3_, 0.07f);
  EXPECT_TRUE(estimate->is_on_floor_);
  EXPECT_EQ(estimate->pass_ajust_value_, 0.003f);
  EXPECT_EQ(estimate->main_axis_type_, 1);
  EXPECT_EQ(estimate->trash_type_, 0);  // no type until the camera node sets one
  EXPECT_EQ(estimate->cy_, 240.25f);

  const auto messages = capture.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].rfind("[DEBUG] 相机外参齐次变换矩阵:\n", 0), 0u) << messages[0];
  EXPECT_EQ(messages[1], "[DEBUG] 相机内参: fx: 600, fy: 605, cx: 320.5, cy: 240.25");
}

TEST(GrabPoseEstimateConfig, DerivesAndCreatesTheDebugFolders)
{
  GrabPoseConfigFile config;
  const std::string root = config.folder() + "/data/";
  config.yaml["debug_choice"]["trash_code"] = "can";
  auto estimate = config.MakeEstimator();
  EXPECT_EQ(estimate->data_dir_, root + "can");
  EXPECT_EQ(estimate->file_prefix_, root + "can/can_p1_a");
  EXPECT_EQ(estimate->missing_detect_prefix_, root + "mising_detect/can/can_p1_a");
  EXPECT_TRUE(boost::filesystem::is_directory(root + "can"));
  EXPECT_TRUE(boost::filesystem::is_directory(root + "mising_detect/can"));

  config.yaml["debug_choice"]["trash_code"] = "";
  estimate = config.MakeEstimator();
  EXPECT_EQ(estimate->data_dir_, root);
  EXPECT_EQ(estimate->missing_detect_prefix_, root + "mising_detect//_p1_a");

  // No separator is added to a folder path without a trailing slash.
  config.yaml["debug_choice"]["trash_code"] = "can";
  config.yaml["debug_choice"]["folder_path"] = config.folder() + "/data";
  EXPECT_EQ(config.MakeEstimator()->data_dir_, config.folder() + "/datacan");
}

struct BrokenConfigCase
{
  const char * name;
  void (*breakage)(GrabPoseConfigFile &);
  const char * key_in_message;
};

class GrabPoseEstimateBrokenConfig : public ::testing::TestWithParam<BrokenConfigCase>
{
};

TEST_P(GrabPoseEstimateBrokenConfig, ThrowsNamingTheFileAndTheKey)
{
  GrabPoseConfigFile config;
  GetParam().breakage(config);
  const std::string path = config.Write();
  try {
    GrabPoseEstimate estimate(path);
    FAIL() << "constructed from a broken file";
  } catch (const orvanite::ConfigError & e) {
    const std::string text = e.what();
    EXPECT_NE(text.find(path), std::string::npos) << text;
    EXPECT_NE(text.find(GetParam().key_in_message), std::string::npos) << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
  Keys, GrabPoseEstimateBrokenConfig,
  ::testing::Values(
    BrokenConfigCase{
      "MissingKey",
      [](GrabPoseConfigFile & c) { c.yaml["grab_pose_estimate"].remove("tcp_ajust_value"); },
      "grab_pose_estimate/tcp_ajust_value: missing key"},
    BrokenConfigCase{
      "MissingMap", [](GrabPoseConfigFile & c) { c.yaml.remove("camera_intrinsic"); },
      "camera_intrinsic: missing map"},
    BrokenConfigCase{
      "WrongType",
      [](GrabPoseConfigFile & c) { c.yaml["grab_pose_estimate"]["base_height"] = "high"; },
      "grab_pose_estimate/base_height: cannot convert 'high' to float"},
    BrokenConfigCase{
      "NegativeUnsigned",
      [](GrabPoseConfigFile & c) { c.yaml["grab_pose_estimate"]["min_trash_cloud_size"] = -5; },
      "grab_pose_estimate/min_trash_cloud_size: cannot convert '-5' to unsigned int"},
    BrokenConfigCase{
      "ShortList",
      [](GrabPoseConfigFile & c) {
        c.yaml["camera_extrinsic"]["data"] = List({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0});
      },
      "camera_extrinsic/data[15]: missing list entry"},
    BrokenConfigCase{
      "ShortEulerListFailsAtTheFirstMissingEntryOfTheInterleavedRead",
      [](GrabPoseConfigFile & c) {
        SetExtrinsicMode(c, false, true);
        c.yaml["camera_extrinsic"]["Rxyz"] = List({0, 0});
        c.yaml["camera_extrinsic"]["Txyz"] = List({0});
      },
      "camera_extrinsic/Txyz[1]"},
    BrokenConfigCase{
      "FirstFailingKeyInReadingOrder",
      [](GrabPoseConfigFile & c) {
        c.yaml["debug_choice"].remove("trash_code");
        c.yaml["grab_pose_estimate"].remove("remove_cloud_angle");
      },
      "grab_pose_estimate/remove_cloud_angle"},
    BrokenConfigCase{
      "UncreatableFolder",
      [](GrabPoseConfigFile & c) {
        const std::string file = c.folder() + "/plain_file";
        std::ofstream(file) << "x";
        c.yaml["debug_choice"]["folder_path"] = file + "/";
      },
      "debug_choice/folder_path: cannot create folder"}),
  [](const ::testing::TestParamInfo<BrokenConfigCase> & info) { return info.param.name; });

TEST(GrabPoseEstimateConfig, UnreadableFileNamesTheFile)
{
  try {
    GrabPoseEstimate estimate("/nonexistent/pose_estimate_config.yaml");
    FAIL();
  } catch (const orvanite::ConfigError & e) {
    EXPECT_NE(
      std::string(e.what()).find("/nonexistent/pose_estimate_config.yaml: cannot load the file"),
      std::string::npos)
      << e.what();
  }
}

}  // namespace
