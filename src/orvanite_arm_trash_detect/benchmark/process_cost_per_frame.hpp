// What a benchmark's frames cost the whole process, as counters beside the wall-clock time.
#ifndef ORVANITE_ARM_TRASH_DETECT__BENCHMARK__PROCESS_COST_PER_FRAME_HPP_
#define ORVANITE_ARM_TRASH_DETECT__BENCHMARK__PROCESS_COST_PER_FRAME_HPP_

#include <sys/resource.h>

#include <cstddef>

#include <benchmark/benchmark.h>

namespace orvanite_bench
{
// From construction to destruction, per frame (iterations x `frames_per_iteration`), over every
// thread of the process (the filter's and OpenCV's workers too):
// - minor_faults_per_frame: first touches of pages the process got fresh from the kernel, as
//   every buffer does that the allocator maps anew or took back from the kernel since the last
//   frame;
// - process_cpu_ms_per_frame: user and system CPU time, which a thread spinning while it waits
//   would raise.
class ProcessCostPerFrame
{
public:
  ProcessCostPerFrame(benchmark::State & state, std::size_t frames_per_iteration)
  : state_(state), frames_per_iteration_(frames_per_iteration), start_(Usage())
  {
  }
  ~ProcessCostPerFrame()
  {
    const double frames = static_cast<double>(state_.iterations() * frames_per_iteration_);
    if (frames == 0.0) {
      return;
    }
    const rusage end = Usage();
    state_.counters["minor_faults_per_frame"] =
      static_cast<double>(end.ru_minflt - start_.ru_minflt) / frames;
    state_.counters["process_cpu_ms_per_frame"] =
      (Milliseconds(end.ru_utime) + Milliseconds(end.ru_stime) - Milliseconds(start_.ru_utime) -
       Milliseconds(start_.ru_stime)) /
      frames;
  }
  ProcessCostPerFrame(const ProcessCostPerFrame &) = delete;
  ProcessCostPerFrame & operator=(const ProcessCostPerFrame &) = delete;

private:
  static rusage Usage()
  {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
  }
  static double Milliseconds(const timeval & time)
  {
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) * 1e-3;
  }

  benchmark::State & state_;
  std::size_t frames_per_iteration_;
  rusage start_;
};
}  // namespace orvanite_bench

#endif  // ORVANITE_ARM_TRASH_DETECT__BENCHMARK__PROCESS_COST_PER_FRAME_HPP_
