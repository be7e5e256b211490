#include "orvanite_scene_sim/messages.hpp"

#include <stdexcept>

namespace orvanite_scene_sim
{

namespace
{

geometry_msgs::msg::TransformStamped ToTransform(
  const Eigen::Isometry3d & child_in_parent, const std::string & parent, const std::string & child,
  const builtin_interfaces::msg::Time & stamp)
{
  geometry_msgs::msg::TransformStamped message;
  message.header.stamp = stamp;
  message.header.frame_id = parent;
  message.child_frame_id = child;
  const Eigen::Vector3d t = child_in_parent.translation();
  const Eigen::Quaterniond q(child_in_parent.linear());
  message.transform.translation.x = t.x();
  message.transform.translation.y = t.y();
  message.transform.translation.z = t.z();
  message.transform.rotation.x = q.x();
  message.transform.rotation.y = q.y();
  message.transform.rotation.z = q.z();
  message.transform.rotation.w = q.w();
  return message;
}

}  // namespace

sensor_msgs::msg::Image ToImageMsg(
  const cv::Mat & image, const std::string & frame_id, const builtin_interfaces::msg::Time & stamp)
{
  sensor_msgs::msg::Image message;
  if (image.type() == CV_8UC3) {
    message.encoding = "rgb8";
  } else if (image.type() == CV_16UC1) {
    message.encoding = "16UC1";
  } else {
    throw std::invalid_argument("only CV_8UC3 and CV_16UC1 images become messages");
  }
  message.header.stamp = stamp;
  message.header.frame_id = frame_id;
  message.height = static_cast<std::uint32_t>(image.rows);
  message.width = static_cast<std::uint32_t>(image.cols);
  message.is_bigendian = 0;
  message.step = static_cast<std::uint32_t>(image.cols * image.elemSize());
  const cv::Mat packed = image.isContinuous() ? image : image.clone();
  message.data.assign(packed.data, packed.data + packed.total() * packed.elemSize());
  return message;
}

sensor_msgs::msg::CameraInfo ToCameraInfo(
  const Camera & camera, const builtin_interfaces::msg::Time & stamp)
{
  const Intrinsics & k = camera.intrinsics;
  sensor_msgs::msg::CameraInfo message;
  message.header.stamp = stamp;
  message.header.frame_id = camera.frame_id;
  message.width = static_cast<std::uint32_t>(k.width);
  message.height = static_cast<std::uint32_t>(k.height);
  message.distortion_model = "plumb_bob";
  message.d.assign(5, 0.0);
  message.k = {k.fx, 0.0, k.cx, 0.0, k.fy, k.cy, 0.0, 0.0, 1.0};
  message.r = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
  message.p = {k.fx, 0.0, k.cx, 0.0, 0.0, k.fy, k.cy, 0.0, 0.0, 0.0, 1.0, 0.0};
  return message;
}

std::vector<geometry_msgs::msg::TransformStamped> ToTransforms(
  const Scene & scene, const builtin_interfaces::msg::Time & stamp)
{
  std::vector<geometry_msgs::msg::TransformStamped> transforms;
  transforms.push_back(
    ToTransform(scene.arm_base_in_map, scene.frames.map, scene.frames.arm_base, stamp));
  for (const Camera & camera : scene.cameras) {
    transforms.push_back(
      ToTransform(camera.pose_in_arm_base, scene.frames.arm_base, camera.frame_id, stamp));
  }
  return transforms;
}

}  // namespace orvanite_scene_sim
