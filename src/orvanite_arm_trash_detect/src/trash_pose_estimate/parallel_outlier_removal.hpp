// pcl::StatisticalOutlierRemoval with its neighbour searches spread over the cores.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_OUTLIER_REMOVAL_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_OUTLIER_REMOVAL_HPP_

#include <pcl/filters/statistical_outlier_removal.h>
#include <pcl/point_types.h>

#include "trash_pose_estimate/outlier_filter_workspace.hpp"

namespace orvanite
{
// Keeps exactly the points, in exactly the order, that pcl::StatisticalOutlierRemoval keeps with
// the same settings: the per-point mean distances are PCL's bit for bit
// (ComputeNeighbourMeanDistances), and the global mean and deviation are summed sequentially as
// PCL sums them. Only the k-nearest searches, which are independent, run on several threads.
// Organised input, a neighbour count below 1 and a cloud without a finite point take PCL's own
// code. The filter's buffers live in the workspace given, or in the filter's own.
class ParallelStatisticalOutlierRemoval : public pcl::StatisticalOutlierRemoval<pcl::PointXYZ>
{
public:
  ParallelStatisticalOutlierRemoval() : workspace_(own_workspace_) {}
  // `workspace` must outlive the filter and serve no other filtering meanwhile.
  explicit ParallelStatisticalOutlierRemoval(OutlierFilterWorkspace & workspace)
  : workspace_(workspace)
  {
  }
  ParallelStatisticalOutlierRemoval(const ParallelStatisticalOutlierRemoval &) = delete;
  ParallelStatisticalOutlierRemoval & operator=(const ParallelStatisticalOutlierRemoval &) = delete;

protected:
  void applyFilter(pcl::Indices & indices) override;

private:
  OutlierFilterWorkspace own_workspace_;
  OutlierFilterWorkspace & workspace_;
};
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_OUTLIER_REMOVAL_HPP_
