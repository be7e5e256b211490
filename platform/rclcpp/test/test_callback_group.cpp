// Executors and callback groups: exclusion, parallelism, blocking, cancel and association.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "test_helpers.hpp"

using test_helpers::Inbox;
using test_helpers::make_msg;
using test_helpers::Msg;
using test_helpers::SpinThread;

namespace
{

rclcpp::executors::MultiThreadedExecutor make_pool()
{
  return rclcpp::executors::MultiThreadedExecutor(
    rclcpp::ExecutorOptions(), 8, true, std::chrono::nanoseconds(-1));
}

// Counts how many callbacks of one kind run at the same time.
struct ConcurrencyProbe
{
  std::atomic<int> active{0};
  std::atomic<int> peak{0};
  std::atomic<int> calls{0};

  void run()
  {
    const int now = ++active;
    int previous = peak.load();
    while (now > previous && !peak.compare_exchange_weak(previous, now)) {
    }
    volatile double sink = 0;
    for (int i = 0; i < 20000; ++i) {
      sink = sink + i;
    }
    --active;
    ++calls;
  }
};

}  // namespace

TEST(CallbackGroup, NodeDefaultGroupIsMutuallyExclusive)
{
  auto node = std::make_shared<rclcpp::Node>("default_group");
  EXPECT_EQ(
    node->get_node_base_interface()->get_default_callback_group()->type(),
    rclcpp::CallbackGroupType::MutuallyExclusive);
}

TEST(CallbackGroup, MutuallyExclusiveGroupNeverRunsTwoCallbacksAtOnce)
{
  auto node = std::make_shared<rclcpp::Node>("exclusive");
  auto group = node->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  rclcpp::SubscriptionOptions in_group;
  in_group.callback_group = group;
  ConcurrencyProbe grouped;
  ConcurrencyProbe defaulted;
  Inbox defaulted_done;
  Inbox grouped_done;
  std::vector<rclcpp::Subscription<Msg>::SharedPtr> subs;
  for (int i = 0; i < 4; ++i) {
    const std::string topic = "load" + std::to_string(i);
    subs.push_back(node->create_subscription<Msg>(
      topic, rclcpp::QoS(rclcpp::KeepAll()),
      [&](Msg::ConstSharedPtr) {
        grouped.run();
        grouped_done.add("done");
      },
      in_group));
    subs.push_back(node->create_subscription<Msg>(
      topic, rclcpp::QoS(rclcpp::KeepAll()), [&](Msg::ConstSharedPtr) {
        defaulted.run();
        defaulted_done.add("done");
      }));
  }
  auto timer = node->create_wall_timer(
    std::chrono::microseconds(200), [&] { grouped.run(); }, group);
  auto executor = make_pool();
  executor.add_node(node);
  constexpr int kPerTopic = 200;
  {
    SpinThread spin(executor);
    std::vector<rclcpp::Publisher<Msg>::SharedPtr> pubs;
    for (int i = 0; i < 4; ++i) {
      pubs.push_back(
        node->create_publisher<Msg>("load" + std::to_string(i), rclcpp::QoS(rclcpp::KeepAll())));
    }
    for (int n = 0; n < kPerTopic; ++n) {
      for (auto & pub : pubs) {
        pub->publish(make_msg("m"));
      }
    }
    EXPECT_TRUE(defaulted_done.wait_for_count(4 * kPerTopic, std::chrono::seconds(30)));
    // The grouped messages share their worker turns with the timer: they may finish later.
    EXPECT_TRUE(grouped_done.wait_for_count(4 * kPerTopic, std::chrono::seconds(30)));
  }
  EXPECT_EQ(defaulted.calls.load(), 4 * kPerTopic);
  EXPECT_GE(grouped.calls.load(), 4 * kPerTopic);
  EXPECT_EQ(grouped.peak.load(), 1);
  EXPECT_EQ(defaulted.peak.load(), 1);
}

TEST(CallbackGroup, ReentrantGroupRunsCallbacksInParallel)
{
  auto node = std::make_shared<rclcpp::Node>("reentrant");
  rclcpp::SubscriptionOptions options;
  options.callback_group = node->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  std::promise<void> first_in;
  std::promise<void> second_in;
  std::shared_future<void> first = first_in.get_future().share();
  std::shared_future<void> second = second_in.get_future().share();
  std::atomic<int> order{0};
  std::atomic<bool> met{true};
  auto sub = node->create_subscription<Msg>(
    "pair", 10,
    [&](Msg::ConstSharedPtr) {
      // Each waits for the other: only possible when both run at once.
      if (order++ == 0) {
        first_in.set_value();
        met = met && second.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
      } else {
        second_in.set_value();
        met = met && first.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
      }
    },
    options);
  auto executor = make_pool();
  executor.add_node(node);
  auto pub = node->create_publisher<Msg>("pair", 10);
  {
    SpinThread spin(executor);
    pub->publish(make_msg("a"));
    pub->publish(make_msg("b"));
    EXPECT_EQ(second.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(first.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  }
  EXPECT_TRUE(met.load());
}

TEST(CallbackGroup, BlockedCallbackLeavesOtherGroupsRunning)
{
  auto node = std::make_shared<rclcpp::Node>("blocking");
  auto slow_group = node->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  rclcpp::SubscriptionOptions slow_options;
  slow_options.callback_group = slow_group;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::promise<void> blocked;
  auto slow = node->create_subscription<Msg>(
    "slow", 10,
    [&](Msg::ConstSharedPtr) {
      blocked.set_value();
      released.wait_for(std::chrono::seconds(20));
    },
    slow_options);
  Inbox fast_inbox;
  auto fast = node->create_subscription<Msg>(
    "fast", 10, [&](const Msg::ConstSharedPtr & m) { fast_inbox.add(m->frame_id); });
  auto executor = make_pool();
  executor.add_node(node);
  auto slow_pub = node->create_publisher<Msg>("slow", 10);
  auto fast_pub = node->create_publisher<Msg>("fast", 10);
  {
    SpinThread spin(executor);
    slow_pub->publish(make_msg("block"));
    ASSERT_EQ(blocked.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    for (const char * text : {"1", "2", "3"}) {
      fast_pub->publish(make_msg(text));
    }
    EXPECT_TRUE(fast_inbox.wait_for_count(3));
    release.set_value();
  }
  EXPECT_EQ(fast_inbox.items(), (std::vector<std::string>{"1", "2", "3"}));
}

TEST(CallbackGroup, WallTimerFiresRepeatedly)
{
  auto node = std::make_shared<rclcpp::Node>("timer");
  Inbox ticks;
  auto timer = node->create_wall_timer(std::chrono::milliseconds(2), [&] { ticks.add("tick"); });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  {
    SpinThread spin(executor);
    EXPECT_TRUE(ticks.wait_for_count(3));
    timer->cancel();
  }
  EXPECT_TRUE(timer->is_canceled());
}

TEST(Executor, NodeInTwoExecutorsThrowsNamingIt)
{
  auto node = std::make_shared<rclcpp::Node>("shared_node");
  rclcpp::executors::SingleThreadedExecutor first;
  rclcpp::executors::SingleThreadedExecutor second;
  first.add_node(node);
  try {
    second.add_node(node);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error & e) {
    EXPECT_STREQ(e.what(), "Node '/shared_node' has already been added to an executor.");
  }
  first.remove_node(node);
  EXPECT_NO_THROW(second.add_node(node));
  EXPECT_THROW(first.remove_node(node), std::runtime_error);
}

TEST(Executor, CancelEndsSpinAndDoubleSpinThrows)
{
  auto node = std::make_shared<rclcpp::Node>("cancel");
  auto executor = make_pool();
  executor.add_node(node);
  auto spinning = std::async(std::launch::async, [&] { executor.spin(); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!executor.is_spinning() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
  EXPECT_THROW(executor.spin(), std::runtime_error);
  executor.cancel();
  EXPECT_EQ(spinning.wait_for(std::chrono::seconds(10)), std::future_status::ready);
}
