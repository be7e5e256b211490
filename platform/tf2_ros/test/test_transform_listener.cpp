#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
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

// Returns once the listener feeding `buffer` has stored a transform, which proves its thread is
// spinning: from then on destroying the listener is safe.
void waitUntilListening(tf2_ros::Buffer & buffer)
{
  const auto node = std::make_shared<rclcpp::Node>("listener_probe");
  tf2_ros::TransformBroadcaster broadcaster(node);
  broadcaster.sendTransform(makeTransform("probe_parent", "probe_child", 0.0));
  ASSERT_TRUE(buffer.canTransform("probe_parent", "probe_child", tf2::TimePointZero, kPatience));
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
  waitUntilListening(*buffer);
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

// Builds a listener, runs `before_failing`, then throws, as a node constructor that fails after
// creating its listener does.
struct FailingComponent
{
  FailingComponent(tf2_ros::Buffer & buffer, const std::function<void()> & before_failing)
  : listener(std::make_shared<tf2_ros::TransformListener>(buffer))
  {
    before_failing();
    throw std::runtime_error("configuration refused");
  }
  std::shared_ptr<tf2_ros::TransformListener> listener;
};

// The one-line error of each hazard: the situation, then what Humble would do.
constexpr char kNotSpinningYet[] =
  "ERROR: tf2_ros::TransformListener destroyed before its spin thread entered spin\\(\\).*"
  "cancel\\(\\) is lost.*never returns";
constexpr char kUnwinding[] =
  "ERROR: tf2_ros::TransformListener destroyed while an exception unwinds.*cancel\\(\\) is "
  "lost.*never returns";

TEST(TransformListenerDeathTest, DestroyedBeforeItsThreadSpinsAborts)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A listener destroyed right after construction almost always beats its thread into spin();
  // the loop only makes the outcome independent of one scheduling decision.
  EXPECT_DEATH(
    {
      for (int attempt = 0; attempt < 1000; ++attempt) {
        const auto buffer = makeBuffer();
        tf2_ros::TransformListener listener(*buffer);
      }
      std::exit(0);
    },
    kNotSpinningYet);
}

TEST(TransformListenerDeathTest, DestroyedWhileAnExceptionUnwindsAborts)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case
  {
    const char * what;
    std::function<void(tf2_ros::Buffer &)> before_failing;
  };
  const Case cases[] = {
    {"fresh listener", [](tf2_ros::Buffer &) {}},
    {"spinning listener", [](tf2_ros::Buffer & buffer) { waitUntilListening(buffer); }},
  };
  for (const Case & c : cases) {
    EXPECT_DEATH(
      {
        const auto buffer = makeBuffer();
        try {
          FailingComponent component(*buffer, [&] { c.before_failing(*buffer); });
        } catch (const std::runtime_error &) {
        }
      },
      kUnwinding)
      << c.what;
  }
}

TEST(TransformListenerDeathTest, AfterShutdownDestructionIsSafe)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
    {
      const auto buffer = makeBuffer();
      auto listener = std::make_unique<tf2_ros::TransformListener>(*buffer);
      rclcpp::shutdown();
      listener.reset();
      std::exit(0);
    },
    ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
    {
      const auto buffer = makeBuffer();
      try {
        FailingComponent component(*buffer, [] { rclcpp::shutdown(); });
      } catch (const std::runtime_error &) {
      }
      std::exit(0);
    },
    ::testing::ExitedWithCode(0), "");
}
}  // namespace
