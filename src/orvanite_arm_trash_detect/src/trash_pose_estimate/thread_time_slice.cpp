#include "trash_pose_estimate/thread_time_slice.hpp"

#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orvanite
{
namespace
{
// The kernel's struct sched_attr (its first two versions, 56 bytes). glibc has no wrapper for
// sched_getattr/sched_setattr, and <linux/sched/types.h> clashes with <sched.h> on older headers.
struct SchedAttributes
{
  std::uint32_t size;
  std::uint32_t sched_policy;
  std::uint64_t sched_flags;
  std::int32_t sched_nice;
  std::uint32_t sched_priority;
  std::uint64_t sched_runtime;  // for the fair policies: the slice
  std::uint64_t sched_deadline;
  std::uint64_t sched_period;
  std::uint32_t sched_util_min;
  std::uint32_t sched_util_max;
};

constexpr std::uint64_t kResetOnFork = 0x01;  // SCHED_FLAG_RESET_ON_FORK

std::optional<SchedAttributes> ReadAttributes()
{
  SchedAttributes attributes{};
  if (syscall(SYS_sched_getattr, 0, &attributes, sizeof(attributes), 0) != 0) {
    return std::nullopt;
  }
  return attributes;
}

bool WriteSlice(SchedAttributes attributes, std::uint64_t nanoseconds)
{
  attributes.size = sizeof(attributes);
  // Without the utilisation-clamp flags the kernel leaves the thread's clamps alone.
  attributes.sched_flags &= kResetOnFork;
  attributes.sched_runtime = nanoseconds;
  return syscall(SYS_sched_setattr, 0, &attributes, 0) == 0;
}
}  // namespace

std::optional<std::uint64_t> CurrentTimeSlice()
{
  const auto attributes = ReadAttributes();
  if (!attributes) {
    return std::nullopt;
  }
  return attributes->sched_runtime;
}

bool RequestTimeSlice(std::uint64_t nanoseconds)
{
  const auto attributes = ReadAttributes();
  return attributes && attributes->sched_policy == SCHED_OTHER &&
         WriteSlice(*attributes, nanoseconds);
}
}  // namespace orvanite
