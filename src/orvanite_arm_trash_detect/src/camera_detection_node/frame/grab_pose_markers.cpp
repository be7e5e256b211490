#include "camera_detection_node/frame/grab_pose_markers.hpp"

#include <Eigen/Geometry>

#include "camera_detection_node/frame/trash_record.hpp"

namespace orvanite
{
namespace
{
using visualization_msgs::msg::Marker;

constexpr int32_t kMarkerLifetimeSeconds = 10;

Marker MakeMarker(
  const std::string & frame_id, const StampSource & now, const std::string & ns, int32_t id,
  int32_t type, const geometry_msgs::msg::Pose & pose)
{
  Marker marker;
  marker.header.frame_id = frame_id;
  marker.header.stamp = now();
  marker.ns = ns;
  marker.id = id;
  marker.type = type;
  marker.action = Marker::ADD;
  marker.pose = pose;
  marker.lifetime.sec = kMarkerLifetimeSeconds;
  marker.lifetime.nanosec = 0;
  return marker;
}

void SetArrowLook(Marker & marker, float r, float g, float b)
{
  marker.scale.x = 0.1;
  marker.scale.y = 0.01;
  marker.scale.z = 0.01;
  marker.color.r = r;
  marker.color.g = g;
  marker.color.b = b;
  marker.color.a = 0.8f;
}

// The grasp orientation turned by -90 degrees about its own y axis: its x axis then points
// along the grasp frame's z axis.
geometry_msgs::msg::Quaternion ZArrowOrientation(const geometry_msgs::msg::Quaternion & grab)
{
  const Eigen::Quaterniond q_g(grab.w, grab.x, grab.y, grab.z);
  const Eigen::Quaterniond q_y(0.7071067811865476, 0.0, -0.7071067811865475, 0.0);
  const Eigen::Quaterniond q = (q_g * q_y).normalized();
  geometry_msgs::msg::Quaternion msg;
  msg.x = q.x();
  msg.y = q.y();
  msg.z = q.z();
  msg.w = q.w();
  return msg;
}
}  // namespace

std::vector<geometry_msgs::msg::TransformStamped> MakeGrabPoseFrames(
  const std::vector<orvanite_protocol::msg::TrashInfo> & records, const std::string & frame_id,
  int cam_id, const StampSource & now)
{
  std::vector<geometry_msgs::msg::TransformStamped> frames;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const auto & pose = records[k].grab_pose;
    geometry_msgs::msg::TransformStamped frame;
    frame.header.stamp = now();
    frame.header.frame_id = frame_id;
    frame.child_frame_id = "cam_" + std::to_string(cam_id) + "_trash_pose_" + std::to_string(k + 1);
    frame.transform.translation.x = pose.position.x;
    frame.transform.translation.y = pose.position.y;
    frame.transform.translation.z = pose.position.z;
    frame.transform.rotation = pose.orientation;
    frames.push_back(frame);
  }
  return frames;
}

visualization_msgs::msg::MarkerArray MakeObbMarkers(
  const std::vector<orvanite_protocol::msg::TrashInfo> & records, const std::string & frame_id,
  int cam_id, const StampSource & now)
{
  visualization_msgs::msg::MarkerArray markers;
  const std::string ns = "cam_" + std::to_string(cam_id) + "_trash_obb";
  for (std::size_t k = 0; k < records.size(); ++k) {
    const auto & record = records[k];
    Marker marker = MakeMarker(
      frame_id, now, ns, static_cast<int32_t>(k), Marker::CUBE,
      ComposePoses(record.grab_pose, record.obb_pose));
    marker.scale.x = record.obb_size[0];
    marker.scale.y = record.obb_size[1];
    marker.scale.z = record.obb_size[2];
    marker.color.r = 0.0f;
    marker.color.g = 1.0f;
    marker.color.b = 0.0f;
    marker.color.a = 0.36f;
    markers.markers.push_back(marker);
  }
  return markers;
}

visualization_msgs::msg::MarkerArray MakePoseMarkers(
  const std::vector<orvanite_protocol::msg::TrashInfo> & records, const std::string & frame_id,
  const StampSource & now)
{
  visualization_msgs::msg::MarkerArray markers;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const auto & grab = records[k].grab_pose;
    const auto id = static_cast<int32_t>(k);
    Marker x_arrow = MakeMarker(frame_id, now, "trash_pose_x", id, Marker::ARROW, grab);
    SetArrowLook(x_arrow, 1.0f, 0.0f, 0.0f);
    markers.markers.push_back(x_arrow);

    geometry_msgs::msg::Pose z_pose = grab;
    z_pose.orientation = ZArrowOrientation(grab.orientation);
    Marker z_arrow = MakeMarker(frame_id, now, "trash_pose_z", id, Marker::ARROW, z_pose);
    SetArrowLook(z_arrow, 0.0f, 0.0f, 1.0f);
    markers.markers.push_back(z_arrow);
  }
  return markers;
}
}  // namespace orvanite
