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
  PclProcessFunc(cloud, cloud);
  LOG_DEBUG("After PclProcessFunc trash_cloud size: {}", cloud->size());
  if (cloud->size() < MeasurablePointMinimum()) {
    LOG_WARN("After PclProcessFunc trash_cloud size is less than {} !!!", MeasurablePointMinimum());
    return ESTIMATE_TOO_FEW_POINTS;
  }
  MeasureCloud(cloud);
  grab_tcp_ = pca_center_.head<3>();
  if (!IsInWorkspace(grab_tcp_)) {
    return ESTIMATE_OUT_OF_WORKSPACE;
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
    return ESTIMATE_AXIS_TYPE_UNHANDLED;
  }
  AssignGrabPose(grab_tcp_, orientation, grab_pose_);
  GetObbPose(obb_pose_, grab_pose_, obb_position_, obb_rotation_);
  return ESTIMATE_OK;
}

void GrabPoseEstimate::ExtendGrabTCP(Eigen::Vector3f & tcp)
{
  // Grasp beyond the visible centre: the far part of the item is hidden from the camera.
  Eigen::Vector3f direction = tcp - camera_extrinsic_.topRightCorner<3, 1>();
  direction.normalize();
  const float thickness = pca_size_[2];
  extend_length_ =
    extend_lenth_threshold_ > thickness ? thickness * extra_length_ratio_ : extend_length_max_;
  tcp += extend_length_ * direction;

  const double lowest_allowed = static_cast<double>(trash_lowest_z_) + 0.008;
  if (lowest_allowed > tcp.z()) {
    LOG_WARN("tcp_.z() < (trash_lowest_z_ + 0.008)!!! tcp.z() = (trash_lowest_z_ + 0.008)");
    tcp.z() = static_cast<float>(lowest_allowed);
  }
  LOG_DEBUG("GrabTCP Extended !");
}

void GrabPoseEstimate::AssignGrabPose(
  const Eigen::Vector3f & position, const Eigen::Quaterniond & orientation, GrabPose & grab_pose)
{
  grab_pose.position = position;
  grab_pose.orientation = orientation;
  LOG_DEBUG(
    kBoldGreen + "grab_pose_.position: {:.6f}, {:.6f}, {:.6f}" + kReset, grab_pose.position.x(),
    grab_pose.position.y(), grab_pose.position.z());
  LOG_DEBUG(
    kBoldGreen + "grab_pose_.orientation: {:.6f}, {:.6f}, {:.6f}, {:.6f}" + kReset,
    grab_pose.orientation.w(), grab_pose.orientation.x(), grab_pose.orientation.y(),
    grab_pose.orientation.z());
}

void GrabPoseEstimate::GetObbPose(
  GrabPose & obb_pose, const GrabPose & grab_pose, const Eigen::Vector3f & obb_position,
  const Eigen::Matrix3f & obb_rotation)
{
  LOG_DEBUG("=============================GetObbBoxPose=============================");
  const Eigen::Quaterniond obb_orientation(obb_rotation.cast<double>());
  LOG_DEBUG(
    "base2tcpTransform: {:.6f}, {:.6f}, {:.6f}, {:.6f}", obb_orientation.w(), obb_orientation.x(),
    obb_orientation.y(), obb_orientation.z());

  Eigen::Affine3d base_to_tcp = Eigen::Affine3d::Identity();
  base_to_tcp.linear() = grab_pose.orientation.toRotationMatrix();
  base_to_tcp.translation() = grab_pose.position.cast<double>();
  Eigen::Affine3d base_to_obb = Eigen::Affine3d::Identity();
  base_to_obb.linear() = obb_orientation.toRotationMatrix();
  base_to_obb.translation() = obb_position.cast<double>();
  const Eigen::Affine3d tcp_to_obb = base_to_tcp.inverse(Eigen::Affine) * base_to_obb;

  obb_pose.position = tcp_to_obb.translation().cast<float>();
  obb_pose.orientation = Eigen::Quaterniond(tcp_to_obb.linear());
  LOG_DEBUG(
    "trash obb_pose.position(ref->tcp): {:.6f}, {:.6f}, {:.6f}", obb_pose.position.x(),
    obb_pose.position.y(), obb_pose.position.z());
  LOG_DEBUG(
    "trash obb_pose.orientation(ref->tcp): {:.6f}, {:.6f}, {:.6f}, {:.6f}",
    obb_pose.orientation.w(), obb_pose.orientation.x(), obb_pose.orientation.y(),
    obb_pose.orientation.z());
  LOG_DEBUG("-----------------------------------------------------------------------");
}

void GrabPoseEstimate::AxisAngleDegreesToQuaternion(
  Eigen::Quaterniond & quaternion, const Eigen::Vector3d & axis, float angle_degrees)
{
  const float angle = static_cast<float>(angle_degrees * M_PI / 180.0);
  quaternion = orvanite::HalfAngleQuaternion(axis, angle);
}
