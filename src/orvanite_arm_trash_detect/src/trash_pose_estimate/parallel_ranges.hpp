// A fork/join over index ranges.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_RANGES_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_RANGES_HPP_

#include <functional>

namespace orvanite
{
// Calls work(begin, end) on disjoint ranges that cover [0, count), of about `grain` indices or
// more, possibly on several threads at once, and returns once every call has returned: all the
// calls' writes are then visible to the caller. `work` must not throw.
//
// Normal builds run the ranges on TBB's one shared pool of workers, so cameras that filter at
// the same moment never ask for more threads than there are cores. ThreadSanitizer cannot see
// the joins of that uninstrumented pool; a ThreadSanitizer build runs plain std::thread workers
// that it sees start and join, with the same ranges' results.
void ForEachRange(int count, int grain, const std::function<void(int, int)> & work);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_RANGES_HPP_
