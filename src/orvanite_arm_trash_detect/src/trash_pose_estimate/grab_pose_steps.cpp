// Steps that the grasp-pose routines share. They do not log: each routine logs their results
// itself, so that every log record names the routine that ran.
#include <algorithm>
#include <cstddef>

#include "trash_pose_estimate/grab_geometry.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

// PCA needs three points whatever the configured minimum.
constexpr std::size_t kMinMeasurablePoints = 3;

}  // namespace

std::size_t GrabPoseEstimate::MeasurablePointMinimum() const
{
  return std::max<std::size_t>(min_trash_cloud_size_, kMinMeasurablePoints);
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
