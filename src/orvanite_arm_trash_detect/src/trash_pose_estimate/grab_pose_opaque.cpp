// Grasp pose of ordinary (opaque) trash: top-down for lying items, horizontal for steep ones.
#include <cmath>

#include "common/ansi_colors.hpp"
#include "common/logger.hpp"
#include "trash_pose_estimate/grab_geometry.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

// The lines of the height rules, indexed by GrabPoseEstimate::HeightRule.
const char * const kHeightRuleLines[] = {
  "grab_tcp_.z()-trash_lowest_z_ < 0.015!!!",     "grab_tcp_.z() = trash_lowest_z_!!!",
  "grab_tcp_.z() -= tcp_ajust_value_;",           "grab_tcp_.z() < (trash_lowest_z_ + 0.005)!!!",
  "grab_tcp_.z() = (trash_lowest_z_ + 0.005)!!!",
};

}  // namespace

int GrabPoseEstimate::GetInitialGrabPose(Cloud::Ptr & cloud)
{
  LOG_DEBUG("**************************GetInitialGrabPose***************************");
  const int prepared = FilterAndMeasure(cloud, __func__);
  if (prepared != orvanite::ESTIMATE_OK) {
    return prepared;
  }
  ClassifyMainAxis();

  Eigen::Quaterniond orientation;
  if (main_axis_type_ == 1 || main_axis_type_ == 3) {
    grab_mainaxis_ = LyingMainAxis();
    LOG_DEBUG(
      "grab_mainaxis_: {}, {}, {}", grab_mainaxis_.x(), grab_mainaxis_.y(), grab_mainaxis_.z());
    for (const HeightRule rule : PlaceLyingTcp()) {
      LOG_DEBUG(kYellow + kHeightRuleLines[static_cast<int>(rule)] + kReset);
    }
    // The tool x axis lies along -grab_mainaxis_, so the fingers close across the long side.
    orientation =
      orvanite::TopDownGraspOrientation(std::atan2(-grab_mainaxis_.y(), grab_mainaxis_.x()));
  } else if (main_axis_type_ == 2 || main_axis_type_ == 4) {
    grab_mainaxis_ = Eigen::Vector3f(0.0f, 0.0f, -1.0f);
    LOG_DEBUG(
      "grab_mainaxis_: {}, {}, {}", grab_mainaxis_.x(), grab_mainaxis_.y(), grab_mainaxis_.z());
    PlaceSteepTcp(CameraPositionXY());
    LOG_DEBUG(kYellow + "grab_tcp_.x() += tcp_ajust_value_ * v_tcp.x() !" + kReset);
    LOG_DEBUG(kYellow + "grab_tcp_.y() += tcp_ajust_value_ * v_tcp.y() !" + kReset);
    orientation = orvanite::SideGraspOrientation(grab_tcp_);
  } else {
    return orvanite::ESTIMATE_AXIS_TYPE_UNHANDLED;
  }
  AssignGrabPose(grab_tcp_, orientation, grab_pose_);
  GetObbPose(obb_pose_, grab_pose_, obb_position_, obb_rotation_);
  return orvanite::ESTIMATE_OK;
}

void GrabPoseEstimate::AxisAngleDegreesToQuaternion(
  Eigen::Quaterniond & quaternion, const Eigen::Vector3d & axis, float angle_degrees)
{
  const float angle = static_cast<float>(angle_degrees * M_PI / 180.0);
  quaternion = orvanite::HalfAngleQuaternion(axis, angle);
}
