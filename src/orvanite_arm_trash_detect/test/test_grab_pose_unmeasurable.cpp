// Clouds with points no camera measures, through both grasp-pose routines: the estimator
// answers with its result code (or with the pose of the measurable points) instead of letting
// PCL abort on them.
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/cloud_table.hpp"
#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{
using orvanite_test::Cloud;
using orvanite_test::SameBits;

using Routine = std::function<int(GrabPoseEstimate &, Cloud::Ptr &)>;

struct RoutineCase
{
  std::string name;
  Routine run;
};

const std::vector<RoutineCase> kRoutines = {
  {"GetInitialGrabPose",
   [](GrabPoseEstimate & estimate, Cloud::Ptr & cloud) {
     return estimate.GetInitialGrabPose(cloud);
   }},
  {"GetTransparentGrabPose",
   [](GrabPoseEstimate & estimate, Cloud::Ptr & cloud) {
     return estimate.GetTransparentGrabPose(cloud);
   }},
};

// A paper top seen by the downward test camera, in reach of the arm.
Cloud::Ptr PhysicalCloud()
{
  return orvanite_test::CameraSeenTop(cv::Rect(250, 200, 60, 40), 0.03);
}

Cloud::Ptr With(const Cloud & cloud, const std::vector<pcl::PointXYZ> & extra)
{
  Cloud::Ptr result(new Cloud(cloud));
  for (const auto & point : extra) {
    result->push_back(point);
  }
  return result;
}

bool WarnedAboutDropping(const orvanite_test::LogCapture & capture)
{
  for (const auto & message : capture.Messages()) {
    if (
      message.find("points with non-finite coordinates or coordinates beyond") !=
      std::string::npos) {
      return true;
    }
  }
  return false;
}

// Points near 1e36 everywhere: the neighbour search would abort; nothing measurable is left.
TEST(GrabPoseUnmeasurable, CloudOfHugeCoordinatesHasTooFewPoints)
{
  orvanite_test::GrabPoseConfigFile config;
  for (const auto & routine : kRoutines) {
    SCOPED_TRACE(routine.name);
    auto estimate = config.MakeEstimator();
    Cloud::Ptr cloud(new Cloud);
    for (int i = 0; i < 200; ++i) {
      cloud->push_back(pcl::PointXYZ(1e36f + 1e30f * i, -1e36f, 1e36f * (i % 3)));
    }
    orvanite_test::LogCapture capture;
    EXPECT_EQ(routine.run(*estimate, cloud), orvanite::ESTIMATE_TOO_FEW_POINTS);
    EXPECT_TRUE(WarnedAboutDropping(capture));
    EXPECT_TRUE(cloud->empty());
  }
}

// A couple of points at z = -1e30 (the eigen solver would abort) or NaN among a physical cloud:
// the answer is that of the physical cloud to the last bit.
TEST(GrabPoseUnmeasurable, StrayPointsDoNotChangeThePoseOfTheRest)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<std::vector<pcl::PointXYZ>> strays = {
    {{-0.5f, 0.0f, -1e30f}, {-0.45f, 0.02f, -1e30f}},
    {{nan, nan, nan}, {-0.5f, nan, -0.1f}, {std::numeric_limits<float>::infinity(), 0.0f, 0.0f}},
  };
  orvanite_test::GrabPoseConfigFile config;
  for (const auto & routine : kRoutines) {
    auto reference = config.MakeEstimator();
    Cloud::Ptr physical = PhysicalCloud();
    const int expected_flag = routine.run(*reference, physical);
    ASSERT_EQ(expected_flag, orvanite::ESTIMATE_OK) << routine.name;
    for (std::size_t i = 0; i < strays.size(); ++i) {
      SCOPED_TRACE(routine.name + " strays " + std::to_string(i));
      auto estimate = config.MakeEstimator();
      Cloud::Ptr cloud = With(*PhysicalCloud(), strays[i]);
      orvanite_test::LogCapture capture;
      EXPECT_EQ(routine.run(*estimate, cloud), expected_flag);
      EXPECT_TRUE(WarnedAboutDropping(capture));
      EXPECT_TRUE(SameBits(estimate->grab_pose_.position, reference->grab_pose_.position));
      EXPECT_TRUE(SameBits(
        estimate->grab_pose_.orientation.coeffs(), reference->grab_pose_.orientation.coeffs()));
      EXPECT_TRUE(SameBits(estimate->obb_pose_.position, reference->obb_pose_.position));
      EXPECT_TRUE(SameBits(estimate->pca_size_, reference->pca_size_));
      EXPECT_TRUE(orvanite_test::SameCloud(*cloud, *physical));
    }
  }
}

// Called directly, as no routine calls them: the oriented box and the largest cluster are those
// of the measurable points, to the last bit, and the oriented box leaves the cloud as it was.
TEST(GrabPoseUnmeasurable, ClusterAndOrientedBoxLeaveOutStrayPoints)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<pcl::PointXYZ> strays = {
    {nan, nan, nan},
    {-0.5f, nan, -0.1f},
    {std::numeric_limits<float>::infinity(), 0.0f, 0.0f},
    {-0.5f, 0.0f, -1e30f}};
  orvanite_test::GrabPoseConfigFile config;
  auto reference = config.MakeEstimator();
  auto estimate = config.MakeEstimator();

  Cloud::Ptr physical = PhysicalCloud();
  reference->OBBFunc(physical);
  const Cloud::Ptr with_strays = With(*physical, strays);
  Cloud::Ptr cloud = with_strays;
  orvanite_test::LogCapture capture;
  estimate->OBBFunc(cloud);
  EXPECT_TRUE(WarnedAboutDropping(capture));
  EXPECT_TRUE(SameBits(estimate->obb_position_, reference->obb_position_));
  EXPECT_TRUE(SameBits(estimate->obb_rotation_, reference->obb_rotation_));
  EXPECT_TRUE(SameBits(
    estimate->obb_max_point_.getVector3fMap().eval(),
    reference->obb_max_point_.getVector3fMap().eval()));
  EXPECT_EQ(cloud, with_strays);
  EXPECT_EQ(cloud->size(), physical->size() + strays.size());

  reference->PclClusterProcess(physical);
  estimate->PclClusterProcess(cloud);
  EXPECT_NE(cloud, with_strays);
  EXPECT_TRUE(orvanite_test::SameCloud(*cloud, *physical));
  EXPECT_EQ(with_strays->size(), physical->size() + strays.size());  // the old cloud stays

  // Only strays: nothing to cluster, and the pointer is left as it was.
  Cloud::Ptr only_strays = With(Cloud(), strays);
  const Cloud::Ptr given = only_strays;
  estimate->PclClusterProcess(only_strays);
  EXPECT_EQ(only_strays, given);
}

// A physical cloud is never touched by the check and draws no warning.
TEST(GrabPoseUnmeasurable, PhysicalCloudDrawsNoWarning)
{
  orvanite_test::GrabPoseConfigFile config;
  auto estimate = config.MakeEstimator();
  Cloud::Ptr cloud = PhysicalCloud();
  orvanite_test::LogCapture capture;
  EXPECT_EQ(estimate->GetInitialGrabPose(cloud), orvanite::ESTIMATE_OK);
  EXPECT_FALSE(WarnedAboutDropping(capture));
}
}  // namespace
