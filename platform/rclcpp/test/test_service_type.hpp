// A service type shaped like generated ROS 2 service code, for the service and client tests.
#ifndef RCLCPP__TEST__TEST_SERVICE_TYPE_HPP_
#define RCLCPP__TEST__TEST_SERVICE_TYPE_HPP_

#include <cstdint>
#include <memory>

namespace test_srvs
{

struct AddTwo
{
  struct Request
  {
    using SharedPtr = std::shared_ptr<Request>;
    int32_t a = 0;
    int32_t b = 0;
  };
  struct Response
  {
    using SharedPtr = std::shared_ptr<Response>;
    int32_t sum = 0;
  };
};

}  // namespace test_srvs

#endif  // RCLCPP__TEST__TEST_SERVICE_TYPE_HPP_
