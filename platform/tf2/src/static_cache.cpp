#include "time_cache.hpp"

namespace tf2
{
std::optional<TransformStorage> StaticCache::getData(TimePoint time, std::string *) const
{
  TransformStorage data = storage_;
  data.stamp = time;
  return data;
}

bool StaticCache::insertData(const TransformStorage & data)
{
  storage_ = data;
  return true;
}

TimePoint StaticCache::getLatestTimestamp() const { return TimePointZero; }

std::string StaticCache::getLatestParent() const { return storage_.parent_id; }
}  // namespace tf2
