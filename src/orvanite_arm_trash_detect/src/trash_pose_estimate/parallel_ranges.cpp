#include "trash_pose_estimate/parallel_ranges.hpp"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "trash_pose_estimate/thread_time_slice.hpp"

namespace orvanite
{
namespace
{
thread_local bool serial_ranges_on_this_thread = false;

// One fork/join. Its ranges are taken one at a time by whoever is free, the caller included.
struct Job
{
  Job(int count, int grain, const std::function<void(int, int)> & work)
  : count(count)
  , grain(grain)
  , ranges(static_cast<int>((static_cast<std::int64_t>(count) + grain - 1) / grain))
  , work(work)
  {
  }

  // Until every range is taken. A throwing `work` ends the process here, in every thread alike.
  void RunRanges() noexcept
  {
    for (int range = next.fetch_add(1, std::memory_order_relaxed); range < ranges;
         range = next.fetch_add(1, std::memory_order_relaxed)) {
      const std::int64_t begin = static_cast<std::int64_t>(range) * grain;
      work(static_cast<int>(begin), static_cast<int>(std::min<std::int64_t>(count, begin + grain)));
    }
  }

  const int count;
  const int grain;
  const int ranges;
  const std::function<void(int, int)> & work;
  std::atomic<int> next{0};
  int helpers = 0;  // workers inside RunRanges; guarded by the pool's mutex
};

// The workers every caller shares. Never destroyed: its threads wait for work until the process
// ends, so no fork/join can meet a pool that is going away.
class RangeWorkers
{
public:
  static RangeWorkers & Shared()
  {
    static RangeWorkers * const workers = new RangeWorkers(UsableCores() - 1);
    return *workers;
  }

  void Run(Job & job)
  {
    if (threads_ == 0 || job.ranges <= 1) {
      job.RunRanges();
      return;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_.push_back(&job);
    }
    work_to_take_.notify_all();
    job.RunRanges();

    std::unique_lock<std::mutex> lock(mutex_);
    Close(job);
    helpers_left_.wait(lock, [&job] { return job.helpers == 0; });
  }

private:
  explicit RangeWorkers(int threads) : threads_(threads)
  {
    open_.reserve(64);
    for (int i = 0; i < threads_; ++i) {
      std::thread([this] { Serve(); }).detach();
    }
  }

  // The cores this process may run on (its affinity), as TBB and OpenMP count them.
  static int UsableCores()
  {
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof(cores), &cores) == 0) {
      return std::max(1, CPU_COUNT(&cores));
    }
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  }

  void Serve()
  {
    RequestTimeSlice(kShortestTimeSliceNs);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      work_to_take_.wait(lock, [this] { return !open_.empty(); });
      Job & job = *open_.front();
      ++job.helpers;
      lock.unlock();
      job.RunRanges();
      lock.lock();
      // Every range is taken: nobody else need come in.
      Close(job);
      if (--job.helpers == 0) {
        helpers_left_.notify_all();
      }
    }
  }

  // Called with mutex_ held.
  void Close(const Job & job)
  {
    const auto open = std::find(open_.begin(), open_.end(), &job);
    if (open != open_.end()) {
      open_.erase(open);
    }
  }

  const int threads_;
  std::mutex mutex_;
  std::condition_variable work_to_take_;
  std::condition_variable helpers_left_;
  std::vector<Job *> open_;  // jobs with ranges perhaps not yet taken, oldest first
};
}  // namespace

void ForEachRange(int count, int grain, const std::function<void(int, int)> & work)
{
  if (count <= 0) {
    return;
  }
  Job job(count, std::max(1, grain), work);
  if (serial_ranges_on_this_thread) {
    job.RunRanges();
    return;
  }
  RangeWorkers::Shared().Run(job);
}

SerialRangesOnThisThread::SerialRangesOnThisThread() : was_serial_(serial_ranges_on_this_thread)
{
  serial_ranges_on_this_thread = true;
}

SerialRangesOnThisThread::~SerialRangesOnThisThread()
{
  serial_ranges_on_this_thread = was_serial_;
}
}  // namespace orvanite
