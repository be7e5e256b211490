// Workspace reach, main-axis classification and grasp-mode windows.
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

class GrabPoseChecks : public ::testing::Test
{
protected:
  void SetUp() override { estimate_ = config_.MakeEstimator(); }

  // The warnings logged by `check`.
  template <typename Check>
  std::vector<std::string> Warnings(Check check)
  {
    orvanite_test::LogCapture capture;
    check();
    return orvanite_test::Warnings(capture);
  }

  orvanite_test::GrabPoseConfigFile config_;
  std::unique_ptr<GrabPoseEstimate> estimate_;
};

struct ReachCase
{
  Eigen::Vector3f position;
  bool reachable;
  const char * warning;  // nullptr when reachable
};

TEST_F(GrabPoseChecks, WorkspaceWarnsAboutTheFirstFailingLimit)
{
  const ReachCase cases[] = {
    {{-0.5f, 0.0f, 0.1555f}, true, nullptr},
    {{0.5f, 0.0f, 0.1555f}, false, "垃圾位置太靠右了！！"},  // behind the arm: 180 degrees
    {{-0.3f, -0.6f, 0.1555f}, false, "垃圾位置太靠左了！！"},
    {{-0.9f, 0.0f, 0.1555f}, false, "垃圾位置太远了！！"},
    {{-0.1f, -0.2f, 0.1555f}, false, "垃圾位置太近了！！"},  // also too far left: distance first
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.position.transpose());
    bool reachable = false;
    const auto warnings = Warnings([&] { reachable = estimate_->IsInWorkspace(c.position); });
    EXPECT_EQ(reachable, c.reachable);
    if (c.warning == nullptr) {
      EXPECT_TRUE(warnings.empty());
    } else {
      EXPECT_EQ(warnings, std::vector<std::string>{c.warning});
    }
  }
}

TEST_F(GrabPoseChecks, EachCheckLogsItsOwnWarnings)
{
  const Eigen::Vector3f behind(0.5f, 0.0f, 0.1555f);
  const struct
  {
    const char * function;
    std::function<bool()> check;
  } cases[] = {
    {"IsInWorkspace", [&] { return estimate_->IsInWorkspace(behind); }},
    {"isInGrabSpace", [&] { return estimate_->isInGrabSpace(1, behind); }},
    {"isInGrabSpace", [&] { return estimate_->isInGrabSpace(2, behind); }},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.function);
    orvanite_test::LogCapture capture;
    EXPECT_FALSE(c.check());
    const auto records = capture.Records();
    ASSERT_EQ(records.size(), 3u);
    for (const auto & record : records) {
      EXPECT_EQ(record.function, c.function) << record.line;
    }
    EXPECT_EQ(records[2].level, 3);  // the warning
  }
}

TEST_F(GrabPoseChecks, WorkspaceDistanceFromTheShoulderAndAzimuth)
{
  EXPECT_TRUE(estimate_->IsInWorkspace(Eigen::Vector3f(-0.5f, 0.0f, 0.1555f)));
  EXPECT_FLOAT_EQ(estimate_->grab_distance_, 0.48875f);
  EXPECT_EQ(estimate_->grab_angle_, 0.0f);

  EXPECT_FALSE(estimate_->IsInWorkspace(Eigen::Vector3f(0.5f, 0.0f, 0.1555f)));
  EXPECT_FLOAT_EQ(estimate_->grab_angle_, 180.0f);

  const Eigen::Vector3f below(-0.3f, 0.3f, -0.2f);
  EXPECT_TRUE(estimate_->IsInWorkspace(below));
  EXPECT_NEAR(
    estimate_->grab_distance_, std::hypot(std::hypot(0.3, 0.3) - 0.01125, -0.2 - 0.1555), 1e-6);
  EXPECT_NEAR(estimate_->grab_angle_, 45.0f, 1e-5f);

  // Limits themselves pass.
  estimate_->workspace_r_min_ = estimate_->grab_distance_;
  estimate_->workspace_r_max_ = estimate_->grab_distance_;
  estimate_->workspace_angle_max_ = estimate_->grab_angle_;
  EXPECT_TRUE(estimate_->IsInWorkspace(below));
}

struct AxisCase
{
  Eigen::Vector3f axis;
  int type;
  Eigen::Vector3f turned;
};

TEST_F(GrabPoseChecks, MainAxisTypeByTiltWithItsSignRule)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const AxisCase cases[] = {
    {{-0.9f, 0.1f, 0.2f}, 1, {0.9f, -0.1f, -0.2f}},
    {{0.9f, 0.1f, 0.2f}, 1, {0.9f, 0.1f, 0.2f}},
    {{-0.866f, 0.0f, 0.5f}, 3, {0.866f, 0.0f, -0.5f}},
    {{0.5f, 0.0f, 0.866f}, 4, {-0.5f, 0.0f, -0.866f}},
    {{-0.5f, 0.0f, -0.866f}, 4, {-0.5f, 0.0f, -0.866f}},
    {{0.1f, 0.2f, -0.97f}, 2, {0.1f, 0.2f, -0.97f}},
    {{0.1f, 0.0f, 0.99f}, 2, {-0.1f, 0.0f, -0.99f}},
    {{0.0f, 0.0f, 1.0f}, 7, {0.0f, 0.0f, 1.0f}},  // exactly vertical: no type, no turn
    {{0.0f, 0.0f, nan}, 7, {0.0f, 0.0f, nan}},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.axis.transpose());
    Eigen::Vector3f axis = c.axis;
    int type = 7;
    estimate_->GetMainaxisType(axis, type);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(axis.head<2>(), c.turned.head<2>());
    if (!std::isnan(c.turned.z())) {
      EXPECT_EQ(axis.z(), c.turned.z());
    }
  }
}

TEST_F(GrabPoseChecks, MainAxisTypeLogsTheTypeAndTheTrashType)
{
  estimate_->trash_type_ = orvanite::TRASH_TYPE_BOTTLE;
  Eigen::Vector3f axis(0.0f, 0.0f, 1.0f);
  int type = 3;
  orvanite_test::LogCapture capture;
  estimate_->GetMainaxisType(axis, type);
  EXPECT_EQ(
    capture.Messages(),
    (std::vector<std::string>{"[DEBUG] main_axis_type_: 3", "[DEBUG] trash_type_: 3"}));
}

struct WindowCase
{
  int type;
  Eigen::Vector3f position;
  bool inside;
  const char * warning;
};

TEST_F(GrabPoseChecks, GrabSpaceWindowDependsOnModeAndHeight)
{
  const float floor = -0.176f;
  const WindowCase cases[] = {
    // Vertical grasp on the floor: exactly [0.2, 0.6].
    {1, {-0.2f, 0.0f, floor}, true, nullptr},
    {3, {-0.19f, 0.0f, floor}, false, "垃圾位置太近了！！！"},
    {1, {-0.6f, 0.0f, floor}, true, nullptr},
    {1, {-0.61f, 0.0f, floor}, false, "垃圾位置太远了！！！"},
    // 0.19 m above the floor the vertical window is [0.38, 0.73].
    {1, {-0.37f, 0.0f, floor + 0.19f}, false, "垃圾位置太近了！！！"},
    {1, {-0.72f, 0.0f, floor + 0.19f}, true, nullptr},
    // Parallel grasp 0.3 m above the floor: [0.5375, 0.8].
    {2, {-0.53f, 0.0f, floor + 0.3f}, false, "垃圾位置太近了！！！"},
    {4, {-0.54f, 0.0f, floor + 0.3f}, true, nullptr},
    {2, {-0.81f, 0.0f, floor + 0.3f}, false, "垃圾位置太远了！！！"},
    {2, {-0.3f, -0.6f, floor + 0.3f}, false, "垃圾位置太靠左了！！！"},
    {1, {-0.2f, 0.5f, floor}, false, "垃圾位置太靠右了！！！"},
    // No grasp mode: always inside.
    {0, {5.0f, 5.0f, 5.0f}, true, nullptr},
    {5, {5.0f, 5.0f, 5.0f}, true, nullptr},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type << " at " << c.position.transpose());
    bool inside = false;
    const auto warnings = Warnings([&] { inside = estimate_->isInGrabSpace(c.type, c.position); });
    EXPECT_EQ(inside, c.inside);
    if (c.warning == nullptr) {
      EXPECT_TRUE(warnings.empty());
    } else {
      EXPECT_EQ(warnings, std::vector<std::string>{c.warning});
    }
    // The plain horizontal distance, not the shoulder distance.
    EXPECT_FLOAT_EQ(estimate_->grab_distance_, std::hypot(c.position.x(), c.position.y()));
  }
}

}  // namespace
