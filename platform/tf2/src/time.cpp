#include "tf2/time.h"

#include <cmath>
#include <cstdio>

namespace tf2
{
TimePoint get_now()
{
  return std::chrono::time_point_cast<Duration>(std::chrono::system_clock::now());
}

Duration durationFromSec(double t_sec)
{
  const double whole = std::floor(t_sec);
  const auto nanoseconds = static_cast<std::int64_t>(std::llround((t_sec - whole) * 1e9));
  return std::chrono::seconds(static_cast<std::int64_t>(whole)) + Duration(nanoseconds);
}

TimePoint timeFromSec(double t_sec) { return TimePoint(durationFromSec(t_sec)); }

double durationToSec(const tf2::Duration & input)
{
  return std::chrono::duration_cast<std::chrono::duration<double>>(input).count();
}

double timeToSec(const TimePoint & timepoint)
{
  return durationToSec(timepoint.time_since_epoch());
}

std::string displayTimePoint(const TimePoint & stamp)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%.6f", timeToSec(stamp));
  return text;
}
}  // namespace tf2
