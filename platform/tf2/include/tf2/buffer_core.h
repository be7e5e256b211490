#ifndef TF2__BUFFER_CORE_H_
#define TF2__BUFFER_CORE_H_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "tf2/exceptions.h"
#include "tf2/time.h"

namespace tf2
{
class TimeCacheInterface;

static constexpr Duration BUFFER_CORE_DEFAULT_CACHE_TIME = std::chrono::seconds(10);

// The frame tree: for every child frame the history of its transform to its parent, static
// transforms valid at all times, dynamic ones kept for the cache time behind their newest stamp.
// Thread-safe; knows nothing of any middleware or clock.
class BufferCore
{
public:
  explicit BufferCore(tf2::Duration cache_time_ = BUFFER_CORE_DEFAULT_CACHE_TIME);
  virtual ~BufferCore();
  BufferCore(const BufferCore &) = delete;
  BufferCore & operator=(const BufferCore &) = delete;

  void clear();

  // Stores `transform` (header.frame_id = parent) with its rotation normalised. Returns false, and
  // writes why to stderr, for empty or equal frame ids, non-finite values, a zero quaternion, or
  // data older than the cache time behind the newest stamp of that frame.
  bool setTransform(
    const geometry_msgs::msg::TransformStamped & transform, const std::string & authority,
    bool is_static = false);

  // The transform mapping data in `source_frame` into `target_frame` at `time`, interpolated
  // between stamps; TimePointZero means the latest time the whole chain has in common. The result
  // is stamped with the time used. Throws InvalidArgumentException (empty id or leading '/'),
  // LookupException (unknown frame), ConnectivityException (no common tree) or
  // ExtrapolationException (time outside the stored range).
  geometry_msgs::msg::TransformStamped lookupTransform(
    const std::string & target_frame, const std::string & source_frame,
    const TimePoint & time) const;

  bool canTransform(
    const std::string & target_frame, const std::string & source_frame, const TimePoint & time,
    std::string * error_msg = nullptr) const;

  std::vector<std::string> getAllFrameNames() const;

  // Set by whoever feeds the buffer from its own thread, so that waiting look-ups can be served.
  void setUsingDedicatedThread(bool value);
  bool isUsingDedicatedThread() const;

  tf2::Duration getCacheLength();

protected:
  // Counts stored transforms; a waiter compares it before and after waitForUpdate.
  std::uint64_t updateCount() const;
  // Returns once a transform is stored after the count `seen`, or after `max_wait`.
  void waitForUpdate(std::uint64_t seen, std::chrono::nanoseconds max_wait) const;

private:
  struct Hop;
  struct Chain;
  // Walks from `start` towards the root at `time`, ending at the first frame `stop` accepts or at
  // the root. Where an edge has no data for `time` it ends there too and stores why in `missing`,
  // or throws ExtrapolationException when `missing` is null.
  std::vector<Hop> walkUp(
    const std::string & start, TimePoint time,
    const std::function<bool(const std::string &)> & stop, std::string * missing) const;
  Chain resolve(const std::string & target, const std::string & source, TimePoint time) const;
  const TimeCacheInterface * cacheOf(const std::string & frame) const;
  void validateFrame(const std::string & frame, const char * argument) const;

  const tf2::Duration cache_time_;
  mutable std::mutex mutex_;
  mutable std::condition_variable updated_;
  std::uint64_t update_count_ = 0;
  // Every known frame; a frame seen only as a parent has no cache.
  std::map<std::string, std::unique_ptr<TimeCacheInterface>> frames_;
  std::atomic<bool> using_dedicated_thread_{false};
};
}  // namespace tf2

#endif  // TF2__BUFFER_CORE_H_
