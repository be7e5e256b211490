#include "camera_detection_node/frame/trash_record.hpp"

#include <kdl/frames.hpp>

#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace orvanite
{
namespace
{
KDL::Frame ToFrame(const geometry_msgs::msg::Quaternion & q, double x, double y, double z)
{
  return KDL::Frame(KDL::Rotation::Quaternion(q.x, q.y, q.z, q.w), KDL::Vector(x, y, z));
}

geometry_msgs::msg::Pose ToPoseMsg(const KDL::Frame & frame)
{
  geometry_msgs::msg::Pose pose;
  pose.position.x = frame.p.x();
  pose.position.y = frame.p.y();
  pose.position.z = frame.p.z();
  frame.M.GetQuaternion(
    pose.orientation.x, pose.orientation.y, pose.orientation.z, pose.orientation.w);
  return pose;
}

KDL::Frame ToFrame(const geometry_msgs::msg::Pose & pose)
{
  return ToFrame(pose.orientation, pose.position.x, pose.position.y, pose.position.z);
}

// The label's and the axis type's low 8 bits, as the record's fields hold them.
orvanite_protocol::msg::TrashInfo MakeTrashInfo(int label, int main_axis_type)
{
  orvanite_protocol::msg::TrashInfo info;
  info.class_index = static_cast<uint8_t>(label);
  info.reserved = 0;
  info.main_axis_type = static_cast<uint8_t>(main_axis_type);
  return info;
}

void SetObbSize(orvanite_protocol::msg::TrashInfo & info, const std::array<float, 3> & size)
{
  for (std::size_t i = 0; i < size.size(); ++i) {
    info.obb_size[i] = static_cast<double>(size[i]);
  }
}
}  // namespace

geometry_msgs::msg::Pose ToPoseMsg(const orvanite::GrabPose & pose)
{
  geometry_msgs::msg::Pose msg;
  msg.position.x = static_cast<double>(pose.position.x());
  msg.position.y = static_cast<double>(pose.position.y());
  msg.position.z = static_cast<double>(pose.position.z());
  msg.orientation.x = pose.orientation.x();
  msg.orientation.y = pose.orientation.y();
  msg.orientation.z = pose.orientation.z();
  msg.orientation.w = pose.orientation.w();
  return msg;
}

geometry_msgs::msg::Pose ComposePoses(
  const geometry_msgs::msg::Pose & outer, const geometry_msgs::msg::Pose & inner)
{
  return ToPoseMsg(ToFrame(outer) * ToFrame(inner));
}

geometry_msgs::msg::Pose ComposePoses(
  const geometry_msgs::msg::Transform & outer, const geometry_msgs::msg::Pose & inner)
{
  const auto & t = outer.translation;
  return ToPoseMsg(ToFrame(outer.rotation, t.x, t.y, t.z) * ToFrame(inner));
}

orvanite_protocol::msg::TrashInfo MakeGraspTrashInfo(int label, const GrabPoseEstimate & estimate)
{
  auto info = MakeTrashInfo(label, estimate.main_axis_type_);
  info.is_transparent = false;
  info.grab_pose = ToPoseMsg(estimate.grab_pose_);
  info.obb_pose = ToPoseMsg(estimate.obb_pose_);
  SetObbSize(info, estimate.pca_size_);
  return info;
}

orvanite_protocol::msg::TrashInfo MakeCloudTrashInfo(
  int label, bool is_transparent, const std::array<float, 3> & pca_size)
{
  auto info = MakeTrashInfo(label, 0);
  info.is_transparent = is_transparent;
  SetObbSize(info, pca_size);
  return info;
}
}  // namespace orvanite
