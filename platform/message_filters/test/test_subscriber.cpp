// Subscriber and Synchronizer wired to rclcpp as a camera node wires them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "message_filters/subscriber.h"
#include "message_filters/sync_policies/approximate_time.h"
#include "message_filters/synchronizer.h"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/image.hpp"

namespace
{

using Image = sensor_msgs::msg::Image;
using Policy = message_filters::sync_policies::ApproximateTime<Image, Image>;

class RclcppFixture : public ::testing::Test
{
public:
  static void SetUpTestSuite() { rclcpp::init(0, nullptr); }
  static void TearDownTestSuite() { rclcpp::shutdown(); }
};

Image image_at(int seconds, const std::string & encoding)
{
  Image image;
  image.header.stamp.sec = seconds;
  image.encoding = encoding;
  return image;
}

// Holds its inputs and synchroniser the way the detection node does.
class Camera
{
public:
  explicit Camera(const rclcpp::Node::SharedPtr & node) : node_(node)
  {
    rgb_sub_.subscribe(node_, "color", rmw_qos_profile_default);
    depth_sub_.subscribe(node_.get(), "depth", rmw_qos_profile_default);
    sync_ =
      std::make_shared<message_filters::Synchronizer<Policy>>(Policy(10), rgb_sub_, depth_sub_);
    sync_->registerCallback(
      std::bind(&Camera::on_pair, this, std::placeholders::_1, std::placeholders::_2));
    sync_->registerCallback(&Camera::on_pair_by_value, this);
  }

  std::vector<std::string> pairs;
  int by_value_calls = 0;
  message_filters::Subscriber<Image, rclcpp::Node> rgb_sub_;
  message_filters::Subscriber<Image, rclcpp::Node> depth_sub_;

private:
  void on_pair(const Image::ConstSharedPtr & rgb, const Image::ConstSharedPtr & depth)
  {
    pairs.push_back(
      rgb->encoding + std::to_string(rgb->header.stamp.sec) + "+" + depth->encoding +
      std::to_string(depth->header.stamp.sec));
  }
  void on_pair_by_value(Image::ConstSharedPtr, Image::ConstSharedPtr) { ++by_value_calls; }

  rclcpp::Node::SharedPtr node_;
  std::shared_ptr<message_filters::Synchronizer<Policy>> sync_;
};

}  // namespace

TEST_F(RclcppFixture, SynchronizedPairsReachBothCallbackForms)
{
  auto node = std::make_shared<rclcpp::Node>("camera", "cam1");
  Camera camera(node);
  EXPECT_EQ(camera.rgb_sub_.getTopic(), "/cam1/color");
  ASSERT_TRUE(camera.depth_sub_.getSubscriber());
  auto rgb_pub = node->create_publisher<Image>("color", 10);
  auto depth_pub = node->create_publisher<Image>("/cam1/depth", 10);
  for (int t : {0, 3, 6}) {
    rgb_pub->publish(image_at(t, "rgb8"));
    depth_pub->publish(image_at(t, "16UC1"));
  }
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  executor.spin_some();
  EXPECT_EQ(
    camera.pairs, (std::vector<std::string>{"rgb80+16UC10", "rgb83+16UC13", "rgb86+16UC16"}));
  EXPECT_EQ(camera.by_value_calls, 3);
}

TEST_F(RclcppFixture, SubscriberPassesMessagesToItsOwnCallbacks)
{
  auto node = std::make_shared<rclcpp::Node>("plain");
  message_filters::Subscriber<Image> sub(node, "images", rmw_qos_profile_sensor_data);
  std::vector<int> stamps;
  sub.registerCallback(
    [&stamps](const Image::ConstSharedPtr & m) { stamps.push_back(m->header.stamp.sec); });
  auto pub = node->create_publisher<Image>("images", rclcpp::SensorDataQoS());
  pub->publish(image_at(4, "mono8"));
  rclcpp::spin_some(node);
  sub.unsubscribe();
  pub->publish(image_at(5, "mono8"));
  rclcpp::spin_some(node);
  EXPECT_EQ(stamps, (std::vector<int>{4}));
  EXPECT_THROW(
    message_filters::Subscriber<Image>(node, "bad//topic"),
    rclcpp::exceptions::InvalidTopicNameError);
}
