#include "time_cache.hpp"

#include <algorithm>

namespace tf2
{
namespace
{
void setError(std::string * error, const std::string & text)
{
  if (error) {
    *error = text;
  }
}

TransformStorage interpolate(
  const TransformStorage & one, const TransformStorage & two, TimePoint time)
{
  // A change of parent between the two stamps cannot be blended: keep the earlier one.
  if (one.parent_id != two.parent_id) {
    TransformStorage result = one;
    result.stamp = time;
    return result;
  }
  const double ratio = std::chrono::duration<double>(time - one.stamp).count() /
                       std::chrono::duration<double>(two.stamp - one.stamp).count();
  return TransformStorage{
    time, one.parent_id, one.rotation.slerp(two.rotation, ratio),
    one.translation.lerp(two.translation, ratio)};
}

bool earlier(const TransformStorage & data, TimePoint time) { return data.stamp < time; }
}  // namespace

TimeCache::TimeCache(Duration max_storage_time) : max_storage_time_(max_storage_time) {}

std::optional<TransformStorage> TimeCache::getData(TimePoint time, std::string * error) const
{
  if (storage_.empty()) {
    setError(error, "no data is stored");
    return std::nullopt;
  }
  if (time == TimePointZero) {
    return storage_.back();
  }
  const TransformStorage & oldest = storage_.front();
  const TransformStorage & newest = storage_.back();
  if (storage_.size() == 1 && time != oldest.stamp) {
    setError(
      error, "Lookup would require extrapolation at time " + displayTimePoint(time) +
               ", but only time " + displayTimePoint(oldest.stamp) + " is in the buffer");
    return std::nullopt;
  }
  if (time < oldest.stamp) {
    setError(
      error, "Lookup would require extrapolation into the past.  Requested time " +
               displayTimePoint(time) + " but the earliest data is at time " +
               displayTimePoint(oldest.stamp));
    return std::nullopt;
  }
  if (time > newest.stamp) {
    setError(
      error, "Lookup would require extrapolation into the future.  Requested time " +
               displayTimePoint(time) + " but the latest data is at time " +
               displayTimePoint(newest.stamp));
    return std::nullopt;
  }
  const auto after = std::lower_bound(storage_.begin(), storage_.end(), time, earlier);
  if (after->stamp == time) {
    return *after;
  }
  return interpolate(*std::prev(after), *after, time);
}

bool TimeCache::insertData(const TransformStorage & data)
{
  if (!storage_.empty() && data.stamp + max_storage_time_ < storage_.back().stamp) {
    return false;
  }
  const auto position = std::lower_bound(storage_.begin(), storage_.end(), data.stamp, earlier);
  if (position != storage_.end() && position->stamp == data.stamp) {
    *position = data;  // a newer value for the same instant replaces the old one
  } else {
    storage_.insert(position, data);
  }
  while (storage_.front().stamp + max_storage_time_ < storage_.back().stamp) {
    storage_.pop_front();
  }
  return true;
}

TimePoint TimeCache::getLatestTimestamp() const
{
  return storage_.empty() ? TimePointZero : storage_.back().stamp;
}

std::string TimeCache::getLatestParent() const
{
  return storage_.empty() ? std::string() : storage_.back().parent_id;
}
}  // namespace tf2
