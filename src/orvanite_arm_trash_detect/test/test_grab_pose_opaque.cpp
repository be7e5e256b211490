// Grasp pose of opaque trash: orientations, extension, height rules, box pose, result codes and
// end-to-end estimates on synthetic objects.
#include <cmath>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "common/ansi_colors.hpp"
#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "support/neutral_filters.hpp"
#include "support/synthetic_clouds.hpp"
#include "trash_pose_estimate/grab_geometry.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

using orvanite_test::Cloud;
using orvanite_test::ContainsLine;

constexpr float kFloor = -0.176f;

class GrabPoseOpaque : public ::testing::Test
{
protected:
  void SetUp() override { estimate_ = config_.MakeEstimator(); }

  // A controlled lying block: its eight corners, five copies each, with a neutral outlier filter
  // and a bottom band that keeps everything, so that centre and lowest point are exact.
  Cloud::Ptr ControlledBlock(float height)
  {
    orvanite_test::NeutralFilters(*estimate_);
    return orvanite_test::Replicated(
      orvanite_test::BoxCorners(
        Eigen::Vector3f(-0.5f, 0.0f, -0.1f), Eigen::Vector3f(0.04f, 0.08f, height)),
      5);
  }
  std::vector<std::string> HeightRuleLines(const std::vector<std::string> & messages)
  {
    std::vector<std::string> lines;
    for (const auto & message : messages) {
      if (message.find("grab_tcp_.z()") != std::string::npos) {
        lines.push_back(message);
      }
    }
    return lines;
  }
  static std::string Yellow(const std::string & text)
  {
    return "[DEBUG] " + kYellow + text + kReset;
  }

  orvanite_test::GrabPoseConfigFile config_;
  std::unique_ptr<GrabPoseEstimate> estimate_;
};

TEST(GrabGeometry, OrientationsAndPlanarMove)
{
  // Long side along +y: psi = -pi/2, the float half-angle sine and cosine widened.
  const Eigen::Quaterniond top = orvanite::TopDownGraspOrientation(std::atan2(-1.0f, 0.0f));
  EXPECT_EQ(top.x(), static_cast<double>(std::sin(-0.78539819f)));
  EXPECT_EQ(top.y(), static_cast<double>(std::cos(-0.78539819f)));
  EXPECT_NEAR(top.x(), -0.7071068, 1e-7);
  EXPECT_EQ(top.z(), 0.0);
  EXPECT_EQ(top.w(), 0.0);

  // On the arm base's negative x axis theta is 0.
  const Eigen::Quaterniond side =
    orvanite::SideGraspOrientation(Eigen::Vector3f(-0.5f, 0.0f, 0.1f));
  EXPECT_EQ(side.x(), 0.0);
  EXPECT_EQ(side.y(), 0.7071067811865476);
  EXPECT_EQ(side.z(), 0.0);
  EXPECT_EQ(side.w(), -0.7071067811865475);
  // The tool z axis points away from the base axis, the tool x axis up.
  const Eigen::Vector3f tcp(-0.3f, 0.4f, 0.0f);
  const Eigen::Matrix3d r = orvanite::SideGraspOrientation(tcp).toRotationMatrix();
  EXPECT_TRUE(r.col(2).isApprox(Eigen::Vector3d(-0.6, 0.8, 0.0), 1e-6));
  EXPECT_TRUE(r.col(0).isApprox(Eigen::Vector3d::UnitZ(), 1e-6));

  const Eigen::Vector3f moved = orvanite::MoveAwayInFloorPlane(
    Eigen::Vector3f(-0.5f, 0.2f, 0.3f), Eigen::Vector2f::Zero(), 0.008f);
  EXPECT_NEAR(moved.x(), -0.5074278f, 1e-7f);
  EXPECT_NEAR(moved.y(), 0.2029711f, 1e-7f);
  EXPECT_EQ(moved.z(), 0.3f);
  const Eigen::Vector3f above(1.0f, 2.0f, 3.0f);
  EXPECT_EQ(orvanite::MoveAwayInFloorPlane(above, Eigen::Vector2f(1.0f, 2.0f), 0.008f), above);
}

TEST_F(GrabPoseOpaque, AxisAngleQuaternionDoesNotNormaliseTheAxis)
{
  Eigen::Quaterniond q;
  estimate_->AxisAngleDegreesToQuaternion(q, Eigen::Vector3d(0, 0, 2), 90.0f);
  EXPECT_EQ(q.z(), 2.0 * std::sin(0.78539819f));
  EXPECT_EQ(q.w(), static_cast<double>(std::cos(0.78539819f)));
  EXPECT_EQ(q.x(), 0.0);
}

TEST_F(GrabPoseOpaque, ExtensionFollowsThicknessBelowTheThreshold)
{
  estimate_->camera_extrinsic_.col(3) << 0.0f, 0.0f, 0.0f, 1.0f;
  estimate_->trash_lowest_z_ = -1.0f;
  const struct
  {
    float thickness;
    float extension;
  } cases[] = {{0.03f, 0.024f}, {0.05f, 0.012f}, {0.04f, 0.012f}};
  for (const auto & c : cases) {
    estimate_->pca_size_ = {0.2f, 0.1f, c.thickness};
    Eigen::Vector3f tcp(-0.3f, 0.4f, 0.0f);
    estimate_->ExtendGrabTCP(tcp);
    EXPECT_FLOAT_EQ(estimate_->extend_length_, c.extension);
    EXPECT_TRUE(
      tcp.isApprox(Eigen::Vector3f(-0.3f, 0.4f, 0.0f) * (1.0f + c.extension / 0.5f), 1e-6f));
  }

  // Never below the lowest point + 0.008; a TCP at the camera does not move otherwise.
  estimate_->trash_lowest_z_ = 0.0f;
  Eigen::Vector3f at_camera = Eigen::Vector3f::Zero();
  orvanite_test::LogCapture capture;
  estimate_->ExtendGrabTCP(at_camera);
  EXPECT_EQ(at_camera, Eigen::Vector3f(0.0f, 0.0f, 0.008f));
  EXPECT_EQ(
    capture.Messages(),
    (std::vector<std::string>{
      "[WARN] tcp_.z() < (trash_lowest_z_ + 0.008)!!! tcp.z() = (trash_lowest_z_ + 0.008)",
      "[DEBUG] GrabTCP Extended !"}));
}

TEST_F(GrabPoseOpaque, BoxPoseIsExpressedInTheGraspFrame)
{
  const orvanite::GrabPose grasp{
    Eigen::Vector3f(1.0f, 0.0f, 0.0f),
    Eigen::Quaterniond(Eigen::AngleAxisd(M_PI / 2, Eigen::Vector3d::UnitZ()))};
  const Eigen::Matrix3f same_rotation = grasp.orientation.toRotationMatrix().cast<float>();
  orvanite::GrabPose box;
  estimate_->GetObbPose(box, grasp, grasp.position, same_rotation);
  EXPECT_TRUE(box.position.isZero(1e-6f));
  EXPECT_NEAR(std::fabs(box.orientation.w()), 1.0, 1e-6);

  estimate_->GetObbPose(box, grasp, Eigen::Vector3f(1.0f, 1.0f, 0.0f), Eigen::Matrix3f::Identity());
  EXPECT_TRUE(box.position.isApprox(Eigen::Vector3f(1.0f, 0.0f, 0.0f), 1e-6f));
  EXPECT_TRUE(box.orientation.isApprox(grasp.orientation.inverse(), 1e-6));
}

TEST_F(GrabPoseOpaque, AssignGrabPoseCopiesAndLogsWxyz)
{
  orvanite::GrabPose pose;
  orvanite_test::LogCapture capture;
  estimate_->AssignGrabPose(
    Eigen::Vector3f(0.1f, -0.2f, 0.3f), Eigen::Quaterniond(0.5, -0.5, 0.5, 0.5), pose);
  EXPECT_EQ(pose.position, Eigen::Vector3f(0.1f, -0.2f, 0.3f));
  EXPECT_EQ(pose.orientation.x(), -0.5);
  EXPECT_EQ(
    capture.Messages(),
    (std::vector<std::string>{
      "[DEBUG] " + kBoldGreen + "grab_pose_.position: 0.100000, -0.200000, 0.300000" + kReset,
      "[DEBUG] " + kBoldGreen + "grab_pose_.orientation: 0.500000, -0.500000, 0.500000, 0.500000" +
        kReset}));
}

TEST_F(GrabPoseOpaque, LyingHeightRules)
{
  struct Case
  {
    const char * name;
    float height;
    float adjust;
    bool on_floor;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
    {"CentreTooLowGoesToTheLowestPoint",
     0.02f,
     0.008f,
     false,
     {Yellow("grab_tcp_.z()-trash_lowest_z_ < 0.015!!!"),
      Yellow("grab_tcp_.z() = trash_lowest_z_!!!")}},
    {"TallItemIsLowered", 0.04f, 0.008f, false, {Yellow("grab_tcp_.z() -= tcp_ajust_value_;")}},
    {"LoweringIsClamped",
     0.04f,
     0.02f,
     false,
     {Yellow("grab_tcp_.z() -= tcp_ajust_value_;"),
      Yellow("grab_tcp_.z() < (trash_lowest_z_ + 0.005)!!!"),
      Yellow("grab_tcp_.z() = (trash_lowest_z_ + 0.005)!!!")}},
    {"OnTheFloor", 0.04f, 0.008f, true, {Yellow("grab_tcp_.z() -= tcp_ajust_value_;")}},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.name);
    Cloud::Ptr cloud = ControlledBlock(c.height);
    estimate_->tcp_ajust_value_ = c.adjust;
    estimate_->is_on_floor_ = c.on_floor;
    orvanite_test::LogCapture capture;
    ASSERT_EQ(estimate_->GetInitialGrabPose(cloud), orvanite::ESTIMATE_OK);
    EXPECT_EQ(HeightRuleLines(capture.Messages()), c.lines);
    // The routine logs its own steps.
    for (const char * text : {"After PclProcessFunc", "grab_mainaxis_", "grab_tcp_.z()"}) {
      for (const auto & function : orvanite_test::FunctionsLogging(capture, text)) {
        EXPECT_EQ(function, "GetInitialGrabPose") << text;
      }
    }
    EXPECT_EQ(orvanite_test::FunctionsLogging(capture, "grab_mainaxis_").size(), 1u);
    EXPECT_EQ(estimate_->main_axis_type_, 1);
    EXPECT_NEAR(estimate_->grab_tcp_.x(), -0.5f, 1e-6f);
    EXPECT_NEAR(estimate_->grab_tcp_.y(), 0.0f, 1e-6f);
    const float centre = estimate_->pca_center_.z();
    const float lowest = estimate_->trash_lowest_z_;
    float expected = centre;
    if (c.on_floor) {
      expected = kFloor;
    } else if (c.height < 0.03f) {
      expected = lowest;
    } else if (c.adjust < 0.01f) {
      expected = centre - c.adjust;
    } else {
      expected = static_cast<float>(static_cast<double>(lowest) + 0.005);
    }
    EXPECT_EQ(estimate_->grab_tcp_.z(), expected);
    EXPECT_EQ(estimate_->grab_pose_.position, estimate_->grab_tcp_);
  }
}

TEST_F(GrabPoseOpaque, TooFewPointsNeverThrows)
{
  Cloud::Ptr empty(new Cloud);
  EXPECT_EQ(estimate_->GetInitialGrabPose(empty), orvanite::ESTIMATE_TOO_FEW_POINTS);

  // A configured minimum below three still leaves PCA its three points.
  estimate_->min_trash_cloud_size_ = 0;
  Cloud::Ptr two = orvanite_test::MakeCloud({{-0.5f, 0.0f, -0.1f}, {-0.5f, 0.01f, -0.1f}});
  orvanite_test::LogCapture capture;
  EXPECT_EQ(estimate_->GetInitialGrabPose(two), orvanite::ESTIMATE_TOO_FEW_POINTS);
  EXPECT_TRUE(ContainsLine(
    capture.Messages(), "[WARN] After PclProcessFunc trash_cloud size is less than 3 !!!"));
  EXPECT_EQ(
    orvanite_test::FunctionsLogging(capture, "After PclProcessFunc"),
    (std::vector<std::string>{"GetInitialGrabPose", "GetInitialGrabPose"}));
}

TEST_F(GrabPoseOpaque, OutOfReachKeepsThePreviousPose)
{
  Cloud::Ptr cloud = ControlledBlock(0.04f);
  ASSERT_EQ(estimate_->GetInitialGrabPose(cloud), orvanite::ESTIMATE_OK);
  const orvanite::GrabPose previous = estimate_->grab_pose_;
  Cloud::Ptr far = ControlledBlock(0.04f);
  for (auto & p : far->points) {
    p.x -= 0.5f;
  }
  EXPECT_EQ(estimate_->GetInitialGrabPose(far), orvanite::ESTIMATE_OUT_OF_WORKSPACE);
  EXPECT_EQ(estimate_->grab_pose_.position, previous.position);
  EXPECT_NEAR(estimate_->grab_tcp_.x(), -1.0f, 1e-5f);  // already the new centre
}

TEST_F(GrabPoseOpaque, LyingBoxIsGraspedFromAboveAcrossItsLongSide)
{
  estimate_->camera_extrinsic_.col(3) << -0.1f, 0.0f, 0.4f, 1.0f;
  Cloud::Ptr cloud = orvanite_test::BoxSurface(
    Eigen::Vector3f(-0.5f, 0.05f, kFloor + 0.0125f), Eigen::Vector3f(0.05f, 0.15f, 0.025f), 0.005f);
  ASSERT_EQ(estimate_->GetInitialGrabPose(cloud), orvanite::ESTIMATE_OK);
  EXPECT_EQ(estimate_->main_axis_type_, 1);
  const Eigen::Vector3f & tcp = estimate_->grab_pose_.position;
  EXPECT_NEAR(tcp.x(), -0.5f, 0.003f);
  EXPECT_NEAR(tcp.y(), 0.05f, 0.003f);
  EXPECT_GE(tcp.z(), kFloor);
  EXPECT_LE(tcp.z(), kFloor + 0.025f);
  const Eigen::Matrix3d r = estimate_->grab_pose_.orientation.toRotationMatrix();
  EXPECT_TRUE(r.col(2).isApprox(-Eigen::Vector3d::UnitZ(), 1e-6));
  EXPECT_NEAR(std::fabs(r.col(0).y()), 1.0, 1e-3);
  EXPECT_NEAR(estimate_->pca_size_[0], 0.15f, 0.006f);
}

TEST_F(GrabPoseOpaque, StandingBottleIsGraspedFromTheSide)
{
  estimate_->camera_extrinsic_.col(3) << -0.1f, 0.0f, 0.4f, 1.0f;
  const Eigen::Vector3f base(-0.45f, -0.05f, kFloor);
  Cloud::Ptr cloud =
    orvanite_test::CylinderFront(base, 0.03f, 0.2f, 2.0f, Eigen::Vector2f(-0.1f, 0.0f));
  ASSERT_EQ(estimate_->GetInitialGrabPose(cloud), orvanite::ESTIMATE_OK);
  EXPECT_EQ(estimate_->main_axis_type_, 2);
  const Eigen::Vector3f & tcp = estimate_->grab_pose_.position;
  EXPECT_LT((tcp.head<2>() - base.head<2>()).norm(), 0.03f + 0.005f);
  EXPECT_GT(tcp.z(), kFloor + 0.05f);
  EXPECT_LT(tcp.z(), kFloor + 0.15f);
  const Eigen::Matrix3d r = estimate_->grab_pose_.orientation.toRotationMatrix();
  const Eigen::Vector3d outwards(tcp.x(), tcp.y(), 0.0f);
  EXPECT_TRUE(r.col(2).isApprox(outwards.normalized(), 1e-6));
  EXPECT_TRUE(r.col(0).isApprox(Eigen::Vector3d::UnitZ(), 1e-6));
  EXPECT_EQ(estimate_->grab_mainaxis_, Eigen::Vector3f(0.0f, 0.0f, -1.0f));
}

TEST_F(GrabPoseOpaque, FlatSheetOnTheFloorIsGraspedAtFloorLevel)
{
  estimate_->camera_extrinsic_.col(3) << -0.1f, 0.0f, 0.4f, 1.0f;
  estimate_->is_on_floor_ = true;
  Cloud::Ptr cloud = orvanite_test::BoxSurface(
    Eigen::Vector3f(-0.5f, 0.1f, kFloor + 0.001f), Eigen::Vector3f(0.08f, 0.06f, 0.002f), 0.005f);
  ASSERT_EQ(estimate_->GetInitialGrabPose(cloud), orvanite::ESTIMATE_OK);
  EXPECT_EQ(estimate_->main_axis_type_, 1);
  const Eigen::Vector3f & tcp = estimate_->grab_pose_.position;
  EXPECT_NEAR(tcp.x(), -0.5f, 0.003f);
  EXPECT_NEAR(tcp.y(), 0.1f, 0.003f);
  EXPECT_EQ(tcp.z(), kFloor);
  const Eigen::Matrix3d r = estimate_->grab_pose_.orientation.toRotationMatrix();
  EXPECT_NEAR(std::fabs(r.col(0).x()), 1.0, 1e-3);  // fingers close across the 0.06 m side
}

// Every line that the routine logs under its own name, in its own words: yellow DEBUG height
// rules whose lowering line ends with ';', yellow steep-move lines.
TEST_F(GrabPoseOpaque, LogsItsOwnLinesUnderItsName)
{
  const std::string headline =
    "[DEBUG] **************************GetInitialGrabPose***************************";
  Cloud::Ptr block = ControlledBlock(0.04f);
  orvanite_test::LogCapture capture;
  ASSERT_EQ(estimate_->GetInitialGrabPose(block), orvanite::ESTIMATE_OK);
  const Eigen::Vector3f & axis = estimate_->grab_mainaxis_;
  EXPECT_EQ(
    orvanite_test::MessagesOf(capture, "GetInitialGrabPose"),
    (std::vector<std::string>{
      headline, "[DEBUG] After PclProcessFunc trash_cloud size: 40",
      fmt::format("[DEBUG] grab_mainaxis_: {}, {}, {}", axis.x(), axis.y(), axis.z()),
      Yellow("grab_tcp_.z() -= tcp_ajust_value_;")}));

  estimate_->camera_extrinsic_.col(3) << -0.1f, 0.0f, 0.4f, 1.0f;
  Cloud::Ptr bottle = orvanite_test::CylinderFront(
    Eigen::Vector3f(-0.45f, -0.05f, kFloor), 0.03f, 0.2f, 2.0f, Eigen::Vector2f(-0.1f, 0.0f));
  capture.Clear();
  ASSERT_EQ(estimate_->GetInitialGrabPose(bottle), orvanite::ESTIMATE_OK);
  EXPECT_EQ(
    orvanite_test::MessagesOf(capture, "GetInitialGrabPose"),
    (std::vector<std::string>{
      headline, "[DEBUG] After PclProcessFunc trash_cloud size: " + std::to_string(bottle->size()),
      "[DEBUG] grab_mainaxis_: 0, 0, -1", Yellow("grab_tcp_.x() += tcp_ajust_value_ * v_tcp.x() !"),
      Yellow("grab_tcp_.y() += tcp_ajust_value_ * v_tcp.y() !")}));

  Cloud::Ptr empty(new Cloud);
  capture.Clear();
  EXPECT_EQ(estimate_->GetInitialGrabPose(empty), orvanite::ESTIMATE_TOO_FEW_POINTS);
  EXPECT_EQ(
    orvanite_test::MessagesOf(capture, "GetInitialGrabPose"),
    (std::vector<std::string>{
      headline, "[DEBUG] After PclProcessFunc trash_cloud size: 0",
      "[WARN] After PclProcessFunc trash_cloud size is less than 34 !!!"}));
}

}  // namespace
