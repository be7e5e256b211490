#include "tf2/buffer_core.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>

#include "tf2/LinearMath/Transform.h"
#include "time_cache.hpp"

namespace tf2
{
namespace
{
TimePoint fromMsg(const builtin_interfaces::msg::Time & stamp)
{
  return TimePoint(std::chrono::seconds(stamp.sec) + std::chrono::nanoseconds(stamp.nanosec));
}

builtin_interfaces::msg::Time toMsg(TimePoint time)
{
  const auto since_epoch = time.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(since_epoch);
  builtin_interfaces::msg::Time stamp;
  stamp.sec = static_cast<std::int32_t>(seconds.count());
  stamp.nanosec = static_cast<std::uint32_t>((since_epoch - seconds).count());
  return stamp;
}

geometry_msgs::msg::TransformStamped toMsg(
  const Transform & transform, TimePoint stamp, const std::string & target,
  const std::string & source)
{
  geometry_msgs::msg::TransformStamped out;
  out.header.stamp = toMsg(stamp);
  out.header.frame_id = target;
  out.child_frame_id = source;
  const Vector3 & origin = transform.getOrigin();
  out.transform.translation.x = origin.x();
  out.transform.translation.y = origin.y();
  out.transform.translation.z = origin.z();
  const Quaternion rotation = transform.getRotation();
  out.transform.rotation.x = rotation.x();
  out.transform.rotation.y = rotation.y();
  out.transform.rotation.z = rotation.z();
  out.transform.rotation.w = rotation.w();
  return out;
}

std::string stripSlash(const std::string & frame)
{
  return !frame.empty() && frame.front() == '/' ? frame.substr(1) : frame;
}

bool allFinite(const geometry_msgs::msg::Transform & t)
{
  const double values[] = {t.translation.x, t.translation.y, t.translation.z, t.rotation.x,
                           t.rotation.y,    t.rotation.z,    t.rotation.w};
  return std::all_of(
    std::begin(values), std::end(values), [](double v) { return std::isfinite(v); });
}

bool reject(const std::string & code, const std::string & why, const std::string & authority)
{
  std::cerr << code << ": ignoring transform from authority \"" << authority << "\": " << why
            << std::endl;
  return false;
}
}  // namespace

// A frame reached while walking towards the root, with the transform mapping the walk's start
// frame into it and the stamp of the data of the edge that led to it (zero for static edges).
struct BufferCore::Hop
{
  std::string frame;
  Transform from_start;
  TimePoint edge_stamp;
};

BufferCore::BufferCore(tf2::Duration cache_time) : cache_time_(cache_time) {}

BufferCore::~BufferCore() = default;

void BufferCore::clear()
{
  std::lock_guard<std::mutex> lock(mutex_);
  frames_.clear();
}

bool BufferCore::setTransform(
  const geometry_msgs::msg::TransformStamped & transform, const std::string & authority,
  bool is_static)
{
  const std::string child = stripSlash(transform.child_frame_id);
  const std::string parent = stripSlash(transform.header.frame_id);
  if (child.empty()) {
    return reject("TF_NO_CHILD_FRAME_ID", "child_frame_id is empty", authority);
  }
  if (parent.empty()) {
    return reject("TF_NO_FRAME_ID", "frame_id of child \"" + child + "\" is empty", authority);
  }
  if (child == parent) {
    return reject(
      "TF_SELF_TRANSFORM", "frame_id and child_frame_id are both \"" + child + "\"", authority);
  }
  if (!allFinite(transform.transform)) {
    return reject("TF_NAN_INPUT", "non-finite value for frame \"" + child + "\"", authority);
  }
  // Any other quaternion is stored normalised, as building a rotation matrix from it would; the
  // zero quaternion has no direction and comes out of that matrix as NaN.
  const auto & r = transform.transform.rotation;
  Quaternion rotation(r.x, r.y, r.z, r.w);
  if (rotation.length2() == 0.0) {
    return reject(
      "TF_NAN_INPUT", "zero rotation quaternion for frame \"" + child + "\"", authority);
  }
  const auto & t = transform.transform.translation;
  const TransformStorage data{
    fromMsg(transform.header.stamp), parent, rotation.normalize(), Vector3(t.x, t.y, t.z)};

  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto & cache = frames_[child];
    if (!cache) {
      if (is_static) {
        cache = std::make_unique<StaticCache>();
      } else {
        cache = std::make_unique<TimeCache>(cache_time_);
      }
    }
    frames_.try_emplace(parent);
    if (!cache->insertData(data)) {
      return reject(
        "TF_OLD_DATA",
        "data for frame \"" + child + "\" at time " + displayTimePoint(data.stamp) +
          " is older than the cache time",
        authority);
    }
    ++update_count_;
  }
  updated_.notify_all();
  return true;
}

const TimeCacheInterface * BufferCore::cacheOf(const std::string & frame) const
{
  const auto found = frames_.find(frame);
  return found == frames_.end() ? nullptr : found->second.get();
}

void BufferCore::validateFrame(const std::string & frame, const char * argument) const
{
  if (frame.empty()) {
    throw InvalidArgumentException(
      std::string("Invalid argument \"\" passed to lookupTransform argument ") + argument +
      " - in tf2 frame_ids cannot be empty");
  }
  if (frame.front() == '/') {
    throw InvalidArgumentException(
      "Invalid argument \"" + frame + "\" passed to lookupTransform argument " + argument +
      " - in tf2 frame_ids cannot start with a '/' like: ");
  }
  if (frames_.count(frame) == 0) {
    throw LookupException(
      "\"" + frame + "\" passed to lookupTransform argument " + argument + " does not exist. ");
  }
}

std::vector<BufferCore::Hop> BufferCore::walkUp(
  const std::string & start, TimePoint time, const std::function<bool(const std::string &)> & stop,
  std::string * missing) const
{
  std::vector<Hop> hops{Hop{start, Transform(), TimePointZero}};
  while (!stop(hops.back().frame)) {
    const TimeCacheInterface * cache = cacheOf(hops.back().frame);
    if (!cache) {
      break;  // a root
    }
    std::string error;
    const std::optional<TransformStorage> edge = cache->getData(time, &error);
    if (!edge) {
      error += " for frame " + hops.back().frame;
      if (!missing) {
        throw ExtrapolationException(error);
      }
      *missing = error;
      break;
    }
    if (hops.size() > frames_.size()) {
      throw LookupException("The tf tree is invalid because it contains a loop.");
    }
    const Transform to_parent(edge->rotation, edge->translation);
    hops.push_back(Hop{edge->parent_id, to_parent * hops.back().from_start, edge->stamp});
  }
  return hops;
}

// The transform of a resolved look-up and the latest time its edges have in common.
struct BufferCore::Chain
{
  Transform target_from_source;
  TimePoint common_time;
};

BufferCore::Chain BufferCore::resolve(
  const std::string & target, const std::string & source, TimePoint time) const
{
  // Walk up from the source first; the target's walk then ends where it meets that path, so
  // edges above the common ancestor never matter.
  std::string source_missing;
  const std::vector<Hop> source_hops = walkUp(
    source, time, [&target](const std::string & frame) { return frame == target; },
    &source_missing);
  const auto on_source_path = [&source_hops](const std::string & frame) {
    return std::find_if(source_hops.begin(), source_hops.end(), [&frame](const Hop & hop) {
      return hop.frame == frame;
    });
  };
  const std::vector<Hop> target_hops = walkUp(
    target, time,
    [&](const std::string & frame) { return on_source_path(frame) != source_hops.end(); }, nullptr);

  const auto common = on_source_path(target_hops.back().frame);
  if (common == source_hops.end()) {
    if (!source_missing.empty()) {
      throw ExtrapolationException(
        source_missing + ", when looking up transform from frame [" + source + "] to frame [" +
        target + "]");
    }
    throw ConnectivityException(
      "Could not find a connection between '" + target + "' and '" + source +
      "' because they are not part of the same tree. Tf has two or more unconnected trees.");
  }

  TimePoint common_time = TimePointZero;
  const auto narrow = [&common_time](const Hop & hop) {
    if (
      hop.edge_stamp != TimePointZero &&
      (common_time == TimePointZero || hop.edge_stamp < common_time)) {
      common_time = hop.edge_stamp;
    }
  };
  std::for_each(source_hops.begin(), std::next(common), narrow);
  std::for_each(target_hops.begin(), target_hops.end(), narrow);
  return Chain{target_hops.back().from_start.inverse() * common->from_start, common_time};
}

geometry_msgs::msg::TransformStamped BufferCore::lookupTransform(
  const std::string & target_frame, const std::string & source_frame, const TimePoint & time) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (target_frame == source_frame) {
    const TimeCacheInterface * cache = cacheOf(target_frame);
    const TimePoint stamp = time == TimePointZero && cache ? cache->getLatestTimestamp() : time;
    return toMsg(Transform(), stamp, target_frame, source_frame);
  }
  validateFrame(target_frame, "target_frame");
  validateFrame(source_frame, "source_frame");
  const TimePoint used =
    time == TimePointZero ? resolve(target_frame, source_frame, time).common_time : time;
  return toMsg(
    resolve(target_frame, source_frame, used).target_from_source, used, target_frame, source_frame);
}

bool BufferCore::canTransform(
  const std::string & target_frame, const std::string & source_frame, const TimePoint & time,
  std::string * error_msg) const
{
  try {
    lookupTransform(target_frame, source_frame, time);
    return true;
  } catch (const TransformException & e) {
    if (error_msg) {
      *error_msg = e.what();
    }
    return false;
  }
}

std::vector<std::string> BufferCore::getAllFrameNames() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> names;
  names.reserve(frames_.size());
  for (const auto & frame : frames_) {
    names.push_back(frame.first);
  }
  return names;
}

void BufferCore::setUsingDedicatedThread(bool value) { using_dedicated_thread_ = value; }

bool BufferCore::isUsingDedicatedThread() const { return using_dedicated_thread_; }

tf2::Duration BufferCore::getCacheLength() { return cache_time_; }

std::uint64_t BufferCore::updateCount() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return update_count_;
}

void BufferCore::waitForUpdate(std::uint64_t seen, std::chrono::nanoseconds max_wait) const
{
  std::unique_lock<std::mutex> lock(mutex_);
  updated_.wait_for(lock, max_wait, [&] { return update_count_ != seen; });
}
}  // namespace tf2
