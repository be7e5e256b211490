#include "trash_pose_estimate/parallel_outlier_removal.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include <pcl/common/point_tests.h>

#include "trash_pose_estimate/neighbour_mean_distances.hpp"

namespace orvanite
{
void ParallelStatisticalOutlierRemoval::applyFilter(pcl::Indices & indices)
{
  const int mean_k = getMeanK();
  if (
    input_->isOrganized() || mean_k < 1 ||
    std::none_of(input_->points.begin(), input_->points.end(), pcl::isXYZFinite<pcl::PointXYZ>)) {
    pcl::StatisticalOutlierRemoval<pcl::PointXYZ>::applyFilter(indices);
    return;
  }
  ComputeNeighbourMeanDistances(*input_, *indices_, mean_k, workspace_);
  const std::vector<float> & distances = workspace_.mean_distances;
  const int valid_distances =
    static_cast<int>(std::count(workspace_.counted.begin(), workspace_.counted.end(), 1));

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

  const int count = static_cast<int>(indices_->size());
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
