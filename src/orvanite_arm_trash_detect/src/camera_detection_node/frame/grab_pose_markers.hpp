// What a service-mode camera shows of its records: one static frame per grasp pose, a box marker
// per record and two arrows per grasp pose. Every marker lives 10 s.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__GRAB_POSE_MARKERS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__GRAB_POSE_MARKERS_HPP_

#include <functional>
#include <string>
#include <vector>

#include <builtin_interfaces/msg/time.hpp>
#include <geometry_msgs/msg/transform_stamped.hpp>
#include <orvanite_protocol/msg/trash_info.hpp>
#include <visualization_msgs/msg/marker_array.hpp>

namespace orvanite
{
// Gives the stamp of each message as it is built.
using StampSource = std::function<builtin_interfaces::msg::Time()>;

// Frame "cam_<cam_id>_trash_pose_<k + 1>" of record k at its grasp pose, parent `frame_id`.
std::vector<geometry_msgs::msg::TransformStamped> MakeGrabPoseFrames(
  const std::vector<orvanite_protocol::msg::TrashInfo> & records, const std::string & frame_id,
  int cam_id, const StampSource & now);

// Per record k a green translucent cube (ns "cam_<cam_id>_trash_obb", id k) at the box pose
// composed onto the grasp pose, sized by obb_size.
visualization_msgs::msg::MarkerArray MakeObbMarkers(
  const std::vector<orvanite_protocol::msg::TrashInfo> & records, const std::string & frame_id,
  int cam_id, const StampSource & now);

// Per record k a red arrow along the grasp frame's x axis (ns "trash_pose_x") and a blue one
// along its z axis (ns "trash_pose_z"), both with id k, in this order.
visualization_msgs::msg::MarkerArray MakePoseMarkers(
  const std::vector<orvanite_protocol::msg::TrashInfo> & records, const std::string & frame_id,
  const StampSource & now);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__GRAB_POSE_MARKERS_HPP_
