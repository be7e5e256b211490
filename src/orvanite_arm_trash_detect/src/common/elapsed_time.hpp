// How long something took, for the cost lines of the log.
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__ELAPSED_TIME_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__ELAPSED_TIME_HPP_

#include <chrono>

namespace orvanite
{

// Time since `start` on its own clock in milliseconds, truncated to whole `Unit`s first (whole
// microseconds by default, whole milliseconds where a line shows those).
template <typename Unit = std::chrono::microseconds, typename Clock, typename Duration>
double ElapsedMilliseconds(std::chrono::time_point<Clock, Duration> start)
{
  const Unit elapsed = std::chrono::duration_cast<Unit>(Clock::now() - start);
  return std::chrono::duration<double, std::milli>(elapsed).count();
}

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__ELAPSED_TIME_HPP_
