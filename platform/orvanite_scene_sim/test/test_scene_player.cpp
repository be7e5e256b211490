// The player publishes what a depth camera driver and a TF publisher would: each camera's frames
// again and again with fresh stamps, its camera info, and the scene's transforms as static TF.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <rclcpp/rclcpp.hpp>
#include <tf2_msgs/msg/tf_message.hpp>

#include "orvanite_scene_sim/camera_topics.hpp"
#include "orvanite_scene_sim/renderer.hpp"
#include "orvanite_scene_sim/scene_loader.hpp"
#include "orvanite_scene_sim/scene_player.hpp"

namespace orvanite_scene_sim
{
namespace
{
using sensor_msgs::msg::CameraInfo;
using sensor_msgs::msg::Image;

// Spins `node` until `done` holds; false when 10 s pass first.
bool SpinUntil(const std::shared_ptr<rclcpp::Node> & node, const std::function<bool()> & done)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    executor.spin_some(std::chrono::milliseconds(50));
  }
  return true;
}

TEST(ScenePlayer, PublishesFramesWithFreshStampsCameraInfoAndStaticTransforms)
{
  rclcpp::init(0, nullptr);
  {
    const Scene scene = LoadScene(std::string(SCENES_DIR) + "/lying_paper.yaml");
    const Camera & camera = scene.cameras.at(0);
    const CameraTopics topics = TopicsOf(camera);
    const auto node = std::make_shared<rclcpp::Node>("scene_player_listener");
    std::vector<Image> colour;
    std::vector<Image> depth;
    std::vector<CameraInfo> info;
    std::vector<tf2_msgs::msg::TFMessage> transforms;
    const auto colour_sub = node->create_subscription<Image>(
      topics.rgb, 10, [&](Image::ConstSharedPtr m) { colour.push_back(*m); });
    const auto depth_sub = node->create_subscription<Image>(
      topics.depth, 10, [&](Image::ConstSharedPtr m) { depth.push_back(*m); });
    const auto info_sub = node->create_subscription<CameraInfo>(
      topics.camera_info, 10, [&](CameraInfo::ConstSharedPtr m) { info.push_back(*m); });
    const auto tf_sub = node->create_subscription<tf2_msgs::msg::TFMessage>(
      "/tf_static", rclcpp::QoS(1).transient_local(),
      [&](tf2_msgs::msg::TFMessage::ConstSharedPtr m) { transforms.push_back(*m); });

    ScenePlayer player(scene, 50.0);
    ASSERT_TRUE(SpinUntil(node, [&]() {
      return colour.size() >= 2 && !depth.empty() && !info.empty() && !transforms.empty();
    }));

    const RenderedFrame frame = Render(scene, camera);
    EXPECT_EQ(colour[0].encoding, "rgb8");
    EXPECT_EQ(colour[0].header.frame_id, camera.frame_id);
    EXPECT_TRUE(std::equal(colour[0].data.begin(), colour[0].data.end(), frame.rgb.data));
    EXPECT_EQ(depth[0].encoding, "16UC1");
    EXPECT_TRUE(std::equal(depth[0].data.begin(), depth[0].data.end(), frame.depth_mm.data));
    EXPECT_LT(rclcpp::Time(colour[0].header.stamp), rclcpp::Time(colour[1].header.stamp));
    EXPECT_EQ(info[0].k[0], camera.intrinsics.fx);
    EXPECT_EQ(info[0].width, static_cast<std::uint32_t>(camera.intrinsics.width));

    ASSERT_EQ(transforms[0].transforms.size(), 2U);
    EXPECT_EQ(transforms[0].transforms[0].header.frame_id, scene.frames.map);
    EXPECT_EQ(transforms[0].transforms[1].child_frame_id, camera.frame_id);
  }
  rclcpp::shutdown();
}

}  // namespace
}  // namespace orvanite_scene_sim
