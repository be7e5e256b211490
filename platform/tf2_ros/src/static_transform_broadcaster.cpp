#include "tf2_ros/static_transform_broadcaster.h"

#include <algorithm>

namespace tf2_ros
{
void StaticTransformBroadcaster::sendTransform(
  const geometry_msgs::msg::TransformStamped & transform)
{
  sendTransform(std::vector<geometry_msgs::msg::TransformStamped>{transform});
}

void StaticTransformBroadcaster::sendTransform(
  const std::vector<geometry_msgs::msg::TransformStamped> & transforms)
{
  auto & known = net_message_.transforms;
  for (const auto & transform : transforms) {
    const auto same_child = std::find_if(known.begin(), known.end(), [&](const auto & entry) {
      return entry.child_frame_id == transform.child_frame_id;
    });
    if (same_child == known.end()) {
      known.push_back(transform);
    } else {
      *same_child = transform;
    }
  }
  publisher_->publish(net_message_);
}
}  // namespace tf2_ros
