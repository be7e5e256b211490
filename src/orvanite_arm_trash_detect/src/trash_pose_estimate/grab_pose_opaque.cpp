// Grasp pose of ordinary (opaque) trash: top-down for lying items, horizontal for steep ones.
#include <cmath>

#include "common/logger.hpp"
#include "trash_pose_estimate/grab_geometry.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"
#include "trash_pose_estimate/routine_voice.hpp"

namespace
{

// Yellow DEBUG steps; a steep grasp moves away from the camera.
constexpr orvanite::RoutineVoice kVoice = [] {
  orvanite::RoutineVoice voice{
    "GetInitialGrabPose", orvanite::kPointCountLine, orvanite::kTooFewPointsLine};
  voice.yellow_steps = true;
  voice.lowered_line_end = ";";
  voice.steep_away_from_camera = true;
  return voice;
}();

}  // namespace

int GrabPoseEstimate::GetInitialGrabPose(Cloud::Ptr & cloud)
{
  LOG_DEBUG("**************************GetInitialGrabPose***************************");
  const int placed = PlaceGrasp(cloud, kVoice, MeasurablePointMinimum());
  if (placed != orvanite::ESTIMATE_OK) {
    return placed;
  }
  GetObbPose(obb_pose_, grab_pose_, obb_position_, obb_rotation_);
  return orvanite::ESTIMATE_OK;
}

void GrabPoseEstimate::AxisAngleDegreesToQuaternion(
  Eigen::Quaterniond & quaternion, const Eigen::Vector3d & axis, float angle_degrees)
{
  const float angle = static_cast<float>(angle_degrees * M_PI / 180.0);
  quaternion = orvanite::HalfAngleQuaternion(axis, angle);
}
