// A grasp-pose routine that also checks the reach window of the grasp mode.
#include <cmath>
#include <cstdio>

#include "common/logger.hpp"
#include "trash_pose_estimate/grab_geometry.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

// The routine works from a fixed point count, not from min_trash_cloud_size_.
constexpr std::size_t kMinCommonPoints = 100;

// The lines of the height rules, indexed by GrabPoseEstimate::HeightRule.
const char * const kHeightRuleLines[] = {
  "grab_tcp_.z()-trash_lowest_z_ < 0.015!!!",
  "grab_tcp_.z() = trash_lowest_z_!!!",
  "grab_tcp_.z() -= tcp_ajust_value_",
  "grab_tcp_.z() < (trash_lowest_z_ + 0.005)!!!",
  "grab_tcp_.z() = (trash_lowest_z_ + 0.005)!!!",
};

}  // namespace

int GrabPoseEstimate::CommonGrabPoseFunc(Cloud::Ptr & cloud)
{
  LOG_DEBUG("-------------------CommonGrabPoseFunc-----------------------");
  PclProcessFunc(cloud, cloud);
  LOG_DEBUG("处理后点云数量： {}", cloud->size());
  if (cloud->size() < kMinCommonPoints) {
    LOG_WARN("处理后点云数量太少!");
    return orvanite::ESTIMATE_TOO_FEW_POINTS;
  }
  MeasureCloud(cloud);
  grab_tcp_ = pca_center_.head<3>();
  if (!IsInWorkspace(grab_tcp_)) {
    return orvanite::ESTIMATE_OUT_OF_WORKSPACE;
  }
  ClassifyMainAxis();

  if (main_axis_type_ == 1 || main_axis_type_ == 3) {
    grab_mainaxis_ = LyingMainAxis();
    LOG_DEBUG(
      "grab_mainaxis_: {}, {}, {}", grab_mainaxis_.x(), grab_mainaxis_.y(), grab_mainaxis_.z());
    if (!isInGrabSpace(main_axis_type_, grab_tcp_)) {
      return orvanite::kLyingTrashOutOfVerticalGrabSpace;
    }
    for (const HeightRule rule : PlaceLyingTcp()) {
      LOG_WARN("{}", kHeightRuleLines[static_cast<int>(rule)]);
    }
    const float rot_z = std::atan2(-grab_mainaxis_.y(), grab_mainaxis_.x());
    LOG_DEBUG("rot_z: {}", rot_z);
    AssignGrabPose(grab_tcp_, orvanite::TopDownGraspOrientation(rot_z), grab_pose_);
  } else if (main_axis_type_ == 2 || main_axis_type_ == 4) {
    grab_mainaxis_ = Eigen::Vector3f(0.0f, 0.0f, -1.0f);
    LOG_DEBUG(
      "grab_mainaxis_: {}, {}, {}", grab_mainaxis_.x(), grab_mainaxis_.y(), grab_mainaxis_.z());
    PlaceSteepTcp(Eigen::Vector2f::Zero());
    LOG_DEBUG("grab_tcp_.x() += tcp_ajust_value_ * v_tcp.x() !");
    LOG_DEBUG("grab_tcp_.y() += tcp_ajust_value_ * v_tcp.y() !");
    if (!isInGrabSpace(main_axis_type_, grab_tcp_)) {
      return orvanite::kSteepTrashOutOfParallelGrabSpace;
    }
    const Eigen::Quaterniond orientation = orvanite::SideGraspOrientation(grab_tcp_);
    std::printf(
      "q_grab: %f  %f  %f  %f\n", orientation.w(), orientation.x(), orientation.y(),
      orientation.z());
    AssignGrabPose(grab_tcp_, orientation, grab_pose_);
  } else {
    return orvanite::ESTIMATE_AXIS_TYPE_UNHANDLED;
  }

  // The pose checks only advise: an accepted pose is taken, and so is one they would veto.
  if (AlwaysTrueGrabCheck(grab_pose_)) {
    AlwaysFalseGrabCheck(grab_pose_);
  }
  return orvanite::ESTIMATE_OK;
}

bool GrabPoseEstimate::AlwaysTrueGrabCheck(orvanite::GrabPose) { return true; }

bool GrabPoseEstimate::AlwaysFalseGrabCheck(orvanite::GrabPose) { return false; }
