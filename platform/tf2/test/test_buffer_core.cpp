#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "tf2/buffer_core.h"
#include "tf2/exceptions.h"
#include "tf2/time.h"

namespace
{
constexpr double kTolerance = 1e-9;

geometry_msgs::msg::TransformStamped makeTransform(
  const std::string & parent, const std::string & child, double stamp, double x, double y, double z,
  double yaw = 0.0)
{
  geometry_msgs::msg::TransformStamped t;
  const tf2::Duration since_epoch = tf2::durationFromSec(stamp);
  t.header.stamp.sec = static_cast<std::int32_t>(since_epoch.count() / 1'000'000'000);
  t.header.stamp.nanosec = static_cast<std::uint32_t>(since_epoch.count() % 1'000'000'000);
  t.header.frame_id = parent;
  t.child_frame_id = child;
  t.transform.translation.x = x;
  t.transform.translation.y = y;
  t.transform.translation.z = z;
  t.transform.rotation.z = std::sin(yaw / 2);
  t.transform.rotation.w = std::cos(yaw / 2);
  return t;
}

double stampSec(const geometry_msgs::msg::TransformStamped & t)
{
  return t.header.stamp.sec + t.header.stamp.nanosec * 1e-9;
}

double yawOf(const geometry_msgs::msg::TransformStamped & t)
{
  const auto & q = t.transform.rotation;
  EXPECT_NEAR(q.x, 0.0, kTolerance);
  EXPECT_NEAR(q.y, 0.0, kTolerance);
  return 2 * std::atan2(q.z, q.w);
}

void expectTranslation(const geometry_msgs::msg::TransformStamped & t, double x, double y, double z)
{
  EXPECT_NEAR(t.transform.translation.x, x, kTolerance);
  EXPECT_NEAR(t.transform.translation.y, y, kTolerance);
  EXPECT_NEAR(t.transform.translation.z, z, kTolerance);
}

tf2::TF2Error errorOf(const std::function<void()> & call)
{
  try {
    call();
  } catch (const tf2::InvalidArgumentException &) {
    return tf2::TF2Error::TF2_INVALID_ARGUMENT_ERROR;
  } catch (const tf2::LookupException &) {
    return tf2::TF2Error::TF2_LOOKUP_ERROR;
  } catch (const tf2::ConnectivityException &) {
    return tf2::TF2Error::TF2_CONNECTIVITY_ERROR;
  } catch (const tf2::ExtrapolationException &) {
    return tf2::TF2Error::TF2_EXTRAPOLATION_ERROR;
  } catch (const tf2::TransformException &) {
    return tf2::TF2Error::TF2_TRANSFORM_ERROR;
  }
  return tf2::TF2Error::TF2_NO_ERROR;
}

// map -> odom (dynamic, x = stamp) -> base (static) -> {camera, laser} (static).
class RobotTree : public ::testing::Test
{
protected:
  void SetUp() override
  {
    for (double stamp : {1.0, 2.0, 3.0}) {
      ASSERT_TRUE(buffer.setTransform(makeTransform("map", "odom", stamp, stamp, 0, 0), "test"));
    }
    ASSERT_TRUE(
      buffer.setTransform(makeTransform("odom", "base", 0, 0, 1, 0, M_PI / 2), "t", true));
    ASSERT_TRUE(buffer.setTransform(makeTransform("base", "camera", 0, 0.5, 0, 0.2), "t", true));
    ASSERT_TRUE(buffer.setTransform(makeTransform("base", "laser", 0, 0, -0.3, 0), "t", true));
  }

  tf2::BufferCore buffer;
};

TEST_F(RobotTree, ComposesStaticAndDynamicEdgesAlongTheChain)
{
  const auto camera_in_map = buffer.lookupTransform("map", "camera", tf2::timeFromSec(1.5));
  EXPECT_EQ(camera_in_map.header.frame_id, "map");
  EXPECT_EQ(camera_in_map.child_frame_id, "camera");
  EXPECT_NEAR(stampSec(camera_in_map), 1.5, kTolerance);
  // base sits at (1.5, 1, 0) turned by 90 degrees, so the camera's x offset points along +y.
  expectTranslation(camera_in_map, 1.5, 1.5, 0.2);
  EXPECT_NEAR(yawOf(camera_in_map), M_PI / 2, kTolerance);

  const auto map_in_camera = buffer.lookupTransform("camera", "map", tf2::timeFromSec(1.5));
  // The inverse maps the camera's map position back to its origin.
  EXPECT_NEAR(yawOf(map_in_camera), -M_PI / 2, kTolerance);
  expectTranslation(map_in_camera, -1.5, 1.5, -0.2);
}

TEST_F(RobotTree, SiblingsResolveBelowTheCommonAncestorAtAnyTime)
{
  // odom has no data at 100 s, but the camera-laser path never goes above base.
  const auto laser_in_camera = buffer.lookupTransform("camera", "laser", tf2::timeFromSec(100));
  expectTranslation(laser_in_camera, -0.5, -0.3, -0.2);
  EXPECT_NEAR(yawOf(laser_in_camera), 0.0, kTolerance);
  EXPECT_NEAR(stampSec(laser_in_camera), 100.0, kTolerance);
}

TEST_F(RobotTree, TimeZeroUsesTheLatestCommonTime)
{
  const auto static_only = buffer.lookupTransform("camera", "laser", tf2::TimePointZero);
  EXPECT_EQ(stampSec(static_only), 0.0);

  const auto latest = buffer.lookupTransform("map", "base", tf2::TimePointZero);
  EXPECT_NEAR(stampSec(latest), 3.0, kTolerance);
  expectTranslation(latest, 3.0, 1.0, 0.0);

  // A second dynamic edge whose data ends earlier limits the chain to its newest stamp.
  ASSERT_TRUE(buffer.setTransform(makeTransform("base", "arm", 1.0, 0, 0, 0), "t"));
  ASSERT_TRUE(buffer.setTransform(makeTransform("base", "arm", 2.5, 1, 0, 0), "t"));
  const auto arm_in_map = buffer.lookupTransform("map", "arm", tf2::TimePointZero);
  EXPECT_NEAR(stampSec(arm_in_map), 2.5, kTolerance);
  expectTranslation(arm_in_map, 2.5, 2.0, 0.0);
}

TEST_F(RobotTree, SameFrameIsIdentity)
{
  const auto same = buffer.lookupTransform("odom", "odom", tf2::TimePointZero);
  EXPECT_NEAR(stampSec(same), 3.0, kTolerance);
  expectTranslation(same, 0, 0, 0);
  EXPECT_DOUBLE_EQ(same.transform.rotation.w, 1.0);
}

TEST_F(RobotTree, ReportsEachKindOfFailure)
{
  ASSERT_TRUE(buffer.setTransform(makeTransform("world", "island", 1.0, 0, 0, 0), "t"));
  struct Case
  {
    const char * target;
    const char * source;
    double time;
    tf2::TF2Error expected;
  };
  const Case cases[] = {
    {"", "camera", 1.5, tf2::TF2Error::TF2_INVALID_ARGUMENT_ERROR},
    {"map", "", 1.5, tf2::TF2Error::TF2_INVALID_ARGUMENT_ERROR},
    {"/map", "camera", 1.5, tf2::TF2Error::TF2_INVALID_ARGUMENT_ERROR},
    {"map", "nowhere", 1.5, tf2::TF2Error::TF2_LOOKUP_ERROR},
    {"nowhere", "camera", 0.0, tf2::TF2Error::TF2_LOOKUP_ERROR},
    {"map", "island", 1.0, tf2::TF2Error::TF2_CONNECTIVITY_ERROR},
    {"map", "island", 0.0, tf2::TF2Error::TF2_CONNECTIVITY_ERROR},
    {"map", "camera", 0.5, tf2::TF2Error::TF2_EXTRAPOLATION_ERROR},
    {"camera", "map", 3.5, tf2::TF2Error::TF2_EXTRAPOLATION_ERROR},
    {"world", "island", 1.5, tf2::TF2Error::TF2_EXTRAPOLATION_ERROR},
    {"map", "camera", 2.5, tf2::TF2Error::TF2_NO_ERROR},
  };
  for (const Case & c : cases) {
    const tf2::TimePoint time = tf2::timeFromSec(c.time);
    EXPECT_EQ(errorOf([&] { buffer.lookupTransform(c.target, c.source, time); }), c.expected)
      << c.target << " <- " << c.source << " at " << c.time;
    std::string why;
    const bool ok = buffer.canTransform(c.target, c.source, time, &why);
    EXPECT_EQ(ok, c.expected == tf2::TF2Error::TF2_NO_ERROR) << c.target << " <- " << c.source;
    EXPECT_EQ(why.empty(), ok) << why;
  }
}

TEST(BufferCore, InterpolatesTranslationLinearlyAndRotationBySlerp)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(makeTransform("odom", "base", 1.0, 0, 0, 0, 0.0), "t"));
  ASSERT_TRUE(buffer.setTransform(makeTransform("odom", "base", 3.0, 2, 4, -2, M_PI / 2), "t"));
  for (double fraction : {0.0, 0.25, 0.5, 0.9, 1.0}) {
    const auto t = buffer.lookupTransform("odom", "base", tf2::timeFromSec(1.0 + 2.0 * fraction));
    expectTranslation(t, 2 * fraction, 4 * fraction, -2 * fraction);
    // Slerp turns at a constant rate; a normalised linear blend would lag at 0.25 and lead at 0.9.
    EXPECT_NEAR(yawOf(t), fraction * M_PI / 2, kTolerance) << fraction;
  }
}

TEST(BufferCore, PrunesDataOlderThanTheCacheTime)
{
  tf2::BufferCore buffer(tf2::durationFromSec(10.0));
  EXPECT_EQ(buffer.getCacheLength(), tf2::durationFromSec(10.0));
  for (double stamp : {0.0, 5.0, 12.0, 20.0}) {
    ASSERT_TRUE(buffer.setTransform(makeTransform("odom", "base", stamp, stamp, 0, 0), "t"));
  }
  // 20 s is the newest, so 0 and 5 fell out of the 10 s window; 12 is still inside.
  EXPECT_EQ(
    errorOf([&] { buffer.lookupTransform("odom", "base", tf2::timeFromSec(5.0)); }),
    tf2::TF2Error::TF2_EXTRAPOLATION_ERROR);
  expectTranslation(buffer.lookupTransform("odom", "base", tf2::timeFromSec(16.0)), 16.0, 0, 0);
  // Data behind the window is refused instead of stored.
  EXPECT_FALSE(buffer.setTransform(makeTransform("odom", "base", 9.0, 9, 0, 0), "t"));
  EXPECT_TRUE(buffer.setTransform(makeTransform("odom", "base", 11.0, 11, 0, 0), "t"));
}

TEST(BufferCore, NewerValueForTheSameStampReplacesTheOld)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(makeTransform("odom", "base", 1.0, 1, 0, 0), "t"));
  ASSERT_TRUE(buffer.setTransform(makeTransform("odom", "base", 1.0, 7, 0, 0), "t"));
  expectTranslation(buffer.lookupTransform("odom", "base", tf2::timeFromSec(1.0)), 7, 0, 0);
}

TEST(BufferCore, RefusesMalformedTransforms)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto withRotation = [](double x, double y, double z, double w) {
    auto t = makeTransform("odom", "base", 1, 0, 0, 0);
    t.transform.rotation.x = x;
    t.transform.rotation.y = y;
    t.transform.rotation.z = z;
    t.transform.rotation.w = w;
    return t;
  };
  const geometry_msgs::msg::TransformStamped cases[] = {
    makeTransform("odom", "", 1, 0, 0, 0),
    makeTransform("", "base", 1, 0, 0, 0),
    makeTransform("base", "base", 1, 0, 0, 0),
    makeTransform("odom", "base", 1, nan, 0, 0),
    withRotation(0, 0, 0, 0),
    withRotation(nan, 0, 0, 1),
    withRotation(0, 0, 0, nan),
  };
  for (const auto & t : cases) {
    tf2::BufferCore buffer;
    EXPECT_FALSE(buffer.setTransform(t, "t")) << t.header.frame_id << " -> " << t.child_frame_id;
    EXPECT_TRUE(buffer.getAllFrameNames().empty());
  }
}

TEST(BufferCore, StoresNonUnitQuaternionsNormalised)
{
  struct Case
  {
    double x, y, z, w;  // as typed
    double roll;        // the rotation about x it stands for
  };
  const Case cases[] = {
    {0.7, 0, 0, 0.7, M_PI / 2},
    {0, 0, 0, 2.0, 0.0},
    {-0.05, 0, 0, 0.05, -M_PI / 2},
    {1.0, 0, 0, std::sqrt(3.0), M_PI / 3},
  };
  for (const Case & c : cases) {
    tf2::BufferCore buffer;
    auto arm = makeTransform("base", "arm", 0, 0, 0, 0);
    arm.transform.rotation.x = c.x;
    arm.transform.rotation.y = c.y;
    arm.transform.rotation.z = c.z;
    arm.transform.rotation.w = c.w;
    ASSERT_TRUE(buffer.setTransform(arm, "hand-typed", true)) << c.x << " " << c.w;
    ASSERT_TRUE(buffer.setTransform(makeTransform("arm", "tool", 0, 0, 1, 0), "t", true));

    const auto stored = buffer.lookupTransform("base", "arm", tf2::TimePointZero);
    const auto & q = stored.transform.rotation;
    EXPECT_NEAR(q.x, std::sin(c.roll / 2), kTolerance) << c.roll;
    EXPECT_NEAR(q.y, 0.0, kTolerance);
    EXPECT_NEAR(q.z, 0.0, kTolerance);
    EXPECT_NEAR(q.w, std::cos(c.roll / 2), kTolerance) << c.roll;
    // The tool one unit along the arm's y axis lands where a pure rotation puts it, unscaled.
    expectTranslation(
      buffer.lookupTransform("base", "tool", tf2::TimePointZero), 0, std::cos(c.roll),
      std::sin(c.roll));
  }
}

TEST(BufferCore, LeadingSlashOfStoredFramesIsDropped)
{
  tf2::BufferCore buffer;
  ASSERT_TRUE(buffer.setTransform(makeTransform("/odom", "/base", 1, 1, 0, 0), "t", true));
  EXPECT_TRUE(buffer.canTransform("odom", "base", tf2::TimePointZero));
  buffer.clear();
  EXPECT_FALSE(buffer.canTransform("odom", "base", tf2::TimePointZero));
}
}  // namespace
