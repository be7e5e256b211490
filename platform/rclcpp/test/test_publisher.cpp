// Delivery and QoS matching between publishers and subscriptions.
#include <gtest/gtest.h>

#include <algorithm>
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

// Runs the work that is ready on the node now.
void drain(const rclcpp::Node::SharedPtr & node)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  executor.spin_some();
  executor.remove_node(node);
}

rclcpp::Subscription<Msg>::SharedPtr collect(
  const rclcpp::Node::SharedPtr & node, const std::string & topic, const rclcpp::QoS & qos,
  Inbox & inbox)
{
  return node->create_subscription<Msg>(
    topic, qos, [&inbox](const Msg::ConstSharedPtr & msg) { inbox.add(msg->frame_id); });
}

}  // namespace

TEST(Publisher, PublishingRunsNoCallbackAndSpinningDelivers)
{
  auto node = std::make_shared<rclcpp::Node>("publisher_test");
  Inbox inbox;
  auto sub = collect(node, "chatter", 10, inbox);
  auto pub = node->create_publisher<Msg>("chatter", 10);
  EXPECT_EQ(pub->get_subscription_count(), 1u);
  EXPECT_EQ(sub->get_publisher_count(), 1u);
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

TEST(Publisher, OneMessageIsSharedByAllSubscriptions)
{
  auto node = std::make_shared<rclcpp::Node>("sharing");
  std::vector<const Msg *> seen;
  auto remember = [&seen](const Msg::ConstSharedPtr & m) { seen.push_back(m.get()); };
  auto a = node->create_subscription<Msg>("shared", 10, remember);
  auto b = node->create_subscription<Msg>("shared", 10, remember);
  auto c = node->create_subscription<Msg>("shared", 10, remember);
  auto pub = node->create_publisher<Msg>("shared", 10);
  auto owned = std::make_unique<Msg>(make_msg("big"));
  const Msg * original = owned.get();
  pub->publish(std::move(owned));
  drain(node);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [&](const Msg * m) { return m == original; }));
}

TEST(Publisher, KeepLastDropsTheOldest)
{
  auto node = std::make_shared<rclcpp::Node>("keep_last");
  Inbox inbox;
  auto sub = collect(node, "burst", rclcpp::QoS(3), inbox);
  auto pub = node->create_publisher<Msg>("burst", 10);
  for (const char * text : {"1", "2", "3", "4", "5"}) {
    pub->publish(make_msg(text));
  }
  drain(node);
  EXPECT_EQ(inbox.items(), (std::vector<std::string>{"3", "4", "5"}));
}

TEST(Publisher, TransientLocalHandsTheLastMessagesToALateSubscriber)
{
  auto node = std::make_shared<rclcpp::Node>("latched");
  auto pub = node->create_publisher<Msg>("static", rclcpp::QoS(2).transient_local());
  auto volatile_pub = node->create_publisher<Msg>("plain", rclcpp::QoS(2));
  for (const char * text : {"old", "mid", "new"}) {
    pub->publish(make_msg(text));
    volatile_pub->publish(make_msg(text));
  }
  Inbox late;
  Inbox late_volatile;
  Inbox late_plain;
  auto sub = collect(node, "static", rclcpp::QoS(10).transient_local(), late);
  auto volatile_sub = collect(node, "static", rclcpp::QoS(10), late_volatile);
  auto plain_sub = collect(node, "plain", rclcpp::QoS(10), late_plain);
  drain(node);
  EXPECT_EQ(late.items(), (std::vector<std::string>{"mid", "new"}));
  EXPECT_TRUE(late_volatile.items().empty());
  EXPECT_TRUE(late_plain.items().empty());
}

TEST(Publisher, ReliabilityAndDurabilityMatchLikeRos2)
{
  struct Case
  {
    rclcpp::QoS offered;
    rclcpp::QoS requested;
    bool delivered;
  };
  const Case cases[] = {
    {rclcpp::QoS(5).reliable(), rclcpp::QoS(5).reliable(), true},
    {rclcpp::QoS(5).reliable(), rclcpp::QoS(5).best_effort(), true},
    {rclcpp::QoS(5).best_effort(), rclcpp::QoS(5).best_effort(), true},
    {rclcpp::QoS(5).best_effort(), rclcpp::QoS(5).reliable(), false},
    {rclcpp::QoS(5).transient_local(), rclcpp::QoS(5), true},
    {rclcpp::QoS(5), rclcpp::QoS(5).transient_local(), false},
  };
  auto node = std::make_shared<rclcpp::Node>("matching");
  for (const auto & c : cases) {
    Inbox inbox;
    auto sub = collect(node, "matching", c.requested, inbox);
    auto pub = node->create_publisher<Msg>("matching", c.offered);
    pub->publish(make_msg("m"));
    drain(node);
    EXPECT_EQ(inbox.items().size(), c.delivered ? 1u : 0u);
    EXPECT_EQ(pub->get_subscription_count(), c.delivered ? 1u : 0u);
  }
}

TEST(Publisher, DroppedSubscriptionReceivesNothingMore)
{
  auto node = std::make_shared<rclcpp::Node>("dropped");
  Inbox inbox;
  auto sub = collect(node, "gone", 10, inbox);
  auto pub = node->create_publisher<Msg>("gone", 10);
  sub.reset();
  pub->publish(make_msg("lost"));
  drain(node);
  EXPECT_TRUE(inbox.items().empty());
  EXPECT_EQ(node->count_subscribers("gone"), 0u);
  EXPECT_EQ(node->count_publishers("gone"), 1u);
}
