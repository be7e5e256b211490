// A fork/join over index ranges.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_RANGES_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_RANGES_HPP_

#include <functional>

namespace orvanite
{
// Calls work(begin, end) on the ranges [0, grain), [grain, 2 grain), ... that cover [0, count),
// possibly on several threads at once, and returns once every call has returned: all the calls'
// writes are then visible to the caller. `work` must not throw.
//
// The ranges run on the caller and on one process-wide pool of workers, one fewer than the cores
// the process may use, that every caller shares: cameras that filter at the same moment add no
// thread. The workers run with the kernel's shortest time slice (RequestTimeSlice): on a loaded
// machine a worker woken for a fork/join, or one that shares its core, then gets to its ranges
// after a tenth of a millisecond instead of after another thread's whole slice, with the same
// share of the core. Callers keep their own scheduling.
void ForEachRange(int count, int grain, const std::function<void(int, int)> & work);

// While one lives, ForEachRange called on the thread that made it runs every range there, in
// order: the benchmark's one-core figures.
class SerialRangesOnThisThread
{
public:
  SerialRangesOnThisThread();
  ~SerialRangesOnThisThread();
  SerialRangesOnThisThread(const SerialRangesOnThisThread &) = delete;
  SerialRangesOnThisThread & operator=(const SerialRangesOnThisThread &) = delete;

private:
  bool was_serial_;
};
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_RANGES_HPP_
