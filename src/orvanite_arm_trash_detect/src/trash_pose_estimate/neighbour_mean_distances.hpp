// The first pass of statistical outlier removal: each point's mean distance to its k nearest
// neighbours. Internal to the core library, which does not export these functions;
// ParallelStatisticalOutlierRemoval leaves their results in the workspace it is given.
#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__NEIGHBOUR_MEAN_DISTANCES_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__NEIGHBOUR_MEAN_DISTANCES_HPP_

#include <pcl/point_cloud.h>
#include <pcl/point_types.h>
#include <pcl/types.h>

#include "trash_pose_estimate/outlier_filter_workspace.hpp"

namespace orvanite
{
// Fills workspace.mean_distances and workspace.counted for each query point cloud[queries[i]],
// bit for bit as pcl::StatisticalOutlierRemoval's first pass on an unorganised cloud does: the
// same k-d tree as PCL's search::KdTree builds (FLANN's single k-d tree, 15 points a leaf, on the
// float x, y, z of the finite points in cloud order), the same exact search for the point and its
// mean_k nearest others, the square roots summed in double in the order the search returns them
// and divided by mean_k. A cloud with fewer than mean_k + 1 finite points gives every point all
// of them, the missing distances counting as 0, as in PCL. A non-finite query point gets 0 and
// does not count. The searches run on several threads (ForEachRange).
//
// Equal distances cannot change a sum: the search returns the k smallest squared distances in
// ascending order, so the values summed, and their order, are the same whichever of equally
// distant points it returns (and with PCL's tree and search it returns the same points anyway).
//
// Assumes mean_k >= 1, at least one finite point, and squared distances that do not overflow a
// float (coordinates far below 1e19).
void ComputeNeighbourMeanDistances(
  const pcl::PointCloud<pcl::PointXYZ> & cloud, const pcl::Indices & queries, int mean_k,
  OutlierFilterWorkspace & workspace);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__NEIGHBOUR_MEAN_DISTANCES_HPP_
