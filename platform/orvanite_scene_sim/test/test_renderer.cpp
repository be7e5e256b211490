#include "orvanite_scene_sim/renderer.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "scene_builder.hpp"

namespace orvanite_scene_sim
{
namespace
{

using test::CameraLookingAt;
using test::FloorScene;
using test::kFloorRgb;
using test::kObjectRgb;
using test::MakeObject;

constexpr double kDeg = M_PI / 180.0;

double DepthMm(const RenderedFrame & frame, int u, int v)
{
  return frame.depth_mm.at<std::uint16_t>(v, u);
}

// The point a depth pixel measured, in the arm-base frame.
Eigen::Vector3d BackProject(const Camera & camera, int u, int v, double depth_mm)
{
  const Intrinsics & k = camera.intrinsics;
  const double z = depth_mm / 1000.0;
  return camera.pose_in_arm_base * Eigen::Vector3d((u - k.cx) * z / k.fx, (v - k.cy) * z / k.fy, z);
}

// Signed distance from p (object frame) to the object's surface.
double SurfaceDistance(const SceneObject & object, const Eigen::Vector3d & p)
{
  if (object.shape == Shape::kCylinder) {
    const Eigen::Vector2d d(
      std::abs(p.x()) - object.size.x() / 2.0, std::hypot(p.y(), p.z()) - object.size.y() / 2.0);
    return std::min(d.maxCoeff(), 0.0) + d.cwiseMax(0.0).norm();
  }
  const Eigen::Vector3d d = p.cwiseAbs() - object.size / 2.0;
  return std::min(d.maxCoeff(), 0.0) + d.cwiseMax(0.0).norm();
}

cv::Mat ColourRegion(const RenderedFrame & frame, const cv::Vec3b & rgb)
{
  cv::Mat region;
  cv::inRange(frame.rgb, rgb, rgb, region);
  return region;
}

struct FloorCase
{
  double height;  // above the floor
  double pitch_deg;
  double floor_z = 0.0;
};

class FloorDepth : public ::testing::TestWithParam<FloorCase>
{
};

TEST_P(FloorDepth, PrincipalPointSeesTheFloorAtHeightOverSinPitch)
{
  const FloorCase c = GetParam();
  Scene scene = FloorScene(OpticalPoseFromRpy(
    Eigen::Vector3d(0.1, -0.3, c.floor_z + c.height), 0, c.pitch_deg * kDeg, 25 * kDeg));
  scene.floor_z = c.floor_z;
  const RenderedFrame frame = Render(scene, scene.cameras[0]);
  const double expected_mm = 1000.0 * c.height / std::sin(c.pitch_deg * kDeg);
  EXPECT_NEAR(DepthMm(frame, 80, 60), expected_mm, 1.0);
  EXPECT_EQ(frame.rgb.at<cv::Vec3b>(60, 80), kFloorRgb);
  EXPECT_EQ(frame.object_index.at<int>(60, 80), -1);
}

INSTANTIATE_TEST_SUITE_P(
  Cameras, FloorDepth,
  ::testing::Values(
    FloorCase{0.5, 45.0}, FloorCase{0.65, 50.0}, FloorCase{0.8, 60.0}, FloorCase{0.7, 90.0},
    FloorCase{0.5, 45.0, -0.176}, FloorCase{0.3, 60.0, 0.25}));

TEST(Horizon, RaysAboveTheHorizonMeasureNothing)
{
  const Scene scene = FloorScene(OpticalPoseFromRpy(Eigen::Vector3d(0, 0, 0.6), 0, 0, 0));
  const RenderedFrame frame = Render(scene, scene.cameras[0]);
  // Row 60 looks at the horizon; rows just below it meet the floor beyond the 16-bit range.
  EXPECT_EQ(cv::countNonZero(frame.depth_mm.rowRange(0, 62)), 0);
  EXPECT_EQ(cv::countNonZero(frame.depth_mm.rowRange(80, 120)), 40 * 160);
}

struct ShapeCase
{
  const char * name;
  Shape shape;
  Eigen::Vector3d size;
  bool standing;
  double top_height;  // of the top surface's centre, m
};

class ObjectSurface : public ::testing::TestWithParam<ShapeCase>
{
};

TEST_P(ObjectSurface, TopCentreHasTheClassColourAndItsDistanceAsDepth)
{
  const ShapeCase c = GetParam();
  const Eigen::Vector3d top(0.5, 0.05, c.top_height);
  Scene scene = FloorScene(CameraLookingAt(top));
  scene.objects.push_back(MakeObject(c.shape, c.size, top.head<2>(), 20 * kDeg, c.standing));
  const RenderedFrame frame = Render(scene, scene.cameras[0]);
  EXPECT_EQ(frame.rgb.at<cv::Vec3b>(60, 80), kObjectRgb);
  EXPECT_EQ(frame.object_index.at<int>(60, 80), 0);
  EXPECT_NEAR(DepthMm(frame, 80, 60), 1000.0 * (top - Eigen::Vector3d(0, 0, 0.6)).norm(), 1.0);
}

TEST_P(ObjectSurface, EveryDepthPixelBackProjectsOntoWhatItShows)
{
  const ShapeCase c = GetParam();
  Scene scene = FloorScene(CameraLookingAt(Eigen::Vector3d(0.5, 0.0, 0.0)));
  scene.objects.push_back(
    MakeObject(c.shape, c.size, Eigen::Vector2d(0.5, 0.0), -35 * kDeg, c.standing));
  const Camera & camera = scene.cameras[0];
  const RenderedFrame frame = Render(scene, camera);
  const SceneObject & object = scene.objects[0];
  int object_pixels = 0;
  for (int v = 0; v < frame.depth_mm.rows; ++v) {
    for (int u = 0; u < frame.depth_mm.cols; ++u) {
      const Eigen::Vector3d p = BackProject(camera, u, v, DepthMm(frame, u, v));
      if (frame.object_index.at<int>(v, u) == 0) {
        ++object_pixels;
        ASSERT_NEAR(SurfaceDistance(object, object.pose_in_arm_base.inverse() * p), 0.0, 0.002)
          << c.name << " at pixel " << u << ", " << v;
      } else {
        ASSERT_NEAR(p.z(), 0.0, 0.002) << "floor at pixel " << u << ", " << v;
      }
    }
  }
  EXPECT_GT(object_pixels, 100);
}

INSTANTIATE_TEST_SUITE_P(
  Shapes, ObjectSurface,
  ::testing::Values(
    ShapeCase{"box", Shape::kBox, Eigen::Vector3d(0.12, 0.08, 0.05), false, 0.05},
    ShapeCase{"standing box", Shape::kBox, Eigen::Vector3d(0.12, 0.08, 0.05), true, 0.12},
    ShapeCase{"sheet", Shape::kSheet, Eigen::Vector3d(0.21, 0.15, 0.002), false, 0.002},
    ShapeCase{"lying cylinder", Shape::kCylinder, Eigen::Vector3d(0.2, 0.065, 0.065), false, 0.065},
    ShapeCase{"standing cylinder", Shape::kCylinder, Eigen::Vector3d(0.1, 0.07, 0.07), true, 0.1}),
  [](const auto & info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
  });

class MaskGrow : public ::testing::TestWithParam<int>
{
};

TEST_P(MaskGrow, ColourRegionGrowsOrShrinksByTheConfiguredPixelsAndDepthStays)
{
  const int grow = GetParam();
  Scene scene = FloorScene(CameraLookingAt(Eigen::Vector3d(0.5, 0.0, 0.0)));
  scene.objects.push_back(
    MakeObject(Shape::kBox, Eigen::Vector3d(0.1, 0.08, 0.04), Eigen::Vector2d(0.5, 0), 0, false));
  const RenderedFrame exact = Render(scene, scene.cameras[0]);
  scene.render.mask_grow_px = grow;
  const RenderedFrame changed = Render(scene, scene.cameras[0]);

  const int before = cv::countNonZero(ColourRegion(exact, kObjectRgb));
  const int after = cv::countNonZero(ColourRegion(changed, kObjectRgb));
  EXPECT_EQ(after > before, grow > 0);
  if (grow > 0) {
    const cv::Rect box = cv::boundingRect(ColourRegion(exact, kObjectRgb));
    const cv::Rect grown = cv::boundingRect(ColourRegion(changed, kObjectRgb));
    EXPECT_EQ(grown.tl(), box.tl() - cv::Point(grow, grow));
    EXPECT_EQ(grown.br(), box.br() + cv::Point(grow, grow));
  }
  // Square kernel: every pixel within grow pixels (Chebyshev) of the object, and no other.
  cv::Mat expected;
  const cv::Mat kernel = cv::Mat::ones(2 * std::abs(grow) + 1, 2 * std::abs(grow) + 1, CV_8U);
  if (grow > 0) {
    cv::dilate(exact.object_index == 0, expected, kernel);
  } else {
    cv::erode(exact.object_index == 0, expected, kernel);
  }
  EXPECT_EQ(cv::countNonZero(expected != ColourRegion(changed, kObjectRgb)), 0);
  EXPECT_EQ(cv::countNonZero(exact.depth_mm != changed.depth_mm), 0);
  EXPECT_EQ(cv::countNonZero(exact.object_index != changed.object_index), 0);
}

INSTANTIATE_TEST_SUITE_P(Pixels, MaskGrow, ::testing::Values(1, 4, -1, -4));

TEST(MaskGrowBetweenObjects, BleedingNeverRepaintsAnotherObject)
{
  Scene scene = FloorScene(CameraLookingAt(Eigen::Vector3d(0.5, 0.0, 0.0)));
  scene.class_rgb[0] = cv::Vec3b(255, 0, 0);
  const Eigen::Vector3d size(0.1, 0.08, 0.04);
  scene.objects.push_back(MakeObject(Shape::kBox, size, Eigen::Vector2d(0.5, -0.045), 0, false));
  scene.objects.push_back(MakeObject(Shape::kBox, size, Eigen::Vector2d(0.5, 0.045), 0, false));
  scene.objects[1].label = 0;
  scene.render.mask_grow_px = 6;
  const RenderedFrame frame = Render(scene, scene.cameras[0]);
  EXPECT_EQ(cv::countNonZero(ColourRegion(frame, kObjectRgb) & (frame.object_index == 1)), 0);
  EXPECT_EQ(
    cv::countNonZero(ColourRegion(frame, cv::Vec3b(255, 0, 0)) & (frame.object_index == 0)), 0);
}

TEST(DepthDisturbance, HolesLeaveZerosAndNoiseHasTheConfiguredSpreadRepeatably)
{
  Scene scene = FloorScene(OpticalPoseFromRpy(Eigen::Vector3d(0, 0, 0.7), 0, 60 * kDeg, 0));
  const RenderedFrame clean = Render(scene, scene.cameras[0]);
  scene.render.hole_fraction = 0.25;
  scene.render.depth_noise_mm = 3.0;
  const RenderedFrame noisy = Render(scene, scene.cameras[0]);

  const cv::Mat measured = noisy.depth_mm > 0;
  EXPECT_NEAR(1.0 - cv::countNonZero(measured) / double(measured.total()), 0.25, 0.02);
  cv::Mat difference;
  cv::subtract(noisy.depth_mm, clean.depth_mm, difference, measured, CV_64F);
  cv::Scalar mean;
  cv::Scalar spread;
  cv::meanStdDev(difference, mean, spread, measured);
  EXPECT_NEAR(mean[0], 0.0, 0.1);
  EXPECT_NEAR(spread[0], 3.0, 0.15);

  const RenderedFrame again = Render(scene, scene.cameras[0]);
  EXPECT_EQ(cv::countNonZero(again.depth_mm != noisy.depth_mm), 0);
  scene.render.seed += 1;
  EXPECT_GT(cv::countNonZero(Render(scene, scene.cameras[0]).depth_mm != noisy.depth_mm), 0);
}

TEST(Transparency, MostPixelsHaveNoDepthAndTheRestSeeTheFloorBehind)
{
  Scene scene = FloorScene(CameraLookingAt(Eigen::Vector3d(0.5, 0.0, 0.05)));
  const RenderedFrame floor_only = Render(scene, scene.cameras[0]);
  scene.objects.push_back(MakeObject(
    Shape::kCylinder, Eigen::Vector3d(0.16, 0.12, 0.12), Eigen::Vector2d(0.5, 0), 0, true, true));
  scene.render.transparent_hole_fraction = 0.8;
  const RenderedFrame frame = Render(scene, scene.cameras[0]);

  const cv::Mat cup = frame.object_index == 0;
  const cv::Mat cup_measured = cup & (frame.depth_mm > 0);
  ASSERT_GT(cv::countNonZero(cup), 500);
  EXPECT_NEAR(1.0 - cv::countNonZero(cup_measured) / double(cv::countNonZero(cup)), 0.8, 0.05);
  EXPECT_EQ(cv::countNonZero(cup_measured & (frame.depth_mm != floor_only.depth_mm)), 0);
  EXPECT_EQ(cv::countNonZero(ColourRegion(frame, kObjectRgb) != cup), 0);
  EXPECT_EQ(cv::countNonZero(~cup & (frame.depth_mm != floor_only.depth_mm)), 0);
}

TEST(RenderErrors, ALabelWithoutColourThrows)
{
  Scene scene = FloorScene(CameraLookingAt(Eigen::Vector3d(0.5, 0.0, 0.0)));
  scene.objects.push_back(
    MakeObject(Shape::kBox, Eigen::Vector3d(0.1, 0.1, 0.1), Eigen::Vector2d(0.5, 0), 0, false));
  scene.objects[0].label = 9;
  EXPECT_THROW(Render(scene, scene.cameras[0]), std::invalid_argument);
}

}  // namespace
}  // namespace orvanite_scene_sim
