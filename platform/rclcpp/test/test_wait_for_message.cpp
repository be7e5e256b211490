// wait_for_message and entity creation on a context that has shut down.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "rclcpp/rclcpp.hpp"
#include "rclcpp/wait_for_message.hpp"
#include "test_helpers.hpp"

using test_helpers::make_msg;
using test_helpers::Msg;

namespace
{

// A context of its own, so that shutting it down leaves the test binary's context alone.
struct PrivateGraph
{
  rclcpp::Context::SharedPtr context = std::make_shared<rclcpp::Context>();
  rclcpp::Node::SharedPtr node;

  PrivateGraph()
  {
    context->init(0, nullptr);
    node = std::make_shared<rclcpp::Node>("waiter", rclcpp::NodeOptions().context(context));
  }
};

}  // namespace

TEST(WaitForMessage, TakesAQueuedOrLaterMessageWithoutTheCallback)
{
  auto node = std::make_shared<rclcpp::Node>("wait_node");
  bool callback_ran = false;
  auto sub = node->create_subscription<Msg>(
    "info", 1, [&callback_ran](Msg::ConstSharedPtr) { callback_ran = true; });
  auto pub = node->create_publisher<Msg>("info", 1);
  pub->publish(make_msg("queued"));
  Msg out;
  auto context = node->get_node_options().context();
  ASSERT_TRUE(rclcpp::wait_for_message(out, sub, context, std::chrono::seconds(5)));
  EXPECT_EQ(out.frame_id, "queued");

  std::thread later([&pub] { pub->publish(make_msg("later")); });
  EXPECT_TRUE(rclcpp::wait_for_message(out, sub, context, std::chrono::seconds(60)));
  later.join();
  EXPECT_EQ(out.frame_id, "later");
  EXPECT_FALSE(callback_ran);
}

TEST(WaitForMessage, FalseAtTheTimeout)
{
  auto node = std::make_shared<rclcpp::Node>("timeout_node");
  auto sub = node->create_subscription<Msg>("silent", 1, [](Msg::ConstSharedPtr) {});
  Msg out;
  EXPECT_FALSE(rclcpp::wait_for_message(
    out, sub, node->get_node_options().context(), std::chrono::milliseconds(30)));
  EXPECT_FALSE(rclcpp::wait_for_message(out, node, "silent", std::chrono::milliseconds(30)));
}

TEST(WaitForMessage, NodeOverloadSubscribesForTheWait)
{
  auto node = std::make_shared<rclcpp::Node>("overload_node");
  auto pub = node->create_publisher<Msg>("camera_info", 1);
  auto waiting = std::async(std::launch::async, [&node] {
    Msg out;
    const bool got = rclcpp::wait_for_message(out, node, "camera_info", std::chrono::seconds(60));
    return got ? out.frame_id : std::string("none");
  });
  // Publish until the wait's own subscription exists and has taken a message.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (waiting.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready &&
         std::chrono::steady_clock::now() < deadline) {
    pub->publish(make_msg("intrinsics"));
  }
  EXPECT_EQ(waiting.get(), "intrinsics");
}

TEST(WaitForMessage, ShutdownEndsTheWaitAtOnce)
{
  PrivateGraph graph;
  auto sub = graph.node->create_subscription<Msg>("never", 1, [](Msg::ConstSharedPtr) {});
  auto waiting = std::async(std::launch::async, [&] {
    Msg out;
    return rclcpp::wait_for_message(out, sub, graph.context, std::chrono::seconds(60));
  });
  graph.context->shutdown("test");
  ASSERT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_FALSE(waiting.get());
}

TEST(WaitForMessage, EntitiesOnAShutDownContextThrow)
{
  PrivateGraph graph;
  EXPECT_TRUE(graph.context->shutdown("test"));
  EXPECT_FALSE(graph.context->shutdown("again"));
  try {
    graph.node->create_subscription<Msg>("late", 1, [](Msg::ConstSharedPtr) {});
    ADD_FAILURE() << "no exception";
  } catch (const rclcpp::exceptions::RCLError & e) {
    EXPECT_NE(std::string(e.what()).find("/late"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("shut down"), std::string::npos) << e.what();
  }
  EXPECT_THROW(graph.node->create_publisher<Msg>("late", 1), rclcpp::exceptions::RCLError);
  EXPECT_THROW(
    rclcpp::Node("too_late", rclcpp::NodeOptions().context(graph.context)),
    rclcpp::exceptions::RCLError);
}
