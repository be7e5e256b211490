// What sets one grasp-pose routine apart in the steps that the routines share: the words, levels
// and colours of the lines those steps log for it, and the reach checks it adds. Each routine
// keeps its own voice beside its code; the shared steps log every record under `routine`, as if
// the routine had written the line itself.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__ROUTINE_VOICE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__ROUTINE_VOICE_HPP_

namespace orvanite
{

// The point-count lines of GetInitialGrabPose and GetTransparentGrabPose.
inline constexpr char kPointCountLine[] = "After PclProcessFunc trash_cloud size: {}";
inline constexpr char kTooFewPointsLine[] =
  "After PclProcessFunc trash_cloud size is less than {} !!!";

struct RoutineVoice
{
  const char * routine;
  // DEBUG after PclProcessFunc, "{}" the point count; WARN when fewer points remain than the
  // routine's minimum, with "{}" for the minimum if the line shows it.
  const char * point_count_line;
  const char * too_few_points_line;
  // The lines of the height rules and of the steep move in kYellow.
  bool yellow_steps = false;
  // The height rules as WARN lines rather than DEBUG.
  bool height_rules_warn = false;
  // Written after "grab_tcp_.z() -= tcp_ajust_value_".
  const char * lowered_line_end = "";
  // A steep grasp moves away from the camera (true) or from the arm-base axis (false).
  bool steep_away_from_camera = false;
  // isInGrabSpace on the cloud centre of a lying item (kLyingTrashOutOfVerticalGrabSpace) and on
  // the moved TCP of a steep one (kSteepTrashOutOfParallelGrabSpace).
  bool checks_grab_space = false;
  // DEBUG "rot_z: {}" of a lying grasp; "q_grab: ..." of a steep one on standard output.
  bool reports_rotation = false;
};

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__ROUTINE_VOICE_HPP_
