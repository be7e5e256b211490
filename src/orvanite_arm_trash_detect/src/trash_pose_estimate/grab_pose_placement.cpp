// The grasp that GetInitialGrabPose and CommonGrabPoseFunc place alike: top-down for lying items,
// horizontal for steep ones. Each routine passes its voice: the words, levels and colours of its
// lines and the reach checks it adds.
#include <cmath>
#include <cstdio>
#include <string>

#include "common/ansi_colors.hpp"
#include "common/logger.hpp"
#include "trash_pose_estimate/grab_geometry.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"
#include "trash_pose_estimate/routine_voice.hpp"

namespace
{

// The lines of the height rules, indexed by GrabPoseEstimate::HeightRule; the lowering line
// ends with the voice's lowered_line_end.
const char * const kHeightRuleLines[] = {
  "grab_tcp_.z()-trash_lowest_z_ < 0.015!!!",
  "grab_tcp_.z() = trash_lowest_z_!!!",
  "grab_tcp_.z() -= tcp_ajust_value_",
  "grab_tcp_.z() < (trash_lowest_z_ + 0.005)!!!",
  "grab_tcp_.z() = (trash_lowest_z_ + 0.005)!!!",
};

const char * const kSteepMoveLines[] = {
  "grab_tcp_.x() += tcp_ajust_value_ * v_tcp.x() !",
  "grab_tcp_.y() += tcp_ajust_value_ * v_tcp.y() !",
};

std::string Coloured(const orvanite::RoutineVoice & voice, const std::string & line)
{
  return voice.yellow_steps ? kYellow + line + kReset : line;
}

void LogHeightRule(const orvanite::RoutineVoice & voice, GrabPoseEstimate::HeightRule rule)
{
  std::string line = kHeightRuleLines[static_cast<int>(rule)];
  if (rule == GrabPoseEstimate::HeightRule::kLowered) {
    line += voice.lowered_line_end;
  }
  line = Coloured(voice, line);
  if (voice.height_rules_warn) {
    LOG_WARN_AS(voice.routine, "{}", line);
  } else {
    LOG_DEBUG_AS(voice.routine, "{}", line);
  }
}

}  // namespace

int GrabPoseEstimate::PlaceGrasp(
  Cloud::Ptr & cloud, const orvanite::RoutineVoice & voice, std::size_t minimum)
{
  const int prepared = FilterAndMeasure(cloud, voice, minimum);
  if (prepared != orvanite::ESTIMATE_OK) {
    return prepared;
  }
  ClassifyMainAxis();

  Eigen::Quaterniond orientation;
  int placed = orvanite::ESTIMATE_AXIS_TYPE_UNHANDLED;
  if (main_axis_type_ == 1 || main_axis_type_ == 3) {
    placed = PlaceLyingGrasp(voice, orientation);
  } else if (main_axis_type_ == 2 || main_axis_type_ == 4) {
    placed = PlaceSteepGrasp(voice, orientation);
  }
  if (placed != orvanite::ESTIMATE_OK) {
    return placed;
  }
  AssignGrabPose(grab_tcp_, orientation, grab_pose_);
  return orvanite::ESTIMATE_OK;
}

int GrabPoseEstimate::PlaceLyingGrasp(
  const orvanite::RoutineVoice & voice, Eigen::Quaterniond & orientation)
{
  grab_mainaxis_ = LyingMainAxis();
  LogMainAxis(voice.routine);
  if (voice.checks_grab_space && !isInGrabSpace(main_axis_type_, grab_tcp_)) {
    return orvanite::kLyingTrashOutOfVerticalGrabSpace;
  }
  for (const HeightRule rule : PlaceLyingTcp()) {
    LogHeightRule(voice, rule);
  }
  // The tool x axis lies along -grab_mainaxis_, so the fingers close across the long side.
  const float rot_z = std::atan2(-grab_mainaxis_.y(), grab_mainaxis_.x());
  if (voice.reports_rotation) {
    LOG_DEBUG_AS(voice.routine, "rot_z: {}", rot_z);
  }
  orientation = orvanite::TopDownGraspOrientation(rot_z);
  return orvanite::ESTIMATE_OK;
}

int GrabPoseEstimate::PlaceSteepGrasp(
  const orvanite::RoutineVoice & voice, Eigen::Quaterniond & orientation)
{
  grab_mainaxis_ = Eigen::Vector3f(0.0f, 0.0f, -1.0f);
  LogMainAxis(voice.routine);
  PlaceSteepTcp(voice.steep_away_from_camera ? CameraPositionXY() : Eigen::Vector2f::Zero());
  for (const char * line : kSteepMoveLines) {
    LOG_DEBUG_AS(voice.routine, "{}", Coloured(voice, line));
  }
  if (voice.checks_grab_space && !isInGrabSpace(main_axis_type_, grab_tcp_)) {
    return orvanite::kSteepTrashOutOfParallelGrabSpace;
  }
  orientation = orvanite::SideGraspOrientation(grab_tcp_);
  if (voice.reports_rotation) {
    // On standard output, not through the logger.
    std::printf(
      "q_grab: %f  %f  %f  %f\n", orientation.w(), orientation.x(), orientation.y(),
      orientation.z());
  }
  return orvanite::ESTIMATE_OK;
}

void GrabPoseEstimate::LogMainAxis(const char * routine) const
{
  LOG_DEBUG_AS(
    routine, "grab_mainaxis_: {}, {}, {}", grab_mainaxis_.x(), grab_mainaxis_.y(),
    grab_mainaxis_.z());
}
