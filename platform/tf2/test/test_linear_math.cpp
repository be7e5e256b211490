#include <gtest/gtest.h>

#include <cmath>

#include "tf2/LinearMath/Matrix3x3.h"
#include "tf2/LinearMath/Quaternion.h"
#include "tf2/LinearMath/Transform.h"
#include "tf2/LinearMath/Vector3.h"

namespace
{
constexpr double kTolerance = 1e-12;

void expectNear(const tf2::Vector3 & actual, const tf2::Vector3 & expected)
{
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(actual[i], expected[i], kTolerance) << "component " << i;
  }
}

TEST(LinearMath, RpyIsRollThenPitchThenYawAboutFixedAxes)
{
  tf2::Quaternion q;
  q.setRPY(M_PI / 2, 0.0, M_PI / 2);
  // Roll takes y to z, then yaw leaves z alone; yaw takes x to y.
  expectNear(tf2::quatRotate(q, tf2::Vector3(0, 1, 0)), tf2::Vector3(0, 0, 1));
  expectNear(tf2::quatRotate(q, tf2::Vector3(1, 0, 0)), tf2::Vector3(0, 1, 0));

  const tf2::Quaternion about_z(tf2::Vector3(0, 0, 2), M_PI / 2);
  EXPECT_NEAR(about_z.z(), std::sin(M_PI / 4), kTolerance);
  EXPECT_NEAR(about_z.w(), std::cos(M_PI / 4), kTolerance);
}

TEST(LinearMath, TransformComposesRightToLeftAndInverts)
{
  const tf2::Transform a(tf2::Quaternion(tf2::Vector3(0, 0, 1), M_PI / 2), tf2::Vector3(1, 0, 0));
  const tf2::Transform b(tf2::Quaternion(tf2::Vector3(1, 0, 0), M_PI / 2), tf2::Vector3(0, 2, 0));
  const tf2::Vector3 p(0.5, -1.0, 3.0);
  expectNear((a * b)(p), a(b(p)));
  expectNear((a.inverse() * a)(p), p);
  // a maps (0, 2, 0) to (1, 0, 0) + R_z(90) (0, 2, 0) = (-1, 0, 0).
  expectNear(a(tf2::Vector3(0, 2, 0)), tf2::Vector3(-1, 0, 0));

  const tf2::Quaternion back = a.getRotation();
  EXPECT_NEAR(std::fabs(back.z()), std::sin(M_PI / 4), kTolerance);
  EXPECT_NEAR(std::fabs(back.w()), std::cos(M_PI / 4), kTolerance);
}

TEST(LinearMath, SlerpFollowsTheShorterArcAtConstantRate)
{
  const tf2::Quaternion start;
  const tf2::Quaternion end(tf2::Vector3(0, 0, 1), M_PI / 2);
  const tf2::Quaternion end_negated(-end.x(), -end.y(), -end.z(), -end.w());
  for (const tf2::Quaternion & target : {end, end_negated}) {
    const tf2::Quaternion quarter = tf2::slerp(start, target, 0.25);
    const tf2::Vector3 x_axis = tf2::quatRotate(quarter, tf2::Vector3(1, 0, 0));
    EXPECT_NEAR(std::atan2(x_axis.y(), x_axis.x()), M_PI / 8, kTolerance);
  }
}

TEST(LinearMath, MatrixFromQuaternionIsItsRotation)
{
  const tf2::Quaternion q(tf2::Vector3(1, 1, 0), 0.7);
  const tf2::Matrix3x3 m(q);
  const tf2::Vector3 v(0.3, -2.0, 1.5);
  expectNear(m * v, tf2::quatRotate(q, v));
  expectNear((m.transpose() * m) * v, v);
}
}  // namespace
