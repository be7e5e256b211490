// Grasp pose of transparent trash: TCP beyond the nearest point, height from the seen width.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/ansi_colors.hpp"
#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "support/synthetic_clouds.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

using orvanite_test::Cloud;

constexpr float kFloor = -0.176f;

class GrabPoseTransparent : public ::testing::Test
{
protected:
  void SetUp() override
  {
    estimate_ = config_.MakeEstimator();
    estimate_->camera_extrinsic_.col(3) << 0.0f, 0.0f, 0.4f, 1.0f;
  }
  // A 0.05 m wide strip facing the camera at x, in three columns and five levels, each point 60
  // times so that the outlier filter keeps all of them; the band cuts the lowest level.
  static Cloud::Ptr Strip(float x)
  {
    std::vector<Eigen::Vector3f> locations;
    for (int level = 0; level < 5; ++level) {
      for (const float y : {0.0f, -0.025f, 0.025f}) {
        locations.emplace_back(x, y, kFloor + 0.01f * level);
      }
    }
    return orvanite_test::Replicated(locations, 60);
  }

  orvanite_test::GrabPoseConfigFile config_;
  std::unique_ptr<GrabPoseEstimate> estimate_;
};

TEST_F(GrabPoseTransparent, TcpLiesHalfTheWidthBeyondTheNearestPoint)
{
  estimate_->main_axis_type_ = 3;
  Cloud::Ptr cloud = Strip(-0.5f);
  orvanite_test::LogCapture capture;
  ASSERT_EQ(estimate_->GetTransparentGrabPose(cloud), orvanite::ESTIMATE_OK);
  EXPECT_EQ(cloud->size(), 720u);
  for (const char * text : {"After PclProcessFunc", "grab_mainaxis_", "project_width"}) {
    EXPECT_EQ(
      orvanite_test::FunctionsLogging(capture, text),
      std::vector<std::string>{"GetTransparentGrabPose"})
      << text;
  }
  const float lowest = estimate_->processed_trash_lowest_z_;
  EXPECT_EQ(lowest, kFloor + 0.01f);
  const Eigen::Vector3f & tcp = estimate_->grab_pose_.position;
  EXPECT_NEAR(tcp.x(), -0.533f, 1e-6f);  // 0.05 / 2 + 0.008 beyond the nearest point
  EXPECT_EQ(tcp.y(), 0.0f);
  EXPECT_NEAR(tcp.z(), lowest + 0.09f, 1e-6f);
  EXPECT_NEAR(estimate_->pca_size_[0], 0.18f, 1e-6f);
  EXPECT_NEAR(estimate_->pca_size_[1], 0.05f, 1e-6f);
  EXPECT_NEAR(estimate_->pca_size_[2], 0.05f, 1e-6f);
  // On the negative x axis: theta 0.
  EXPECT_EQ(estimate_->grab_pose_.orientation.x(), 0.0);
  EXPECT_EQ(estimate_->grab_pose_.orientation.y(), 0.7071067811865476);
  EXPECT_EQ(estimate_->grab_pose_.orientation.z(), 0.0);
  EXPECT_EQ(estimate_->grab_pose_.orientation.w(), -0.7071067811865475);
  EXPECT_EQ(estimate_->obb_pose_.position, Eigen::Vector3f::Zero());
  EXPECT_EQ(estimate_->obb_pose_.orientation.w(), 1.0);
  EXPECT_EQ(estimate_->main_axis_type_, 3);
  EXPECT_EQ(estimate_->grab_mainaxis_, Eigen::Vector3f(0.0f, 0.0f, -1.0f));
}

TEST_F(GrabPoseTransparent, NearestPointBelowTheCameraKeepsItsPosition)
{
  estimate_->camera_extrinsic_.col(3) << -0.5f, 0.0f, 0.4f, 1.0f;
  Cloud::Ptr cloud = Strip(-0.5f);
  ASSERT_EQ(estimate_->GetTransparentGrabPose(cloud), orvanite::ESTIMATE_OK);
  EXPECT_EQ(estimate_->grab_tcp_.x(), -0.5f);
  EXPECT_EQ(estimate_->grab_tcp_.y(), 0.0f);
  EXPECT_EQ(estimate_->grab_tcp_.z(), estimate_->processed_trash_lowest_z_);  // zero width
}

TEST_F(GrabPoseTransparent, CentreOutOfReachAndTooFewPoints)
{
  Cloud::Ptr far = Strip(-0.9f);
  EXPECT_EQ(estimate_->GetTransparentGrabPose(far), orvanite::ESTIMATE_OUT_OF_WORKSPACE);
  Cloud::Ptr empty(new Cloud);
  orvanite_test::LogCapture capture;
  EXPECT_EQ(estimate_->GetTransparentGrabPose(empty), orvanite::ESTIMATE_TOO_FEW_POINTS);
  EXPECT_EQ(
    orvanite_test::FunctionsLogging(capture, "After PclProcessFunc trash_cloud size is less than"),
    std::vector<std::string>{"GetTransparentGrabPose"});
}

TEST_F(GrabPoseTransparent, LogsItsOwnLinesUnderItsName)
{
  const std::string headline =
    "[DEBUG] " + kBgBlue +
    "*************************GetTransparentGrabPose************************" + kReset;
  Cloud::Ptr cloud = Strip(-0.5f);
  orvanite_test::LogCapture capture;
  ASSERT_EQ(estimate_->GetTransparentGrabPose(cloud), orvanite::ESTIMATE_OK);
  const std::vector<std::string> lines =
    orvanite_test::MessagesOf(capture, "GetTransparentGrabPose");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], headline);
  EXPECT_EQ(lines[1], "[DEBUG] After PclProcessFunc trash_cloud size: 720");
  EXPECT_EQ(lines[2], "[DEBUG] grab_mainaxis_: 0, 0, -1");
  EXPECT_EQ(lines[3].rfind("[DEBUG] " + kBlue + "trash_cloud_project_width: ", 0), 0u) << lines[3];

  Cloud::Ptr empty(new Cloud);
  capture.Clear();
  EXPECT_EQ(estimate_->GetTransparentGrabPose(empty), orvanite::ESTIMATE_TOO_FEW_POINTS);
  EXPECT_EQ(
    orvanite_test::MessagesOf(capture, "GetTransparentGrabPose"),
    (std::vector<std::string>{
      headline, "[DEBUG] After PclProcessFunc trash_cloud size: 0",
      "[WARN] After PclProcessFunc trash_cloud size is less than 34 !!!"}));
}

}  // namespace
