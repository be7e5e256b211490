// Grasp pose of transparent trash, whose depth points cover only the side facing the camera.
#include <cmath>

#include "common/ansi_colors.hpp"
#include "common/logger.hpp"
#include "trash_pose_estimate/grab_geometry.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"
#include "trash_pose_estimate/routine_voice.hpp"

namespace
{

// Only the shared start speaks for this routine.
constexpr orvanite::RoutineVoice kVoice{
  "GetTransparentGrabPose", orvanite::kPointCountLine, orvanite::kTooFewPointsLine};

}  // namespace

int GrabPoseEstimate::GetTransparentGrabPose(Cloud::Ptr & cloud)
{
  LOG_DEBUG(
    kBgBlue + "*************************GetTransparentGrabPose************************" + kReset);
  const int prepared = FilterAndMeasure(cloud, kVoice, MeasurablePointMinimum());
  if (prepared != orvanite::ESTIMATE_OK) {
    return prepared;
  }
  grab_mainaxis_ = Eigen::Vector3f(0.0f, 0.0f, -1.0f);
  LogMainAxis(__func__);

  const float width = GetTrashProjectWith(cloud);
  LOG_DEBUG(kBlue + "trash_cloud_project_width: {}" + kReset, width);
  const FloorSight sight = SightToNearestPoint(cloud);
  const pcl::PointXYZ & nearest = sight.nearest;
  float dx = sight.dx;
  float dy = sight.dy;
  const float squared_length = dy * dy + 0.0f + dx * dx;
  if (squared_length > 0.0f) {
    const float length = std::sqrt(squared_length);
    dx /= length;
    dy /= length;
  }

  // The item's centre lies about half its width behind the visible surface.
  const double reach = width * 0.5 + tcp_ajust_value_;
  grab_tcp_.x() = static_cast<float>(dx * reach + nearest.x);
  grab_tcp_.y() = static_cast<float>(dy * reach + nearest.y);
  grab_tcp_.z() = transparent_height_ratio_ * width + processed_trash_lowest_z_;

  AssignGrabPose(grab_tcp_, orvanite::SideGraspOrientation(grab_tcp_), grab_pose_);
  obb_pose_ = {Eigen::Vector3f::Zero(), Eigen::Quaterniond::Identity()};
  pca_size_ = {(transparent_height_ratio_ + transparent_height_ratio_) * width, width, width};
  return orvanite::ESTIMATE_OK;
}
