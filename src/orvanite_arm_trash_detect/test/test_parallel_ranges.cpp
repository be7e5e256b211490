// The filter's fork/join: every index once, and the scheduling it gives its workers and leaves to
// everyone else.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "trash_pose_estimate/parallel_ranges.hpp"
#include "trash_pose_estimate/thread_time_slice.hpp"

namespace
{
using orvanite::CurrentTimeSlice;
using orvanite::kShortestTimeSliceNs;

int OwnNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }

// Kernels before 6.12 report no slice and ignore a requested one.
bool KernelHasCustomSlices()
{
  bool has = false;
  std::thread([&has] {
    has = orvanite::RequestTimeSlice(kShortestTimeSliceNs) &&
          CurrentTimeSlice() == kShortestTimeSliceNs;
  }).join();
  return has;
}

// What a thread saw of itself while it ran a range.
struct SeenByThread
{
  std::optional<std::uint64_t> slice;
  int nice = 0;
  int indices = 0;
};

// Runs first in this binary, before anything starts the pool's workers: they are created by this
// thread and so inherit its nice value, which their shortened slice must not reset.
TEST(ForEachRange, WorkersRunWithTheShortSliceAndKeepTheirNiceValue)
{
  if (std::thread::hardware_concurrency() < 2) {
    GTEST_SKIP() << "one core: the caller runs every range itself";
  }
  ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 2), 0);
  const int nice = OwnNice();
  const auto caller_slice = CurrentTimeSlice();
  const std::thread::id caller = std::this_thread::get_id();

  std::mutex mutex;
  std::condition_variable worker_ran;
  std::map<std::thread::id, SeenByThread> seen;
  std::vector<std::atomic<int>> visits(256);
  orvanite::ForEachRange(static_cast<int>(visits.size()), 1, [&](int begin, int end) {
    std::unique_lock<std::mutex> lock(mutex);
    SeenByThread & mine = seen[std::this_thread::get_id()];
    mine.slice = CurrentTimeSlice();
    mine.nice = OwnNice();
    mine.indices += end - begin;
    for (int i = begin; i < end; ++i) {
      ++visits[i];
    }
    if (std::this_thread::get_id() != caller) {
      worker_ran.notify_all();
    } else {
      // Holds the caller in its first range until a worker has taken one; the bound only turns
      // a pool that never helps into a failure below instead of a hang.
      worker_ran.wait_for(lock, std::chrono::seconds(60), [&] { return seen.size() > 1; });
    }
  });

  for (std::size_t i = 0; i < visits.size(); ++i) {
    EXPECT_EQ(visits[i], 1) << "index " << i;
  }
  ASSERT_GT(seen.size(), 1u) << "no worker ran a range";
  const bool custom_slices = KernelHasCustomSlices();
  for (const auto & [thread, what] : seen) {
    EXPECT_EQ(what.nice, nice);
    if (thread == caller) {
      EXPECT_EQ(what.slice, caller_slice) << "the caller's own scheduling is not changed";
    } else if (custom_slices) {
      EXPECT_EQ(what.slice, kShortestTimeSliceNs) << "a worker";
    }
  }
  EXPECT_EQ(CurrentTimeSlice(), caller_slice);
  EXPECT_EQ(OwnNice(), nice);
}

TEST(ForEachRange, CoversEveryIndexOnceForEveryCountAndGrain)
{
  struct Case
  {
    int count;
    int grain;
  };
  for (const Case & c :
       {Case{0, 1}, Case{1, 256}, Case{255, 256}, Case{257, 256}, Case{10000, 1}, Case{10000, 64},
        Case{10000, 100000}}) {
    std::vector<std::atomic<int>> visits(static_cast<std::size_t>(c.count));
    orvanite::ForEachRange(c.count, c.grain, [&visits](int begin, int end) {
      ASSERT_LT(begin, end);
      for (int i = begin; i < end; ++i) {
        ++visits[i];
      }
    });
    for (int i = 0; i < c.count; ++i) {
      ASSERT_EQ(visits[i], 1) << "count " << c.count << " grain " << c.grain << " index " << i;
    }
  }
}

TEST(ForEachRange, CallersAtOnceEachGetTheirOwnRangesDone)
{
  constexpr int kCallers = 4;
  constexpr int kCount = 20000;
  std::vector<std::vector<int>> sums(kCallers, std::vector<int>(kCount, 0));
  std::vector<std::thread> callers;
  for (int c = 0; c < kCallers; ++c) {
    callers.emplace_back([&sums, c] {
      for (int round = 0; round < 20; ++round) {
        orvanite::ForEachRange(kCount, 64, [&sums, c](int begin, int end) {
          for (int i = begin; i < end; ++i) {
            sums[c][i] += c + 1;
          }
        });
      }
    });
  }
  for (auto & caller : callers) {
    caller.join();
  }
  for (int c = 0; c < kCallers; ++c) {
    EXPECT_EQ(std::count(sums[c].begin(), sums[c].end(), 20 * (c + 1)), kCount) << "caller " << c;
  }
}

TEST(ForEachRange, SerialOnThisThreadRunsTheRangesInOrderHere)
{
  std::vector<std::pair<int, int>> ranges;
  const std::thread::id caller = std::this_thread::get_id();
  {
    const orvanite::SerialRangesOnThisThread serial;
    orvanite::ForEachRange(1000, 256, [&](int begin, int end) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      ranges.emplace_back(begin, end);
    });
  }
  const std::vector<std::pair<int, int>> expected = {{0, 256}, {256, 512}, {512, 768}, {768, 1000}};
  EXPECT_EQ(ranges, expected);

  // Range bounds near the largest count cannot overflow.
  ranges.clear();
  constexpr int kMax = std::numeric_limits<int>::max();
  {
    const orvanite::SerialRangesOnThisThread serial;
    orvanite::ForEachRange(
      kMax, kMax / 2 + 1, [&ranges](int begin, int end) { ranges.emplace_back(begin, end); });
  }
  const std::vector<std::pair<int, int>> halves = {{0, kMax / 2 + 1}, {kMax / 2 + 1, kMax}};
  EXPECT_EQ(ranges, halves);

  // Other threads, and this one afterwards, share the pool again.
  std::atomic<int> visited{0};
  orvanite::ForEachRange(1000, 1, [&visited](int begin, int end) { visited += end - begin; });
  EXPECT_EQ(visited, 1000);
}

TEST(ThreadTimeSlice, RequestChangesOnlyTheSlice)
{
  const bool custom_slices = KernelHasCustomSlices();
  std::thread([custom_slices] {
    ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 3), 0);
    ASSERT_TRUE(CurrentTimeSlice().has_value());

    ASSERT_TRUE(orvanite::RequestTimeSlice(kShortestTimeSliceNs));
    EXPECT_EQ(sched_getscheduler(0), SCHED_OTHER);
    EXPECT_EQ(OwnNice(), 3);
    if (custom_slices) {
      EXPECT_EQ(CurrentTimeSlice(), kShortestTimeSliceNs);
    }
  }).join();
}

TEST(ThreadTimeSlice, ThreadsOfAnotherPolicyAreLeftAlone)
{
  std::thread([] {
    const sched_param param{};
    ASSERT_EQ(sched_setscheduler(0, SCHED_BATCH, &param), 0);
    const auto before = CurrentTimeSlice();
    EXPECT_FALSE(orvanite::RequestTimeSlice(kShortestTimeSliceNs));
    EXPECT_EQ(CurrentTimeSlice(), before);
    EXPECT_EQ(sched_getscheduler(0), SCHED_BATCH);
  }).join();
}
}  // namespace
