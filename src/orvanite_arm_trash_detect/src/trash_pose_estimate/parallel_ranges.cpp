#include "trash_pose_estimate/parallel_ranges.hpp"

#if defined(__SANITIZE_THREAD__)
#define ORVANITE_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ORVANITE_THREAD_SANITIZER 1
#endif
#endif

#ifdef ORVANITE_THREAD_SANITIZER
#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>
#else
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#endif

namespace orvanite
{
void ForEachRange(int count, int grain, const std::function<void(int, int)> & work)
{
  if (count <= 0) {
    return;
  }
#ifdef ORVANITE_THREAD_SANITIZER
  const int ranges = (count + grain - 1) / grain;
  const int cores = static_cast<int>(std::thread::hardware_concurrency());
  const int workers = std::max(1, std::min(ranges, cores));
  const auto begin = [&](int worker) {
    return static_cast<int>(static_cast<std::int64_t>(count) * worker / workers);
  };
  std::vector<std::thread> threads;
  for (int worker = 1; worker < workers; ++worker) {
    threads.emplace_back(work, begin(worker), begin(worker + 1));
  }
  work(0, begin(1));
  for (auto & thread : threads) {
    thread.join();
  }
#else
  tbb::parallel_for(
    tbb::blocked_range<int>(0, count, grain),
    [&work](const tbb::blocked_range<int> & range) { work(range.begin(), range.end()); });
#endif
}
}  // namespace orvanite
