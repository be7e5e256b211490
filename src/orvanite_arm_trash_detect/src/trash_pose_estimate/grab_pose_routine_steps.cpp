// Steps that the grasp-pose routines share, below the routines and above the checks,
// measurement and filtering they call. The TCP placements do not log; the steps that log for a
// routine do so in its voice, so that every log record names the routine that ran.
#include <algorithm>
#include <cstddef>

#include "common/ansi_colors.hpp"
#include "common/logger.hpp"
#include "trash_pose_estimate/grab_geometry.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"
#include "trash_pose_estimate/routine_voice.hpp"

namespace
{

// PCA needs three points whatever the configured minimum.
constexpr std::size_t kMinMeasurablePoints = 3;

}  // namespace

std::size_t GrabPoseEstimate::MeasurablePointMinimum() const
{
  return std::max<std::size_t>(min_trash_cloud_size_, kMinMeasurablePoints);
}

int GrabPoseEstimate::FilterAndMeasure(
  Cloud::Ptr & cloud, const orvanite::RoutineVoice & voice, std::size_t minimum)
{
  PclProcessFunc(cloud, cloud);
  LOG_DEBUG_AS(voice.routine, voice.point_count_line, cloud->size());
  if (cloud->size() < minimum) {
    // fmt leaves out an argument that the line does not show.
    LOG_WARN_AS(voice.routine, voice.too_few_points_line, minimum);
    return orvanite::ESTIMATE_TOO_FEW_POINTS;
  }
  MeasureCloud(cloud);
  grab_tcp_ = pca_center_.head<3>();
  if (!IsInWorkspace(grab_tcp_)) {
    return orvanite::ESTIMATE_OUT_OF_WORKSPACE;
  }
  return orvanite::ESTIMATE_OK;
}

void GrabPoseEstimate::MeasureCloud(Cloud::Ptr & cloud)
{
  PCAFunc(cloud);
  OBBFunc(cloud);
  AABBFunc(cloud);
  MinAreaRectFunc(cloud);
}

void GrabPoseEstimate::ClassifyMainAxis()
{
  Eigen::Vector3f main_axis = pca_eigen_vectors_.col(0);
  GetMainaxisType(main_axis, main_axis_type_);
  pca_eigen_vectors_.col(0) = main_axis;
}

Eigen::Vector3f GrabPoseEstimate::LyingMainAxis()
{
  float direction[2];
  GetMinAreaRectDirection(direction);
  return Eigen::Vector3f(direction[0], direction[1], 0.0f);
}

std::vector<GrabPoseEstimate::HeightRule> GrabPoseEstimate::PlaceLyingTcp()
{
  std::vector<HeightRule> applied;
  if (static_cast<double>(pca_size_[0]) > 0.1 && trash_height_ > extend_height_threshold_) {
    ExtendGrabTCP(grab_tcp_);
  }
  // Keep the fingers off the floor under the item, but low enough to close around it.
  if (static_cast<double>(grab_tcp_.z() - trash_lowest_z_) < 0.015) {
    applied.push_back(HeightRule::kTooLow);
    grab_tcp_.z() = trash_lowest_z_;
    applied.push_back(HeightRule::kSetToLowest);
  }
  if (
    trash_height_ > tcp_ajust_threshold_ &&
    static_cast<double>(grab_tcp_.z() - trash_lowest_z_) > 0.015) {
    grab_tcp_.z() -= tcp_ajust_value_;
    applied.push_back(HeightRule::kLowered);
    const double lowest_allowed = static_cast<double>(trash_lowest_z_) + 0.005;
    if (lowest_allowed > grab_tcp_.z()) {
      applied.push_back(HeightRule::kBelowClamp);
      grab_tcp_.z() = static_cast<float>(lowest_allowed);
      applied.push_back(HeightRule::kClamped);
    }
  }
  if (is_on_floor_) {
    grab_tcp_.z() = -base_height_;
  }
  return applied;
}

void GrabPoseEstimate::PlaceSteepTcp(const Eigen::Vector2f & away_from)
{
  ExtendGrabTCP(grab_tcp_);
  grab_tcp_ = orvanite::MoveAwayInFloorPlane(grab_tcp_, away_from, tcp_ajust_value_);
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
  const Eigen::Vector3f & position, const Eigen::Quaterniond & orientation,
  orvanite::GrabPose & grab_pose)
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
  orvanite::GrabPose & obb_pose, const orvanite::GrabPose & grab_pose,
  const Eigen::Vector3f & obb_position, const Eigen::Matrix3f & obb_rotation)
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
