// The buffers of the outlier filter that an estimator keeps from one cloud to the next.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__OUTLIER_FILTER_WORKSPACE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__OUTLIER_FILTER_WORKSPACE_HPP_

#include <vector>

namespace orvanite
{
// Sized anew by each filtering, so after the largest cloud so far nothing is allocated in them.
// One filtering at a time may use a workspace.
struct OutlierFilterWorkspace
{
  // x, y, z of every finite point in cloud order: the matrix the k-d tree is built on.
  std::vector<float> coordinates;
  // Per query point: the mean distance to its neighbours, 0 for a non-finite point.
  std::vector<float> mean_distances;
  // Per query point: 1 where the mean distance counts in the statistics, 0 where it does not.
  std::vector<char> counted;
};
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__OUTLIER_FILTER_WORKSPACE_HPP_
