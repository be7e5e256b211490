// Clearing a point cloud for the next frame without giving its storage back.
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__CLOUD_REUSE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__CLOUD_REUSE_HPP_

#include <utility>

#include <pcl/point_cloud.h>

namespace orvanite
{
// Makes `cloud` equal to a default-constructed cloud (no points, default header, dense, sensor at
// the origin) while its point storage keeps its capacity, so that refilling it to a size it held
// before allocates nothing.
template <typename PointT>
void ResetKeepingCapacity(pcl::PointCloud<PointT> & cloud)
{
  auto points = std::move(cloud.points);
  points.clear();
  cloud = pcl::PointCloud<PointT>();
  cloud.points = std::move(points);
}
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__CLOUD_REUSE_HPP_
