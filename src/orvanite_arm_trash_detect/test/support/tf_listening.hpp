// Proof that a camera's TF listener is connected, before a test sends it transforms on /tf.
//
// /tf is volatile: a transform sent before the listener's subscription was matched (over DDS,
// discovery takes a while) never reaches the buffer. A test that sends one first waits until the
// listener has taken a probe transform. (Letting a camera go no longer needs this: its listener's
// thread is joined at any moment.)
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__TF_LISTENING_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__TF_LISTENING_HPP_

#include <memory>
#include <stdexcept>

#include <geometry_msgs/msg/transform_stamped.hpp>
#include <rclcpp/rclcpp.hpp>
#include <tf2/time.h>
#include <tf2_ros/buffer.h>
#include <tf2_ros/transform_broadcaster.h>

#include "camera_detection_node/camera_detection_node.hpp"

namespace orvanite_test
{
// Publishes one probe transform on /tf (volatile: only listeners that exist now receive it) and
// waits, bounded, until `buffer` holds it. Throws when it does not arrive.
inline void WaitUntilListening(tf2_ros::Buffer & buffer)
{
  constexpr char kParent[] = "orvanite_test_probe_parent";
  constexpr char kChild[] = "orvanite_test_probe";
  const auto node = std::make_shared<rclcpp::Node>("orvanite_test_tf_probe");
  tf2_ros::TransformBroadcaster broadcaster(node);
  geometry_msgs::msg::TransformStamped probe;
  probe.header.stamp = node->get_clock()->now();
  probe.header.frame_id = kParent;
  probe.child_frame_id = kChild;
  probe.transform.rotation.w = 1.0;
  broadcaster.sendTransform(probe);
  if (!buffer.canTransform(kParent, kChild, tf2::TimePointZero, tf2::durationFromSec(10.0))) {
    throw std::runtime_error("the TF listener did not take the probe transform within 10 s");
  }
}

inline void WaitUntilListening(CameraDetectionNode & camera)
{
  WaitUntilListening(*camera.tf_buffer_);
}
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__TF_LISTENING_HPP_
