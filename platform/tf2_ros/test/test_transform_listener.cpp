#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/executors/single_threaded_executor.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/utilities.hpp"
#include "tf2_ros/buffer.h"
#include "tf2_ros/static_transform_broadcaster.h"
#include "tf2_ros/transform_broadcaster.h"
#include "tf2_ros/transform_listener.h"

namespace
{
// Bounds every wait of these tests; reached only when delivery is broken.
const tf2::Duration kPatience = std::chrono::seconds(30);

class RclcppEnvironment : public ::testing::Environment
{
public:
  void SetUp() override { rclcpp::init(0, nullptr); }
  void TearDown() override { rclcpp::shutdown(); }
};
const auto * const environment = ::testing::AddGlobalTestEnvironment(new RclcppEnvironment);

geometry_msgs::msg::TransformStamped makeTransform(
  const std::string & parent, const std::string & child, double x)
{
  geometry_msgs::msg::TransformStamped t;
  t.header.stamp.sec = 100;
  t.header.frame_id = parent;
  t.child_frame_id = child;
  t.transform.translation.x = x;
  return t;
}

std::shared_ptr<tf2_ros::Buffer> makeBuffer()
{
  return std::make_shared<tf2_ros::Buffer>(std::make_shared<rclcpp::Clock>());
}

TEST(TransformListener, WaitingLookUpReturnsOnceItsThreadReceivesTheTransform)
{
  using Factory = std::function<std::unique_ptr<tf2_ros::TransformListener>(
    tf2::BufferCore &, const rclcpp::Node::SharedPtr &)>;
  const std::pair<const char *, Factory> factories[] = {
    {"own node",
     [](tf2::BufferCore & buffer, const rclcpp::Node::SharedPtr &) {
       return std::make_unique<tf2_ros::TransformListener>(buffer);
     }},
    {"given node",
     [](tf2::BufferCore & buffer, const rclcpp::Node::SharedPtr & node) {
       return std::make_unique<tf2_ros::TransformListener>(buffer, node);
     }},
  };
  for (const auto & [name, factory] : factories) {
    const auto node = std::make_shared<rclcpp::Node>("tf_user");
    const auto buffer = makeBuffer();
    const auto listener = factory(*buffer, node);
    EXPECT_TRUE(buffer->isUsingDedicatedThread()) << name;

    auto looked_up = std::async(std::launch::async, [&buffer] {
      return buffer->lookupTransform("map", "odom", tf2::TimePointZero, kPatience);
    });
    tf2_ros::TransformBroadcaster broadcaster(*node);
    broadcaster.sendTransform(makeTransform("map", "odom", 2.5));
    const geometry_msgs::msg::TransformStamped result = looked_up.get();
    EXPECT_EQ(result.header.frame_id, "map") << name;
    EXPECT_EQ(result.child_frame_id, "odom") << name;
    EXPECT_EQ(result.header.stamp.sec, 100) << name;
    EXPECT_DOUBLE_EQ(result.transform.translation.x, 2.5) << name;
  }
}

TEST(TransformListener, WithoutSpinThreadTheGivenNodesExecutorDelivers)
{
  const auto node = std::make_shared<rclcpp::Node>("tf_user_spinning_itself");
  const auto buffer = makeBuffer();
  tf2_ros::TransformListener listener(*buffer, node, false);
  EXPECT_FALSE(buffer->isUsingDedicatedThread());

  tf2_ros::TransformBroadcaster broadcaster(node);
  broadcaster.sendTransform(makeTransform("map", "odom", 1.5));
  EXPECT_FALSE(buffer->canTransform("map", "odom", tf2::TimePointZero));
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  executor.spin_some();
  ASSERT_TRUE(buffer->canTransform("map", "odom", tf2::TimePointZero));
  EXPECT_DOUBLE_EQ(
    buffer->lookupTransform("map", "odom", tf2::TimePointZero).transform.translation.x, 1.5);
}

TEST(TransformListener, WaitGivesUpAtTheTimeout)
{
  const auto buffer = makeBuffer();
  tf2_ros::TransformListener listener(*buffer);
  const tf2::Duration short_wait = std::chrono::milliseconds(50);
  std::string why;
  EXPECT_FALSE(buffer->canTransform("nowhere", "map", tf2::TimePointZero, short_wait, &why));
  EXPECT_NE(why.find("nowhere"), std::string::npos) << why;
  EXPECT_THROW(
    buffer->lookupTransform("nowhere", "map", tf2::TimePointZero, short_wait),
    tf2::LookupException);
}

TEST(StaticTransformBroadcaster, LatchesTheAccumulatedSetByChildFrame)
{
  const auto publisher_node = std::make_shared<rclcpp::Node>("static_tf_publisher");
  tf2_ros::StaticTransformBroadcaster broadcaster(publisher_node);
  broadcaster.sendTransform(makeTransform("base", "camera", 1.0));
  broadcaster.sendTransform(makeTransform("base", "laser", 2.0));
  broadcaster.sendTransform(std::vector{makeTransform("base", "camera", 3.0)});

  // A subscriber that joins afterwards gets one latched message with one entry per child.
  const auto probe = std::make_shared<rclcpp::Node>("static_tf_probe");
  std::promise<tf2_msgs::msg::TFMessage> received;
  bool first = true;
  const auto subscription = probe->create_subscription<tf2_msgs::msg::TFMessage>(
    "/tf_static", tf2_ros::StaticListenerQoS(),
    [&](const tf2_msgs::msg::TFMessage::ConstSharedPtr & message) {
      if (std::exchange(first, false)) {
        received.set_value(*message);
      }
    });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(probe);
  std::thread spinner([&executor] { executor.spin(); });
  auto latched = received.get_future();
  const bool arrived = latched.wait_for(kPatience) == std::future_status::ready;
  executor.cancel();
  spinner.join();
  ASSERT_TRUE(arrived);
  const auto message = latched.get();
  ASSERT_EQ(message.transforms.size(), 2u);
  EXPECT_EQ(message.transforms[0].child_frame_id, "camera");
  EXPECT_DOUBLE_EQ(message.transforms[0].transform.translation.x, 3.0);
  EXPECT_EQ(message.transforms[1].child_frame_id, "laser");

  // A late listener stores them as static: valid at any time.
  const auto buffer = makeBuffer();
  tf2_ros::TransformListener listener(*buffer, publisher_node.get());
  ASSERT_TRUE(buffer->canTransform("camera", "laser", tf2::TimePointZero, kPatience));
  const auto laser_in_camera = buffer->lookupTransform("camera", "laser", tf2::timeFromSec(9e6));
  EXPECT_DOUBLE_EQ(laser_in_camera.transform.translation.x, -1.0);
}
}  // namespace
