// A streaming camera on a shipped scene: its GrabTrashCloud message carries one record and one
// raw cloud per visible piece of litter.
#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <orvanite_protocol/msg/grab_trash_cloud.hpp>

#include "e2e_support.hpp"
#include "orvanite_scene_sim/renderer.hpp"

namespace orvanite_demo_test
{
namespace
{
using orvanite_protocol::msg::GrabTrashCloud;

// Published relative to the camera node, which has no namespace.
constexpr char kTopic[] = "/orvanite_arm_trash_detect/grab_trash_cloud";

TEST(Streaming, OneRecordAndCloudPerVisibleObject)
{
  const auto scene = ShippedScene("several_litter");
  const auto view = orvanite_scene_sim::Render(scene, scene.cameras.at(0));
  std::vector<int> visible_labels;
  for (std::size_t i = 0; i < scene.objects.size(); ++i) {
    if (cv::countNonZero(view.object_index == static_cast<int>(i)) > 0) {
      visible_labels.push_back(scene.objects[i].label);
    }
  }
  ASSERT_EQ(visible_labels.size(), scene.objects.size());

  const auto listener = std::make_shared<rclcpp::Node>("grab_trash_cloud_listener");
  std::promise<GrabTrashCloud> first;
  bool received = false;
  const auto subscription = listener->create_subscription<GrabTrashCloud>(
    kTopic, rclcpp::QoS(10), [&first, &received](GrabTrashCloud::ConstSharedPtr message) {
      if (!received) {
        received = true;
        first.set_value(*message);
      }
    });
  orvanite_demo::SessionOptions options;
  options.overlay.streaming = true;
  options.overlay.debug = false;
  Session session(scene, options);
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(listener);
  auto future = first.get_future();
  ASSERT_EQ(
    executor.spin_until_future_complete(future, std::chrono::seconds(30)),
    rclcpp::FutureReturnCode::SUCCESS);
  const GrabTrashCloud message = future.get();

  EXPECT_EQ(message.cam_id, 1);
  EXPECT_EQ(message.frame_id, scene.cameras[0].frame_id);
  ASSERT_EQ(message.trash_infos.size(), message.trash_clouds.size());
  std::vector<int> labels;
  for (const auto & info : message.trash_infos) {
    labels.push_back(info.class_index);
  }
  std::sort(labels.begin(), labels.end());
  std::sort(visible_labels.begin(), visible_labels.end());
  EXPECT_EQ(labels, visible_labels);
  for (const auto & cloud : message.trash_clouds) {
    EXPECT_GE(cloud.width * cloud.height, 50U);
  }
}

}  // namespace
}  // namespace orvanite_demo_test

int main(int argc, char ** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new orvanite_demo_test::RclcppEnvironment);
  return RUN_ALL_TESTS();
}
