#ifndef TF2__SRC__TIME_CACHE_HPP_
#define TF2__SRC__TIME_CACHE_HPP_

#include <deque>
#include <optional>
#include <string>

#include "tf2/LinearMath/Quaternion.h"
#include "tf2/LinearMath/Vector3.h"
#include "tf2/time.h"

namespace tf2
{
// One transform from a frame to its parent: p_parent = rotation * p_child + translation.
struct TransformStorage
{
  TimePoint stamp;
  std::string parent_id;
  Quaternion rotation;
  Vector3 translation;
};

// The history of one frame's transform to its parent.
class TimeCacheInterface
{
public:
  virtual ~TimeCacheInterface() = default;

  // The transform at `time` (TimePointZero: the newest). Outside the stored range it returns
  // nothing and, if `error` is given, says why.
  virtual std::optional<TransformStorage> getData(TimePoint time, std::string * error) const = 0;
  // False when the data is too old to be kept.
  virtual bool insertData(const TransformStorage & data) = 0;
  // The newest stored stamp; TimePointZero when the transform holds at every time.
  virtual TimePoint getLatestTimestamp() const = 0;
  virtual std::string getLatestParent() const = 0;
};

// Dynamic transforms, interpolated between stamps and kept for `max_storage_time` behind the
// newest one.
class TimeCache : public TimeCacheInterface
{
public:
  explicit TimeCache(Duration max_storage_time);

  std::optional<TransformStorage> getData(TimePoint time, std::string * error) const override;
  bool insertData(const TransformStorage & data) override;
  TimePoint getLatestTimestamp() const override;
  std::string getLatestParent() const override;

private:
  Duration max_storage_time_;
  std::deque<TransformStorage> storage_;  // ascending stamps, no two alike
};

// A static transform: one value, valid at every time.
class StaticCache : public TimeCacheInterface
{
public:
  std::optional<TransformStorage> getData(TimePoint time, std::string * error) const override;
  bool insertData(const TransformStorage & data) override;
  TimePoint getLatestTimestamp() const override;
  std::string getLatestParent() const override;

private:
  TransformStorage storage_;
};
}  // namespace tf2

#endif  // TF2__SRC__TIME_CACHE_HPP_
