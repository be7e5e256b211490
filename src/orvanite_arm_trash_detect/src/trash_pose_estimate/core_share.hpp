// How many threads one parallel section may use while others run at the same time.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__CORE_SHARE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__CORE_SHARE_HPP_

namespace orvanite
{
// Registers a parallel section for its lifetime. Each camera runs its estimator on its own
// executor thread; sections that run at once share the cores instead of each taking all.
class CoreShare
{
public:
  CoreShare();
  ~CoreShare();
  CoreShare(const CoreShare &) = delete;
  CoreShare & operator=(const CoreShare &) = delete;

  // The cores divided by the sections running when this one started, at least 1.
  int threads() const { return threads_; }

private:
  int threads_;
};
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__CORE_SHARE_HPP_
