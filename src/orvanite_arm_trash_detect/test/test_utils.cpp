#include "common/utils.hpp"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "support/log_capture.hpp"

namespace
{
TEST(MatrixLog, IdentityRowsAreIndentedWithSixDecimals)
{
  orvanite_test::LogCapture capture;
  orvaniteLogDebugMatrix4f("camera_extrinsic", Eigen::Matrix4f::Identity());
  const auto messages = capture.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(
    messages[0],
    "[DEBUG] camera_extrinsic:\n"
    "           [1.000000 0.000000 0.000000 0.000000]\n"
    "           [0.000000 1.000000 0.000000 0.000000]\n"
    "           [0.000000 0.000000 1.000000 0.000000]\n"
    "           [0.000000 0.000000 0.000000 1.000000]");
}

TEST(MatrixLog, NegativeElementsWidenTheirRowAndInfoUsesItsPrefix)
{
  orvanite_test::LogCapture capture;
  Eigen::Matrix4f m = Eigen::Matrix4f::Zero();
  m(1, 2) = -0.5f;
  m(3, 0) = 12.25f;
  orvaniteLogInfoMatrix4f("t", m);
  const auto messages = capture.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(
    messages[0],
    "[INFO] t:\n"
    "           [0.000000 0.000000 0.000000 0.000000]\n"
    "           [0.000000 0.000000 -0.500000 0.000000]\n"
    "           [0.000000 0.000000 0.000000 0.000000]\n"
    "           [12.250000 0.000000 0.000000 0.000000]");
}

struct EulerCase
{
  const char * name;
  double roll, pitch, yaw;
  float expected[3][3];
};

class EulerRotation : public ::testing::TestWithParam<EulerCase>
{
};

TEST_P(EulerRotation, MatchesFixedAxisComposition)
{
  const EulerCase & c = GetParam();
  const Eigen::Matrix3f r = EulerDegreesToMatrix3f(c.roll, c.pitch, c.yaw);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      EXPECT_NEAR(r(row, col), c.expected[row][col], 1e-6) << row << "," << col;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
  Cases, EulerRotation,
  ::testing::Values(
    EulerCase{"zero", 0, 0, 0, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    EulerCase{"roll90_y_onto_z", 90, 0, 0, {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}},
    EulerCase{"yaw90_x_onto_y", 0, 0, 90, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}},
    EulerCase{"pitch90", 0, 90, 0, {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}},
    // Roll first, then pitch, then yaw: Rz(90) * Ry(90) * Rx(90).
    EulerCase{"all90_order", 90, 90, 90, {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}}),
  [](const ::testing::TestParamInfo<EulerCase> & info) { return info.param.name; });

TEST(EulerRotation, NearZeroElementsAreTheRoundedDoubleCosine)
{
  // cos(pi/2) in double is about 6.1e-17; its nearest float is not an exact zero.
  const Eigen::Matrix3f r = EulerDegreesToMatrix3f(90, 0, 0);
  const float expected = static_cast<float>(std::cos(90 * 3.141592653589793 / 180));
  EXPECT_NE(expected, 0.0f);
  EXPECT_EQ(r(1, 1), expected);
  EXPECT_EQ(r(2, 2), expected);
  EXPECT_EQ(r(1, 2), -1.0f);
  EXPECT_EQ(r(2, 1), 1.0f);
}
}  // namespace
