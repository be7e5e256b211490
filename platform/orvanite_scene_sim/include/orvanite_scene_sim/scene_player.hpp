// A scene played the way camera drivers and a TF publisher would: per camera its colour, depth and
// camera info at a fixed rate with fresh stamps, and the scene's transforms as static TF.
#ifndef ORVANITE_SCENE_SIM__SCENE_PLAYER_HPP_
#define ORVANITE_SCENE_SIM__SCENE_PLAYER_HPP_

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <sensor_msgs/msg/camera_info.hpp>
#include <sensor_msgs/msg/image.hpp>
#include <tf2_ros/static_transform_broadcaster.h>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

class ScenePlayer
{
public:
  // Renders every camera once (the scene is static), sends the transforms of ToTransforms on
  // /tf_static, and publishes one colour, depth and camera-info message per camera every
  // 1 / rate_hz seconds on the topics of TopicsOf, all three with one fresh stamp, from a node
  // that it spins on a thread of its own until it is destroyed. Needs rclcpp::init; throws
  // std::invalid_argument for a rate that is not positive.
  ScenePlayer(const Scene & scene, double rate_hz);
  ~ScenePlayer();

  ScenePlayer(const ScenePlayer &) = delete;
  ScenePlayer & operator=(const ScenePlayer &) = delete;

  // Ticks published so far; every camera publishes once per tick.
  std::uint64_t ticks() const { return ticks_.load(); }

private:
  struct CameraStream
  {
    sensor_msgs::msg::Image rgb;
    sensor_msgs::msg::Image depth;
    sensor_msgs::msg::CameraInfo camera_info;
    rclcpp::Publisher<sensor_msgs::msg::Image>::SharedPtr rgb_pub;
    rclcpp::Publisher<sensor_msgs::msg::Image>::SharedPtr depth_pub;
    rclcpp::Publisher<sensor_msgs::msg::CameraInfo>::SharedPtr camera_info_pub;
  };

  void PublishFrames();

  std::shared_ptr<rclcpp::Node> node_;
  std::vector<CameraStream> streams_;
  std::unique_ptr<tf2_ros::StaticTransformBroadcaster> static_broadcaster_;
  rclcpp::TimerBase::SharedPtr timer_;
  std::atomic<std::uint64_t> ticks_{0};
  rclcpp::executors::SingleThreadedExecutor executor_;
  // Set by the destructor: spinning ends even when cancel() comes before the spin starts.
  std::promise<void> stop_;
  std::thread spinner_;
};

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__SCENE_PLAYER_HPP_
