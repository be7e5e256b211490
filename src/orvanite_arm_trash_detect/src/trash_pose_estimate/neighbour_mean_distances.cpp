#include "trash_pose_estimate/neighbour_mean_distances.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include <flann/algorithms/dist.h>
#include <flann/algorithms/kdtree_single_index.h>
#include <flann/util/matrix.h>
#include <flann/util/params.h>
#include <pcl/common/point_tests.h>

#include "trash_pose_estimate/parallel_ranges.hpp"

// PCL's libraries run FLANN's search inside an OpenMP region per query; compiled here without
// OpenMP the same search runs plain.
#ifdef _OPENMP
#error "build the neighbour search without OpenMP"
#endif

namespace orvanite
{
namespace
{
using Tree = flann::KDTreeSingleIndex<flann::L2_Simple<float>>;

constexpr int kDimensions = 3;
constexpr int kLeafSize = 15;  // pcl::KdTreeFLANN's
constexpr int kQueriesPerRange = 256;

// PCL's KdTreeFLANN searches for k neighbours with these: unlimited checks, exact (eps 0).
const flann::SearchParams kExactSearch(-1, 0.0f);

// The mean distances of queries [begin, end).
void MeanDistancesOfRange(
  const Tree & tree, const pcl::PointCloud<pcl::PointXYZ> & cloud, const pcl::Indices & queries,
  int mean_k, int begin, int end, OutlierFilterWorkspace & workspace)
{
  // The point itself and its mean_k others, or every finite point of a smaller cloud.
  const std::size_t k = std::min<std::size_t>(mean_k + 1, tree.size());
  std::vector<std::size_t> neighbours(k);
  std::vector<float> squared_distances(k);
  flann::Matrix<std::size_t> neighbour_matrix(neighbours.data(), 1, k);
  flann::Matrix<float> distance_matrix(squared_distances.data(), 1, k);
  for (int i = begin; i < end; ++i) {
    const pcl::PointXYZ & point = cloud[queries[i]];
    if (!pcl::isXYZFinite(point)) {
      workspace.mean_distances[i] = 0.0f;
      workspace.counted[i] = 0;
      continue;
    }
    float query[kDimensions] = {point.x, point.y, point.z};
    tree.knnSearch(
      flann::Matrix<float>(query, 1, kDimensions), neighbour_matrix, distance_matrix, k,
      kExactSearch);
    double sum = 0.0;
    for (std::size_t n = 1; n < k; ++n) {  // the first is the query point
      sum += std::sqrt(static_cast<double>(squared_distances[n]));
    }
    workspace.mean_distances[i] = static_cast<float>(sum / mean_k);
    workspace.counted[i] = 1;
  }
}
}  // namespace

void ComputeNeighbourMeanDistances(
  const pcl::PointCloud<pcl::PointXYZ> & cloud, const pcl::Indices & queries, int mean_k,
  OutlierFilterWorkspace & workspace)
{
  std::vector<float> & coordinates = workspace.coordinates;
  coordinates.resize(cloud.size() * kDimensions);
  std::size_t finite = 0;
  for (const auto & point : cloud.points) {
    if (pcl::isXYZFinite(point)) {
      coordinates[kDimensions * finite] = point.x;
      coordinates[kDimensions * finite + 1] = point.y;
      coordinates[kDimensions * finite + 2] = point.z;
      ++finite;
    }
  }
  Tree tree(
    flann::Matrix<float>(coordinates.data(), finite, kDimensions),
    flann::KDTreeSingleIndexParams(kLeafSize));
  tree.buildIndex();

  const int count = static_cast<int>(queries.size());
  workspace.mean_distances.resize(queries.size());
  workspace.counted.resize(queries.size());
  ForEachRange(count, kQueriesPerRange, [&](int begin, int end) {
    MeanDistancesOfRange(tree, cloud, queries, mean_k, begin, end, workspace);
  });
}
}  // namespace orvanite
