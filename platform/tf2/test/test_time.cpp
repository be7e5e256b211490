#include <gtest/gtest.h>

#include "tf2/time.h"

namespace
{
TEST(Time, DurationFromSecFloorsSecondsAndRoundsTheFraction)
{
  struct Case
  {
    double seconds;
    std::int64_t nanoseconds;
  };
  const Case cases[] = {
    {0.0, 0},
    {1.5, 1'500'000'000},
    {-0.5, -500'000'000},
    {-1.25, -1'250'000'000},
    {2.0000000004, 2'000'000'000},
    {2.9999999996, 3'000'000'000},
    {1e-9, 1},
  };
  for (const Case & c : cases) {
    EXPECT_EQ(tf2::durationFromSec(c.seconds).count(), c.nanoseconds) << c.seconds;
    EXPECT_EQ(tf2::timeFromSec(c.seconds).time_since_epoch().count(), c.nanoseconds) << c.seconds;
  }
}

TEST(Time, SecondsRoundTripAndDisplay)
{
  EXPECT_DOUBLE_EQ(tf2::durationToSec(tf2::Duration(2'500'000'000)), 2.5);
  EXPECT_DOUBLE_EQ(tf2::timeToSec(tf2::timeFromSec(12.25)), 12.25);
  EXPECT_EQ(tf2::displayTimePoint(tf2::timeFromSec(3.5)), "3.500000");
  EXPECT_EQ(tf2::TimePointZero.time_since_epoch().count(), 0);
}
}  // namespace
