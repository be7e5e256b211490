// A table of trash clouds of every shape the estimator must measure alike however it computes:
// random, flat, thin, shaped like the scenes' trash, tiny and repeated.
#ifndef ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CLOUD_TABLE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CLOUD_TABLE_HPP_

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/synthetic_clouds.hpp"
#include "support/synthetic_rgbd.hpp"

namespace orvanite_test
{
struct NamedCloud
{
  std::string name;
  Cloud::Ptr cloud;
};

// The top of a box seen by a downward 640 x 480 camera, as the camera node builds it from a
// mask and a depth image: whole millimetres, a few of jitter, `width` x `height` pixels.
inline Cloud::Ptr CameraSeenTop(const cv::Rect & pixels, double height_above_floor)
{
  DownwardCamera camera;
  camera.height = 480;
  camera.cy = 240.0f;
  std::vector<Eigen::Vector3f> points;
  for (int v = pixels.y; v < pixels.y + pixels.height; ++v) {
    for (int u = pixels.x; u < pixels.x + pixels.width; ++u) {
      const uint16_t depth =
        static_cast<uint16_t>(camera.DepthMm(camera.floor_z + height_above_floor) + (u + v) % 5);
      points.push_back(camera.ToArmBase(u, v, depth).cast<float>());
    }
  }
  return MakeCloud(points);
}

inline std::vector<NamedCloud> CloudTable()
{
  std::mt19937 random(7);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Eigen::Vector3f> scattered;
  for (int i = 0; i < 3000; ++i) {
    scattered.emplace_back(
      0.45f + 0.1f * unit(random), 0.1f * unit(random), -0.15f + 0.1f * unit(random));
  }
  std::vector<Eigen::Vector3f> sheet;
  for (int i = 0; i < 60; ++i) {
    for (int j = 0; j < 40; ++j) {
      sheet.emplace_back(0.4f + 0.002f * i, -0.04f + 0.002f * j, -0.17f);
    }
  }
  std::vector<Eigen::Vector3f> rod;
  for (int i = 0; i < 400; ++i) {
    rod.emplace_back(
      0.4f + 0.0005f * i, 1e-4f * (unit(random) - 0.5f), -0.17f + 1e-4f * (unit(random) - 0.5f));
  }
  const std::vector<Eigen::Vector3f> corners =
    BoxCorners(Eigen::Vector3f(0.5f, 0.0f, -0.15f), Eigen::Vector3f(0.06f, 0.03f, 0.02f));
  return {
    {"random", MakeCloud(scattered)},
    {"flat_sheet", MakeCloud(sheet)},
    {"thin_rod", MakeCloud(rod)},
    {"box_surface",
     BoxSurface(
       Eigen::Vector3f(0.45f, 0.05f, -0.15f), Eigen::Vector3f(0.08f, 0.05f, 0.04f), 0.002f)},
    {"standing_bottle",
     CylinderFront(
       Eigen::Vector3f(0.5f, 0.0f, -0.176f), 0.03f, 0.2f, 10.0f, Eigen::Vector2f(-0.5f, 0.0f))},
    {"camera_seen_paper", CameraSeenTop(cv::Rect(260, 170, 60, 40), 0.002)},
    {"camera_seen_box_25k", CameraSeenTop(cv::Rect(230, 170, 180, 140), 0.03)},
    {"one_point", MakeCloud({{0.5f, 0.0f, -0.15f}})},
    {"two_points", MakeCloud({{0.5f, 0.0f, -0.15f}, {0.52f, 0.01f, -0.14f}})},
    {"three_points",
     MakeCloud({{0.5f, 0.0f, -0.15f}, {0.52f, 0.01f, -0.14f}, {0.49f, 0.03f, -0.16f}})},
    {"duplicates", Replicated(corners, 6)},
    {"all_one_point", Replicated({Eigen::Vector3f(0.5f, 0.0f, -0.15f)}, 80)},
  };
}

// The same bits: floats compared as stored, so -0 differs from 0 and NaN equals its own copy.
template <typename T>
bool SameBits(const T & a, const T & b)
{
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

inline bool SameCloud(const Cloud & a, const Cloud & b)
{
  if (a.size() != b.size() || a.width != b.width || a.height != b.height) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!SameBits(a[i].getVector3fMap().eval(), b[i].getVector3fMap().eval())) {
      return false;
    }
  }
  return a.is_dense == b.is_dense && a.header.frame_id == b.header.frame_id;
}
}  // namespace orvanite_test

#endif  // ORVANITE_ARM_TRASH_DETECT__TEST__SUPPORT__CLOUD_TABLE_HPP_
