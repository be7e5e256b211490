// The calling thread's time slice under Linux's fair scheduler.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__THREAD_TIME_SLICE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__THREAD_TIME_SLICE_HPP_

#include <cstdint>
#include <optional>

namespace orvanite
{
// The shortest slice the kernel takes (0.1 ms).
constexpr std::uint64_t kShortestTimeSliceNs = 100000;

// The calling thread's slice in nanoseconds as the kernel reports it (Linux 6.12 and later; 0 on
// older kernels), or nullopt where the thread's attributes cannot be read.
std::optional<std::uint64_t> CurrentTimeSlice();

// Asks the kernel to run the calling thread in slices of `nanoseconds`. With a shorter slice a
// thread that wakes while every core is busy takes a core sooner; its share of the cores stays
// what its nice value gives. Only a thread of the normal policy is changed, and only its slice:
// policy, nice value, reset-on-fork and utilisation limits stay as they are. Returns false where
// nothing was changed (another policy, or the call refused, say by a seccomp filter). Kernels
// before 6.12 take the call and ignore the slice.
bool RequestTimeSlice(std::uint64_t nanoseconds);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__THREAD_TIME_SLICE_HPP_
