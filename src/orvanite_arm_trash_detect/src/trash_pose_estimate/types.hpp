#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__TYPES_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__TYPES_HPP_

#include <Eigen/Core>
#include <Eigen/Geometry>

namespace orvanite
{

// A grasp (or box) pose in the arm-base frame: position in metres, unit quaternion stored x, y, z, w.
struct GrabPose
{
  Eigen::Vector3f position;
  Eigen::Quaterniond orientation;
};

// Result of a grasp-pose computation; callers treat only ESTIMATE_OK as success.
enum EstimateFlag : int
{
  ESTIMATE_OK = 1,
  ESTIMATE_TOO_FEW_POINTS = 11,
  ESTIMATE_OUT_OF_WORKSPACE = 41,
  ESTIMATE_AXIS_TYPE_UNHANDLED = 1111,
};

// Extra results of GrabPoseEstimate::CommonGrabPoseFunc, which also checks the grasp-mode window.
constexpr int kLyingTrashOutOfVerticalGrabSpace = 101;
constexpr int kSteepTrashOutOfParallelGrabSpace = 311;

// Grasp type of a trash class, stored as an int in GrabPoseEstimate::trash_type_.
enum TrashType : int
{
  TRASH_TYPE_PAPER = 1,
  TRASH_TYPE_MASK = 2,
  TRASH_TYPE_BOTTLE = 3,
  TRASH_TYPE_OTHER = 4,
};

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__TYPES_HPP_
