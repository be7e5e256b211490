// SIGINT and SIGTERM shut the default context down and wake every wait. A binary of its own:
// each case initialises and shuts down the global context.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <future>
#include <memory>

#include "rclcpp/rclcpp.hpp"
#include "rclcpp/wait_for_message.hpp"
#include "std_msgs/msg/header.hpp"

using Msg = std_msgs::msg::Header;

class SignalHandler : public ::testing::TestWithParam<int>
{
};

TEST_P(SignalHandler, SignalStopsSpinWaitsAndRates)
{
  rclcpp::init(0, nullptr, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::All);
  ASSERT_TRUE(rclcpp::ok());
  ASSERT_TRUE(rclcpp::signal_handlers_installed());
  auto node = std::make_shared<rclcpp::Node>("signalled");
  auto sub = node->create_subscription<Msg>("never", 1, [](Msg::ConstSharedPtr) {});
  rclcpp::executors::MultiThreadedExecutor executor(
    rclcpp::ExecutorOptions(), 8, true, std::chrono::nanoseconds(-1));
  executor.add_node(node);

  auto spinning = std::async(std::launch::async, [&] { executor.spin(); });
  auto waiting = std::async(std::launch::async, [&] {
    Msg out;
    return rclcpp::wait_for_message(
      out, sub, node->get_node_options().context(), std::chrono::seconds(60));
  });
  auto looping = std::async(std::launch::async, [] {
    rclcpp::WallRate rate(500.0);
    while (rclcpp::ok()) {
      rate.sleep();
    }
  });
  auto sleeping =
    std::async(std::launch::async, [] { return rclcpp::sleep_for(std::chrono::seconds(60)); });

  std::raise(GetParam());

  const auto bound = std::chrono::seconds(10);
  EXPECT_EQ(spinning.wait_for(bound), std::future_status::ready);
  EXPECT_EQ(waiting.wait_for(bound), std::future_status::ready);
  EXPECT_EQ(looping.wait_for(bound), std::future_status::ready);
  EXPECT_EQ(sleeping.wait_for(bound), std::future_status::ready);
  EXPECT_FALSE(waiting.get());
  EXPECT_FALSE(sleeping.get());
  EXPECT_FALSE(rclcpp::ok());
  EXPECT_EQ(rclcpp::contexts::get_global_default_context()->shutdown_reason(), "signal handler");

  EXPECT_FALSE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::signal_handlers_installed());
}

INSTANTIATE_TEST_SUITE_P(SigIntAndSigTerm, SignalHandler, ::testing::Values(SIGINT, SIGTERM));

TEST(Init, SecondInitWhileValidThrows)
{
  rclcpp::init(0, nullptr);
  EXPECT_THROW(rclcpp::init(0, nullptr), rclcpp::ContextAlreadyInitialized);
  EXPECT_TRUE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::ok());
}
