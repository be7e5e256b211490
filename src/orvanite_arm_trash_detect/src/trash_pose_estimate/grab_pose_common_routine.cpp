// A grasp-pose routine that also checks the reach window of the grasp mode.
#include <cstddef>

#include "common/logger.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"
#include "trash_pose_estimate/routine_voice.hpp"

namespace
{

// The routine works from a fixed point count, not from min_trash_cloud_size_.
constexpr std::size_t kMinCommonPoints = 100;

// Its own point-count lines, plain WARN height rules; a steep grasp moves away from the arm-base
// axis; both grasp modes check their reach window and report their rotation.
constexpr orvanite::RoutineVoice kVoice = [] {
  orvanite::RoutineVoice voice{"CommonGrabPoseFunc", "处理后点云数量： {}", "处理后点云数量太少!"};
  voice.height_rules_warn = true;
  voice.checks_grab_space = true;
  voice.reports_rotation = true;
  return voice;
}();

}  // namespace

int GrabPoseEstimate::CommonGrabPoseFunc(Cloud::Ptr & cloud)
{
  LOG_DEBUG("-------------------CommonGrabPoseFunc-----------------------");
  const int placed = PlaceGrasp(cloud, kVoice, kMinCommonPoints);
  if (placed != orvanite::ESTIMATE_OK) {
    return placed;
  }
  // The pose checks only advise: an accepted pose is taken, and so is one they would veto.
  if (AlwaysTrueGrabCheck(grab_pose_)) {
    AlwaysFalseGrabCheck(grab_pose_);
  }
  return orvanite::ESTIMATE_OK;
}

bool GrabPoseEstimate::AlwaysTrueGrabCheck(orvanite::GrabPose) { return true; }

bool GrabPoseEstimate::AlwaysFalseGrabCheck(orvanite::GrabPose) { return false; }
