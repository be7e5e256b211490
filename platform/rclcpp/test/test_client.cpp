// Services and clients: discovery, the callback forms and the future of a request.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "rclcpp/rclcpp.hpp"
#include "test_helpers.hpp"
#include "test_service_type.hpp"

using test_helpers::SpinThread;
using test_srvs::AddTwo;

namespace
{

AddTwo::Request::SharedPtr make_request(int32_t a, int32_t b)
{
  auto request = std::make_shared<AddTwo::Request>();
  request->a = a;
  request->b = b;
  return request;
}

}  // namespace

TEST(Client, WaitForServiceTimesOutWithoutAServer)
{
  auto node = std::make_shared<rclcpp::Node>("lonely_client");
  auto client = node->create_client<AddTwo>("absent");
  EXPECT_FALSE(client->service_is_ready());
  EXPECT_FALSE(client->wait_for_service(std::chrono::milliseconds(20)));
}

TEST(Client, RequestIsAnsweredThroughTheExecutor)
{
  auto node = std::make_shared<rclcpp::Node>("adder");
  auto group = node->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  auto service = node->create_service<AddTwo>(
    "add",
    [](const std::shared_ptr<AddTwo::Request> request, std::shared_ptr<AddTwo::Response> response) {
      response->sum = request->a + request->b;
    },
    rmw_qos_profile_services_default, group);
  auto client = node->create_client<AddTwo>("/add");
  ASSERT_TRUE(client->wait_for_service(std::chrono::seconds(1)));
  rclcpp::executors::MultiThreadedExecutor executor(
    rclcpp::ExecutorOptions(), 8, true, std::chrono::nanoseconds(-1));
  executor.add_node(node);
  SpinThread spin(executor);
  auto first = client->async_send_request(make_request(2, 3));
  auto second = client->async_send_request(make_request(10, -4));
  EXPECT_NE(first.request_id, second.request_id);
  ASSERT_EQ(first.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  ASSERT_EQ(second.future.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(first.get()->sum, 5);
  EXPECT_EQ(second.get()->sum, 6);
}

TEST(Client, HeaderDeferredAndCallbackForms)
{
  auto node = std::make_shared<rclcpp::Node>("forms_server");
  auto with_header = node->create_service<AddTwo>(
    "with_header",
    [](
      const std::shared_ptr<rmw_request_id_t> header,
      const std::shared_ptr<AddTwo::Request> request, std::shared_ptr<AddTwo::Response> response) {
      response->sum = request->a + static_cast<int32_t>(header->sequence_number);
    });
  rclcpp::Service<AddTwo>::SharedPtr deferred;
  deferred = node->create_service<AddTwo>(
    "deferred", [&deferred](
                  const std::shared_ptr<rmw_request_id_t> header,
                  const std::shared_ptr<AddTwo::Request> request) {
      AddTwo::Response response;
      response.sum = request->a * request->b;
      deferred->send_response(*header, response);
    });
  auto header_client = node->create_client<AddTwo>("with_header");
  auto deferred_client = node->create_client<AddTwo>("deferred");
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  auto header_future = header_client->async_send_request(make_request(100, 0));
  EXPECT_EQ(
    executor.spin_until_future_complete(header_future, std::chrono::seconds(10)),
    rclcpp::FutureReturnCode::SUCCESS);
  EXPECT_EQ(header_future.get()->sum, 100 + header_future.request_id);

  int32_t from_callback = 0;
  auto deferred_future = deferred_client->async_send_request(
    make_request(6, 7),
    [&from_callback](rclcpp::Client<AddTwo>::SharedFuture f) { from_callback = f.get()->sum; });
  EXPECT_EQ(
    executor.spin_until_future_complete(deferred_future.future, std::chrono::seconds(10)),
    rclcpp::FutureReturnCode::SUCCESS);
  EXPECT_EQ(deferred_future.future.get()->sum, 42);
  EXPECT_EQ(from_callback, 42);
}

TEST(Client, InvalidServiceNameAndForeignGroupThrow)
{
  auto node = std::make_shared<rclcpp::Node>("bad_service");
  auto other = std::make_shared<rclcpp::Node>("other");
  auto noop = [](std::shared_ptr<AddTwo::Request>, std::shared_ptr<AddTwo::Response>) {};
  EXPECT_THROW(
    node->create_service<AddTwo>("bad//service", noop),
    rclcpp::exceptions::InvalidServiceNameError);
  EXPECT_THROW(
    node->create_client<AddTwo>("0service"), rclcpp::exceptions::InvalidServiceNameError);
  auto foreign = other->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  EXPECT_THROW(
    node->create_service<AddTwo>("ok", noop, rmw_qos_profile_services_default, foreign),
    std::runtime_error);
}
