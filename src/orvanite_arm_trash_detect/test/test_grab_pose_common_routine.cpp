// The common grasp-pose routine: fixed point minimum, grasp-mode windows and its own codes.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "support/neutral_filters.hpp"
#include "support/synthetic_clouds.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

using orvanite_test::Cloud;
using orvanite_test::ContainsLine;
using orvanite_test::MessagesOf;
using orvanite_test::Warnings;

constexpr float kFloor = -0.176f;

class GrabPoseCommon : public ::testing::Test
{
protected:
  void SetUp() override
  {
    estimate_ = config_.MakeEstimator();
    estimate_->camera_extrinsic_.col(3) << -0.1f, 0.0f, 0.4f, 1.0f;
    estimate_->obb_pose_.position = Eigen::Vector3f(7.0f, 7.0f, 7.0f);
  }
  // Corners of a block, `copies` each plus `extra` copies of the first, kept whole by the
  // filters.
  Cloud::Ptr Block(
    const Eigen::Vector3f & centre, const Eigen::Vector3f & size, int copies, int extra = 0)
  {
    orvanite_test::NeutralFilters(*estimate_);
    const auto corners = orvanite_test::BoxCorners(centre, size);
    Cloud::Ptr cloud = orvanite_test::Replicated(corners, copies);
    *cloud += *orvanite_test::Replicated({corners[0]}, extra);
    return cloud;
  }

  orvanite_test::GrabPoseConfigFile config_;
  std::unique_ptr<GrabPoseEstimate> estimate_;
};

TEST_F(GrabPoseCommon, NeedsOneHundredPointsWhateverTheConfiguredMinimum)
{
  estimate_->min_trash_cloud_size_ = 10;
  const Eigen::Vector3f centre(-0.5f, 0.0f, -0.1f);
  const Eigen::Vector3f size(0.04f, 0.08f, 0.02f);
  Cloud::Ptr cloud = Block(centre, size, 12, 3);
  orvanite_test::LogCapture capture;
  EXPECT_EQ(estimate_->CommonGrabPoseFunc(cloud), orvanite::ESTIMATE_TOO_FEW_POINTS);
  EXPECT_TRUE(ContainsLine(capture.Messages(), "[DEBUG] 处理后点云数量： 99"));
  EXPECT_EQ(Warnings(capture), std::vector<std::string>{"处理后点云数量太少!"});

  cloud = Block(centre, size, 12, 4);
  EXPECT_EQ(estimate_->CommonGrabPoseFunc(cloud), orvanite::ESTIMATE_OK);
}

TEST_F(GrabPoseCommon, LyingItemInTheVerticalWindow)
{
  Cloud::Ptr cloud =
    Block(Eigen::Vector3f(-0.5f, 0.0f, -0.1f), Eigen::Vector3f(0.04f, 0.08f, 0.04f), 13);
  orvanite_test::LogCapture capture;
  ASSERT_EQ(estimate_->CommonGrabPoseFunc(cloud), orvanite::ESTIMATE_OK);
  EXPECT_EQ(Warnings(capture), std::vector<std::string>{"grab_tcp_.z() -= tcp_ajust_value_"});
  EXPECT_EQ(
    orvanite_test::FunctionsLogging(capture, "grab_tcp_.z()"),
    std::vector<std::string>{"CommonGrabPoseFunc"});
  EXPECT_EQ(
    orvanite_test::FunctionsLogging(capture, "grab_mainaxis_"),
    std::vector<std::string>{"CommonGrabPoseFunc"});
  EXPECT_EQ(estimate_->main_axis_type_, 1);
  EXPECT_EQ(estimate_->grab_tcp_.z(), estimate_->pca_center_.z() - 0.008f);
  EXPECT_EQ(estimate_->grab_pose_.position, estimate_->grab_tcp_);
  EXPECT_EQ(estimate_->obb_pose_.position, Eigen::Vector3f(7.0f, 7.0f, 7.0f));
}

TEST_F(GrabPoseCommon, LyingItemOutsideTheVerticalWindowReturns101BeforeTheHeightRules)
{
  // Within the arm's reach, but 0.7 m out where a top-down grasp reaches only about 0.6 m.
  Cloud::Ptr cloud =
    Block(Eigen::Vector3f(-0.7f, 0.0f, kFloor + 0.02f), Eigen::Vector3f(0.04f, 0.08f, 0.04f), 13);
  orvanite_test::LogCapture capture;
  EXPECT_EQ(estimate_->CommonGrabPoseFunc(cloud), orvanite::kLyingTrashOutOfVerticalGrabSpace);
  EXPECT_EQ(Warnings(capture), std::vector<std::string>{"垃圾位置太远了！！！"});
}

TEST_F(GrabPoseCommon, SteepItems)
{
  // Too close for a horizontal grasp 0.1 m above the floor (nearest 0.5125 m).
  const Eigen::Vector2f camera(-0.1f, 0.0f);
  Cloud::Ptr near_bottle =
    orvanite_test::CylinderFront(Eigen::Vector3f(-0.4f, 0.0f, kFloor), 0.03f, 0.2f, 2.0f, camera);
  {
    orvanite_test::LogCapture capture;
    EXPECT_EQ(
      estimate_->CommonGrabPoseFunc(near_bottle), orvanite::kSteepTrashOutOfParallelGrabSpace);
    EXPECT_EQ(Warnings(capture).back(), "垃圾位置太近了！！！");
  }

  Cloud::Ptr bottle =
    orvanite_test::CylinderFront(Eigen::Vector3f(-0.55f, 0.2f, kFloor), 0.03f, 0.2f, 2.0f, camera);
  ::testing::internal::CaptureStdout();
  const int result = estimate_->CommonGrabPoseFunc(bottle);
  const std::string out = ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(result, orvanite::ESTIMATE_OK);
  EXPECT_EQ(estimate_->main_axis_type_, 2);
  const Eigen::Quaterniond & q = estimate_->grab_pose_.orientation;
  char line[128];
  std::snprintf(line, sizeof(line), "q_grab: %f  %f  %f  %f\n", q.w(), q.x(), q.y(), q.z());
  EXPECT_NE(out.find(line), std::string::npos) << out;
  // Pushed radially away from the arm-base axis; the tool z axis points the same way.
  const Eigen::Vector3f & tcp = estimate_->grab_pose_.position;
  const Eigen::Vector3d outwards = Eigen::Vector3d(tcp.x(), tcp.y(), 0.0).normalized();
  EXPECT_TRUE(q.toRotationMatrix().col(2).isApprox(outwards, 1e-6));
  EXPECT_LT((tcp.head<2>() - Eigen::Vector2f(-0.55f, 0.2f)).norm(), 0.035f);
  EXPECT_EQ(estimate_->obb_pose_.position, Eigen::Vector3f(7.0f, 7.0f, 7.0f));
}

// Every line that the routine logs under its own name, in its own words: plain WARN height rules
// whose lowering line has no ';', the rotation of a lying grasp, plain steep-move lines.
TEST_F(GrabPoseCommon, LogsItsOwnLinesUnderItsName)
{
  const std::string headline =
    "[DEBUG] -------------------CommonGrabPoseFunc-----------------------";
  struct Case
  {
    const char * name;
    float height;
    float adjust;
    std::vector<std::string> rules;
  };
  const Case cases[] = {
    {"CentreTooLowGoesToTheLowestPoint",
     0.02f,
     0.008f,
     {"[WARN] grab_tcp_.z()-trash_lowest_z_ < 0.015!!!",
      "[WARN] grab_tcp_.z() = trash_lowest_z_!!!"}},
    {"TallItemIsLowered", 0.04f, 0.008f, {"[WARN] grab_tcp_.z() -= tcp_ajust_value_"}},
    {"LoweringIsClamped",
     0.04f,
     0.02f,
     {"[WARN] grab_tcp_.z() -= tcp_ajust_value_",
      "[WARN] grab_tcp_.z() < (trash_lowest_z_ + 0.005)!!!",
      "[WARN] grab_tcp_.z() = (trash_lowest_z_ + 0.005)!!!"}},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.name);
    Cloud::Ptr cloud =
      Block(Eigen::Vector3f(-0.5f, 0.0f, -0.1f), Eigen::Vector3f(0.04f, 0.08f, c.height), 13);
    estimate_->tcp_ajust_value_ = c.adjust;
    orvanite_test::LogCapture capture;
    ASSERT_EQ(estimate_->CommonGrabPoseFunc(cloud), orvanite::ESTIMATE_OK);
    const Eigen::Vector3f & axis = estimate_->grab_mainaxis_;
    std::vector<std::string> expected = {
      headline, "[DEBUG] 处理后点云数量： 104",
      fmt::format("[DEBUG] grab_mainaxis_: {}, {}, {}", axis.x(), axis.y(), axis.z())};
    expected.insert(expected.end(), c.rules.begin(), c.rules.end());
    expected.push_back(fmt::format("[DEBUG] rot_z: {}", std::atan2(-axis.y(), axis.x())));
    EXPECT_EQ(MessagesOf(capture, "CommonGrabPoseFunc"), expected);
  }

  Cloud::Ptr bottle = orvanite_test::CylinderFront(
    Eigen::Vector3f(-0.55f, 0.2f, kFloor), 0.03f, 0.2f, 2.0f, Eigen::Vector2f(-0.1f, 0.0f));
  orvanite_test::LogCapture capture;
  ::testing::internal::CaptureStdout();
  const int result = estimate_->CommonGrabPoseFunc(bottle);
  ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(result, orvanite::ESTIMATE_OK);
  EXPECT_EQ(
    MessagesOf(capture, "CommonGrabPoseFunc"),
    (std::vector<std::string>{
      headline, "[DEBUG] 处理后点云数量： " + std::to_string(bottle->size()),
      "[DEBUG] grab_mainaxis_: 0, 0, -1", "[DEBUG] grab_tcp_.x() += tcp_ajust_value_ * v_tcp.x() !",
      "[DEBUG] grab_tcp_.y() += tcp_ajust_value_ * v_tcp.y() !"}));

  Cloud::Ptr empty(new Cloud);
  capture.Clear();
  EXPECT_EQ(estimate_->CommonGrabPoseFunc(empty), orvanite::ESTIMATE_TOO_FEW_POINTS);
  EXPECT_EQ(
    MessagesOf(capture, "CommonGrabPoseFunc"),
    (std::vector<std::string>{
      headline, "[DEBUG] 处理后点云数量： 0", "[WARN] 处理后点云数量太少!"}));
}

}  // namespace
