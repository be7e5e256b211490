#include "trash_pose_estimate/parallel_outlier_removal.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include <pcl/search/kdtree.h>
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

namespace orvanite
{
namespace
{
bool IsFinite(const pcl::PointXYZ & point)
{
  return std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z);
}
}  // namespace

void ParallelStatisticalOutlierRemoval::applyFilter(pcl::Indices & indices)
{
  const int mean_k = getMeanK();
  if (input_->isOrganized() || mean_k < 1) {
    pcl::StatisticalOutlierRemoval<pcl::PointXYZ>::applyFilter(indices);
    return;
  }
  // PCL's own search: unsorted results, so each point's distances are summed in the same order.
  pcl::search::KdTree<pcl::PointXYZ> searcher(false);
  searcher.setInputCloud(input_);

  const int searcher_k = mean_k + 1;  // the query point comes back as well
  const int count = static_cast<int>(indices_->size());
  std::vector<float> distances(indices_->size());
  std::vector<char> valid(indices_->size(), 0);
  // TBB's one pool of workers is shared by every camera that filters at the same moment, so
  // several cameras never ask for more threads than there are cores.
  tbb::parallel_for(
    tbb::blocked_range<int>(0, count, 256), [&](const tbb::blocked_range<int> & range) {
      pcl::Indices nn_indices(searcher_k);
      std::vector<float> nn_dists(searcher_k);
      for (int iii = range.begin(); iii < range.end(); ++iii) {
        const pcl::index_t index = (*indices_)[iii];
        if (!IsFinite((*input_)[index])) {
          distances[iii] = 0.0f;
          continue;
        }
        const int found = searcher.nearestKSearch(index, searcher_k, nn_indices, nn_dists);
        if (found == 0) {
          distances[iii] = 0.0f;
          PCL_WARN(
            "[pcl::%s::applyFilter] Searching for the closest %d neighbors failed.\n",
            getClassName().c_str(), mean_k);
          continue;
        }
        // A cloud smaller than k + 1 returns fewer neighbours; PCL adds zeros for the missing ones,
        // which leave the sum as it is.
        double dist_sum = 0.0;
        for (int k = 1; k < found && k < searcher_k; ++k) {
          dist_sum += std::sqrt(static_cast<double>(nn_dists[k]));
        }
        distances[iii] = static_cast<float>(dist_sum / mean_k);
        valid[iii] = 1;
      }
    });
  const int valid_distances = static_cast<int>(std::count(valid.begin(), valid.end(), 1));

  double sum = 0;
  double sq_sum = 0;
  for (const float & distance : distances) {
    sum += distance;
    sq_sum += distance * distance;
  }
  const double mean = sum / static_cast<double>(valid_distances);
  const double variance = (sq_sum - sum * sum / static_cast<double>(valid_distances)) /
                          (static_cast<double>(valid_distances) - 1);
  const double stddev = std::sqrt(variance);
  const double distance_threshold = mean + getStddevMulThresh() * stddev;

  indices.resize(indices_->size());
  removed_indices_->resize(indices_->size());
  int oii = 0;
  int rii = 0;
  for (int iii = 0; iii < count; ++iii) {
    if (
      (!negative_ && distances[iii] > distance_threshold) ||
      (negative_ && distances[iii] <= distance_threshold)) {
      if (extract_removed_indices_) {
        (*removed_indices_)[rii++] = (*indices_)[iii];
      }
      continue;
    }
    indices[oii++] = (*indices_)[iii];
  }
  indices.resize(oii);
  removed_indices_->resize(rii);
}
}  // namespace orvanite
