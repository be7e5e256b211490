#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__ELAPSED_TIME_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__ELAPSED_TIME_HPP_

#include <chrono>

namespace orvanite
{

// Wall time since `start` in milliseconds, truncated to whole microseconds.
inline double ElapsedMilliseconds(std::chrono::system_clock::time_point start)
{
  const auto elapsed =
    std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now() - start);
  return elapsed.count() / 1000.0;
}

}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__ELAPSED_TIME_HPP_
