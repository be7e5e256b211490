// Small synthetic trash clouds in the arm-base frame (metres, z up) for estimator tests.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_CLOUDS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_CLOUDS_HPP_

#include <cmath>
#include <string>
#include <vector>

#include <Eigen/Core>
#include <Eigen/Geometry>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

namespace orvanite_test
{

using Cloud = pcl::PointCloud<pcl::PointXYZ>;

inline Cloud::Ptr MakeCloud(const std::vector<Eigen::Vector3f> & points)
{
  Cloud::Ptr cloud(new Cloud);
  for (const auto & p : points) {
    cloud->push_back(pcl::PointXYZ(p.x(), p.y(), p.z()));
  }
  return cloud;
}

// Every location `copies` times. With the outlier filter's neighbour count below `copies` all
// neighbour distances are zero, so the filter keeps every point and the centroid is exact.
inline Cloud::Ptr Replicated(const std::vector<Eigen::Vector3f> & locations, int copies)
{
  std::vector<Eigen::Vector3f> points;
  for (const auto & location : locations) {
    points.insert(points.end(), copies, location);
  }
  return MakeCloud(points);
}

// The eight corners of an axis-aligned box.
inline std::vector<Eigen::Vector3f> BoxCorners(
  const Eigen::Vector3f & center, const Eigen::Vector3f & size)
{
  std::vector<Eigen::Vector3f> corners;
  for (int i = 0; i < 8; ++i) {
    const Eigen::Vector3f sign(
      (i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f);
    corners.push_back(center + 0.5f * sign.cwiseProduct(size));
  }
  return corners;
}

// Points of the faces of an axis-aligned box that a camera above it sees: top and four sides,
// on a grid of `step`.
inline Cloud::Ptr BoxSurface(
  const Eigen::Vector3f & center, const Eigen::Vector3f & size, float step)
{
  std::vector<Eigen::Vector3f> points;
  const Eigen::Vector3f low = center - 0.5f * size;
  const int nx = static_cast<int>(std::round(size.x() / step));
  const int ny = static_cast<int>(std::round(size.y() / step));
  const int nz = static_cast<int>(std::round(size.z() / step));
  for (int i = 0; i <= nx; ++i) {
    for (int j = 0; j <= ny; ++j) {
      points.emplace_back(low.x() + i * step, low.y() + j * step, low.z() + size.z());
    }
  }
  for (int k = 0; k < nz; ++k) {
    const float z = low.z() + k * step;
    for (int i = 0; i <= nx; ++i) {
      points.emplace_back(low.x() + i * step, low.y(), z);
      points.emplace_back(low.x() + i * step, low.y() + size.y(), z);
    }
    for (int j = 1; j < ny; ++j) {
      points.emplace_back(low.x(), low.y() + j * step, z);
      points.emplace_back(low.x() + size.x(), low.y() + j * step, z);
    }
  }
  return MakeCloud(points);
}

// The half of a cylinder's side that faces `camera_xy`, standing on `base` and tilted by
// `tilt_degrees` about the x axis.
inline Cloud::Ptr CylinderFront(
  const Eigen::Vector3f & base, float radius, float height, float tilt_degrees,
  const Eigen::Vector2f & camera_xy)
{
  const Eigen::Vector2f towards_camera = (camera_xy - base.head<2>()).normalized();
  const float facing = std::atan2(towards_camera.y(), towards_camera.x());
  const Eigen::Matrix3f tilt =
    Eigen::AngleAxisf(tilt_degrees * static_cast<float>(M_PI) / 180.0f, Eigen::Vector3f::UnitX())
      .toRotationMatrix();
  std::vector<Eigen::Vector3f> points;
  for (int k = 0; k <= 40; ++k) {
    for (int i = -10; i <= 10; ++i) {
      const float angle = facing + i * static_cast<float>(M_PI) / 20.0f;
      const Eigen::Vector3f local(
        radius * std::cos(angle), radius * std::sin(angle), height * k / 40.0f);
      points.push_back(base + tilt * local);
    }
  }
  return MakeCloud(points);
}

inline bool ContainsLine(const std::vector<std::string> & lines, const std::string & line)
{
  for (const auto & candidate : lines) {
    if (candidate == line) {
      return true;
    }
  }
  return false;
}

}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__SYNTHETIC_CLOUDS_HPP_
