// Initialises rclcpp once for the whole test binary; include from one source file per binary.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__RCLCPP_ENVIRONMENT_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__RCLCPP_ENVIRONMENT_HPP_

#include <gtest/gtest.h>

#include <rclcpp/rclcpp.hpp>

namespace orvanite_test
{
class RclcppEnvironment : public ::testing::Environment
{
public:
  void SetUp() override { rclcpp::init(0, nullptr); }
  void TearDown() override { rclcpp::shutdown(); }
};

inline ::testing::Environment * const kRclcppEnvironment =
  ::testing::AddGlobalTestEnvironment(new RclcppEnvironment);
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__RCLCPP_ENVIRONMENT_HPP_
