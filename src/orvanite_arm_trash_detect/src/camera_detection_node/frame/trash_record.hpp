// Trash records from the estimator's results, and the pose composition they rely on.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_RECORD_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_RECORD_HPP_

#include <array>

#include <geometry_msgs/msg/pose.hpp>
#include <geometry_msgs/msg/transform.hpp>
#include <orvanite_protocol/msg/trash_info.hpp>

#include "trash_pose_estimate/types.hpp"

class GrabPoseEstimate;

namespace orvanite
{
// The pose widened to float64 (position) with its quaternion copied.
geometry_msgs::msg::Pose ToPoseMsg(const orvanite::GrabPose & pose);

// outer ∘ inner: position = R_outer · p_inner + p_outer, orientation = R_outer · R_inner
// (quaternion taken from the rotation matrix). Float64 throughout.
geometry_msgs::msg::Pose ComposePoses(
  const geometry_msgs::msg::Pose & outer, const geometry_msgs::msg::Pose & inner);
// The same with a transform as the outer pose.
geometry_msgs::msg::Pose ComposePoses(
  const geometry_msgs::msg::Transform & outer, const geometry_msgs::msg::Pose & inner);

// Service-mode record of a trash of model label `label` after a successful grasp-pose call:
// main-axis type, grasp pose, box pose and extents of the estimator; map pose identity.
orvanite_protocol::msg::TrashInfo MakeGraspTrashInfo(int label, const GrabPoseEstimate & estimate);

// Streaming-mode record: identity poses, the transparency flag and the PCA extents.
orvanite_protocol::msg::TrashInfo MakeCloudTrashInfo(
  int label, bool is_transparent, const std::array<float, 3> & pca_size);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_RECORD_HPP_
