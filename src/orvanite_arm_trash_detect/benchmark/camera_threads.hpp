// One long-lived thread per camera, as each camera node's frames run on executor threads that
// outlive them: threads (and their allocator arenas) are not made anew for every frame.
#ifndef ORVANITE_ARM_TRASH_DETECT__BENCHMARK__CAMERA_THREADS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__BENCHMARK__CAMERA_THREADS_HPP_

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace orvanite_bench
{
class CameraThreads
{
public:
  // `frame(i)` runs one frame of camera i on thread i.
  CameraThreads(std::size_t cameras, std::function<void(std::size_t)> frame)
  : frame_(std::move(frame))
  {
    for (std::size_t i = 0; i < cameras; ++i) {
      threads_.emplace_back([this, i] { Serve(i); });
    }
  }
  ~CameraThreads()
  {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    started_.notify_all();
    for (auto & thread : threads_) {
      thread.join();
    }
  }
  CameraThreads(const CameraThreads &) = delete;
  CameraThreads & operator=(const CameraThreads &) = delete;

  // One frame on every camera at once; returns when all have finished.
  void Run()
  {
    std::unique_lock<std::mutex> lock(mutex_);
    ++round_;
    running_ = threads_.size();
    started_.notify_all();
    finished_.wait(lock, [this] { return running_ == 0; });
  }

private:
  void Serve(std::size_t camera)
  {
    std::size_t served = 0;
    while (true) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        started_.wait(lock, [&] { return stopping_ || round_ != served; });
        if (stopping_) {
          return;
        }
        served = round_;
      }
      frame_(camera);
      std::lock_guard<std::mutex> lock(mutex_);
      if (--running_ == 0) {
        finished_.notify_one();
      }
    }
  }

  std::function<void(std::size_t)> frame_;
  std::mutex mutex_;
  std::condition_variable started_;
  std::condition_variable finished_;
  std::size_t round_ = 0;    // guarded by mutex_
  std::size_t running_ = 0;  // guarded by mutex_
  bool stopping_ = false;    // guarded by mutex_
  std::vector<std::thread> threads_;
};
}  // namespace orvanite_bench

#endif  // ORVANITE_ARM_TRASH_DETECT__BENCHMARK__CAMERA_THREADS_HPP_
