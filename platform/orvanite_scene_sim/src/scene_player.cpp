#include "orvanite_scene_sim/scene_player.hpp"

#include <chrono>
#include <stdexcept>

#include "orvanite_scene_sim/camera_topics.hpp"
#include "orvanite_scene_sim/messages.hpp"
#include "orvanite_scene_sim/renderer.hpp"

namespace orvanite_scene_sim
{

namespace
{
// A driver's usual depth: subscribers that fall behind lose the oldest frames.
const rclcpp::QoS kSensorQos(10);
}  // namespace

ScenePlayer::ScenePlayer(const Scene & scene, double rate_hz)
{
  if (!(rate_hz > 0.0)) {
    throw std::invalid_argument("the scene player's rate must be greater than 0 Hz");
  }
  node_ = std::make_shared<rclcpp::Node>("orvanite_scene_player");
  const builtin_interfaces::msg::Time start = node_->get_clock()->now();
  for (const Camera & camera : scene.cameras) {
    const RenderedFrame frame = Render(scene, camera);
    const CameraTopics topics = TopicsOf(camera);
    CameraStream stream;
    stream.rgb = ToImageMsg(frame.rgb, camera.frame_id, start);
    stream.depth = ToImageMsg(frame.depth_mm, camera.frame_id, start);
    stream.camera_info = ToCameraInfo(camera, start);
    stream.rgb_pub = node_->create_publisher<sensor_msgs::msg::Image>(topics.rgb, kSensorQos);
    stream.depth_pub = node_->create_publisher<sensor_msgs::msg::Image>(topics.depth, kSensorQos);
    stream.camera_info_pub =
      node_->create_publisher<sensor_msgs::msg::CameraInfo>(topics.camera_info, kSensorQos);
    streams_.push_back(std::move(stream));
  }
  static_broadcaster_ = std::make_unique<tf2_ros::StaticTransformBroadcaster>(node_);
  static_broadcaster_->sendTransform(ToTransforms(scene, start));

  const auto period = std::chrono::duration_cast<std::chrono::nanoseconds>(
    std::chrono::duration<double>(1.0 / rate_hz));
  timer_ = node_->create_wall_timer(period, [this]() { PublishFrames(); });
  executor_.add_node(node_);
  spinner_ = std::thread(
    [this, stopped = stop_.get_future()]() { executor_.spin_until_future_complete(stopped); });
}

ScenePlayer::~ScenePlayer()
{
  stop_.set_value();
  executor_.cancel();
  spinner_.join();
}

void ScenePlayer::PublishFrames()
{
  const builtin_interfaces::msg::Time stamp = node_->get_clock()->now();
  for (CameraStream & stream : streams_) {
    stream.rgb.header.stamp = stamp;
    stream.depth.header.stamp = stamp;
    stream.camera_info.header.stamp = stamp;
    stream.rgb_pub->publish(stream.rgb);
    stream.depth_pub->publish(stream.depth);
    stream.camera_info_pub->publish(stream.camera_info);
  }
  ++ticks_;
}

}  // namespace orvanite_scene_sim
