// Delivery and QoS matching between publishers and subscriptions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "test_helpers.hpp"

using test_helpers::Inbox;
using test_helpers::make_msg;
using test_helpers::Msg;

namespace
{

std::vector<std::string> drain(const rclcpp::Node::SharedPtr & node)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  executor.spin_some();
  executor.remove_node(node);
  return {};
}

}  // namespace

TEST(Publisher, PublishingRunsNoCallbackAndSpinningDelivers)
{
  auto node = std::make_shared<rclcpp::Node>("publisher_test");
  Inbox inbox;
  auto sub = node->create_subscription<Msg>(
    "chatter", 10, [&inbox](const Msg::ConstSharedPtr & msg) { inbox.add(msg->frame_id); });
  auto pub = node->create_publisher<Msg>("chatter", 10);
  pub->publish(make_msg("a"));
  pub->publish(std::make_unique<Msg>(make_msg("b")));
  EXPECT_TRUE(inbox.items().empty());
  drain(node);
  EXPECT_EQ(inbox.items(), (std::vector<std::string>{"a", "b"}));
}

TEST(Publisher, EveryCallbackFormReceivesTheMessage)
{
  auto node = std::make_shared<rclcpp::Node>("callback_forms");
  Inbox inbox;
  std::vector<rclcpp::SubscriptionBase::SharedPtr> subs;
  subs.push_back(node->create_subscription<Msg>(
    "forms", 10, [&](const Msg & m) { inbox.add("ref:" + m.frame_id); }));
  subs.push_back(node->create_subscription<Msg>(
    "forms", 10,
    [&](const Msg & m, const rclcpp::MessageInfo &) { inbox.add("ref_info:" + m.frame_id); }));
  subs.push_back(node->create_subscription<Msg>(
    "forms", 10, [&](Msg::ConstSharedPtr m) { inbox.add("shared:" + m->frame_id); }));
  subs.push_back(node->create_subscription<Msg>(
    "forms", 10, [&](const Msg::ConstSharedPtr & m, const rclcpp::MessageInfo &) {
      inbox.add("shared_info:" + m->frame_id);
    }));
  subs.push_back(node->create_subscription<Msg>(
    "forms", 10, [&](std::unique_ptr<Msg> m) { inbox.add("unique:" + m->frame_id); }));
  auto pub = node->create_publisher<Msg>("forms", 10);
  pub->publish(make_msg("x"));
  drain(node);
  auto items = inbox.items();
  std::sort(items.begin(), items.end());
  EXPECT_EQ(
    items,
    (std::vector<std::string>{"ref:x", "ref_info:x", "shared:x", "shared_info:x", "unique:x"}));
}
