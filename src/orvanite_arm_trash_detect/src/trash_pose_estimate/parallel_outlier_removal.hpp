// pcl::StatisticalOutlierRemoval with its neighbour searches spread over the cores.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_OUTLIER_REMOVAL_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_OUTLIER_REMOVAL_HPP_

#include <pcl/filters/statistical_outlier_removal.h>
#include <pcl/point_types.h>

namespace orvanite
{
// Keeps exactly the points, in exactly the order, that pcl::StatisticalOutlierRemoval keeps with
// the same settings: the per-point mean distances come from the same unsorted k-d tree and are
// summed in the same order, and the global mean and deviation are summed sequentially as PCL
// sums them. Only the k-nearest searches, which are independent, run on several threads.
// Organised input and a neighbour count below 1 take PCL's own code.
class ParallelStatisticalOutlierRemoval : public pcl::StatisticalOutlierRemoval<pcl::PointXYZ>
{
protected:
  void applyFilter(pcl::Indices & indices) override;
};
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__PARALLEL_OUTLIER_REMOVAL_HPP_
