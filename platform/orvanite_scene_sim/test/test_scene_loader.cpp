#include "orvanite_scene_sim/scene_loader.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "orvanite_scene_sim/ground_truth.hpp"
#include "orvanite_scene_sim/placement.hpp"
#include "orvanite_scene_sim/renderer.hpp"

namespace orvanite_scene_sim
{
namespace
{

constexpr double kDeg = M_PI / 180.0;

const char * const kScene = R"(
frames: {map: world, arm_base: base}
floor_z: -0.2
arm_base_in_map: {position: [2.0, 1.0, 0.0], rpy_deg: [0.0, 0.0, 90.0]}
floor_rgb: [100, 100, 100]
class_rgb:
  - {label: 0, rgb: [255, 0, 0]}
  - {label: 4, rgb: [0, 0, 255]}
render:
  mask_grow_px: -2
  depth_noise_mm: 1.5
  hole_fraction: 0.01
  transparent_hole_fraction: 0.7
  seed: 42
cameras:
  - name: front
    frame_id: front_optical
    intrinsics: {fx: 600.0, fy: 610.0, cx: 319.5, cy: 239.5, width: 640, height: 480}
    position: [0.0, 0.0, 0.7]
    rpy_deg: [0.0, 50.0, 10.0]
  - name: side
    frame_id: side_optical
    intrinsics: {fx: 500.0, fy: 500.0, cx: 320.0, cy: 240.0, width: 640, height: 480}
    position: [0.0, 0.1, 0.6]
    look_at: [0.2, 0.6, 0.0]
objects:
  - name: paper
    label: 0
    shape: sheet
    size: [0.2, 0.1, 0.002]
    position: [0.5, 0.1]
    yaw_deg: 30.0
    standing: false
    transparent: false
  - name: bottle
    label: 4
    shape: cylinder
    size: [0.2, 0.06]
    position: [0.4, -0.2]
    yaw_deg: 0.0
    standing: true
    transparent: true
)";

class SceneFile : public ::testing::Test
{
protected:
  std::string Write(const std::string & text)
  {
    std::ofstream(path_) << text;
    return path_;
  }

  void TearDown() override { std::filesystem::remove(path_); }

  static std::string TempPath()
  {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return (std::filesystem::temp_directory_path() / ("scene_" + name + ".yaml")).string();
  }

  const std::string path_ = TempPath();
};

TEST_F(SceneFile, LoadsEveryKey)
{
  const Scene scene = LoadScene(Write(kScene));
  EXPECT_EQ(scene.file, path_);
  EXPECT_EQ(scene.frames.map, "world");
  EXPECT_EQ(scene.frames.arm_base, "base");
  EXPECT_DOUBLE_EQ(scene.floor_z, -0.2);
  EXPECT_TRUE(scene.arm_base_in_map.translation().isApprox(Eigen::Vector3d(2, 1, 0)));
  EXPECT_TRUE(scene.arm_base_in_map.linear().isApprox(RotationFromRpy(0, 0, 90 * kDeg)));
  EXPECT_EQ(scene.floor_rgb, cv::Vec3b(100, 100, 100));
  EXPECT_EQ(scene.class_rgb.at(4), cv::Vec3b(0, 0, 255));
  EXPECT_EQ(scene.render.mask_grow_px, -2);
  EXPECT_DOUBLE_EQ(scene.render.depth_noise_mm, 1.5);
  EXPECT_DOUBLE_EQ(scene.render.hole_fraction, 0.01);
  EXPECT_DOUBLE_EQ(scene.render.transparent_hole_fraction, 0.7);
  EXPECT_EQ(scene.render.seed, 42U);

  ASSERT_EQ(scene.cameras.size(), 2U);
  const Camera & front = scene.cameras[0];
  EXPECT_EQ(front.name, "front");
  EXPECT_EQ(front.frame_id, "front_optical");
  EXPECT_DOUBLE_EQ(front.intrinsics.fy, 610.0);
  EXPECT_DOUBLE_EQ(front.intrinsics.cx, 319.5);
  EXPECT_EQ(front.intrinsics.height, 480);
  EXPECT_TRUE(front.pose_in_arm_base.isApprox(
    OpticalPoseFromRpy(Eigen::Vector3d(0, 0, 0.7), 0, 50 * kDeg, 10 * kDeg)));
  EXPECT_TRUE(scene.cameras[1].pose_in_arm_base.isApprox(
    OpticalPoseLookAt(Eigen::Vector3d(0, 0.1, 0.6), Eigen::Vector3d(0.2, 0.6, 0))));

  ASSERT_EQ(scene.objects.size(), 2U);
  const SceneObject & paper = scene.objects[0];
  EXPECT_EQ(paper.shape, Shape::kSheet);
  EXPECT_TRUE(paper.pose_in_arm_base.isApprox(FloorPose(
    Eigen::Vector3d(0.2, 0.1, 0.002), Eigen::Vector2d(0.5, 0.1), 30 * kDeg, false, -0.2)));
  const SceneObject & bottle = scene.objects[1];
  EXPECT_EQ(bottle.label, 4);
  EXPECT_EQ(bottle.shape, Shape::kCylinder);
  EXPECT_TRUE(bottle.size.isApprox(Eigen::Vector3d(0.2, 0.06, 0.06)));
  EXPECT_TRUE(bottle.standing);
  EXPECT_TRUE(bottle.transparent);
}

struct BrokenCase
{
  const char * from;  // text of the valid scene to replace
  const char * to;
  const char * message;  // expected after "<file>: ", up to the parser's text
};

class BrokenScene : public SceneFile, public ::testing::WithParamInterface<BrokenCase>
{
};

TEST_P(BrokenScene, ErrorNamesTheFileAndTheKey)
{
  std::string text = kScene;
  const BrokenCase c = GetParam();
  const auto at = text.find(c.from);
  ASSERT_NE(at, std::string::npos) << c.from;
  text.replace(at, std::string(c.from).size(), c.to);
  try {
    LoadScene(Write(text));
    FAIL() << "no error for " << c.message;
  } catch (const std::runtime_error & error) {
    // The YAML parser's own text follows "not valid YAML: ".
    const std::string expected = path_ + ": " + c.message;
    EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
  Keys, BrokenScene,
  ::testing::Values(
    BrokenCase{
      "frames: {map: world, arm_base: base}", "frames: {map: world}",
      "key 'frames.arm_base': is missing"},
    BrokenCase{
      "floor_rgb: [100, 100, 100]", "floor_rgb: [100, 100]",
      "key 'floor_rgb': must hold three values"},
    BrokenCase{
      "[0, 0, 255]}", "[0, 0, 256]}", "key 'class_rgb[1].rgb': must hold values in 0 .. 255"},
    BrokenCase{
      "[0, 0, 255]}", "[100, 100, 100]}",
      "key 'class_rgb[1].rgb': is already the colour of the floor or of another label"},
    BrokenCase{"seed: 42", "seed: many", "key 'render.seed': has the wrong type"},
    BrokenCase{
      "hole_fraction: 0.01", "hole_fraction: 1.5",
      "key 'render.hole_fraction': must lie in 0 .. 1"},
    BrokenCase{"fx: 600.0, ", "", "key 'cameras[0].intrinsics.fx': is missing"},
    BrokenCase{
      "look_at: [0.2, 0.6, 0.0]", "look_at: [0.0, 0.1, 0.0]",
      "key 'cameras[1].look_at': the target lies straight above or below the camera"},
    BrokenCase{
      "    rpy_deg: [0.0, 50.0, 10.0]\n", "",
      "key 'cameras[0].rpy_deg': give exactly one of rpy_deg and look_at"},
    BrokenCase{
      "shape: sheet", "shape: disc", "key 'objects[0].shape': must be box, cylinder or sheet"},
    BrokenCase{"label: 4\n", "label: 7\n", "key 'objects[1].label': has no colour in class_rgb"},
    BrokenCase{
      "size: [0.2, 0.06]", "size: [0.2, 0.06, 0.06]", "key 'objects[1].size': must hold 2 numbers"},
    BrokenCase{
      "size: [0.2, 0.1, 0.002]", "size: [0.2, 0.1, 0.02]",
      "key 'objects[0].size': a sheet is at most 0.01 m thick; use a box"},
    BrokenCase{
      "standing: false", "standing: true", "key 'objects[0].standing': a sheet always lies flat"},
    BrokenCase{
      "cameras:\n  - name: front", "cameras: |\n  - name: front",
      "key 'cameras': must be a sequence"},
    BrokenCase{"frames: {", "frames: [", "not valid YAML: "},
    BrokenCase{"floor_z: -0.2", "floor_z: .nan", "key 'floor_z': must be a finite number"},
    BrokenCase{"floor_z: -0.2\n", "", "key 'floor_z': is missing"},
    BrokenCase{"fx: 600.0", "fx: .inf", "key 'cameras[0].intrinsics.fx': must be a finite number"},
    BrokenCase{"cx: 319.5", "cx: .nan", "key 'cameras[0].intrinsics.cx': must be a finite number"},
    BrokenCase{
      "width: 640, height: 480}", "width: 640, height: 100000}",
      "key 'cameras[0].intrinsics.height': must lie in 1 .. 8192"},
    BrokenCase{
      "position: [0.0, 0.0, 0.7]", "position: [0.0, .nan, 0.7]",
      "key 'cameras[0].position': must hold finite numbers"},
    BrokenCase{
      "rpy_deg: [0.0, 50.0, 10.0]", "rpy_deg: [0.0, .inf, 10.0]",
      "key 'cameras[0].rpy_deg': must hold finite numbers"},
    BrokenCase{
      "position: [0.0, 0.1, 0.6]", "position: [0.0, 0.1, -0.3]",
      "key 'cameras[1].position': must lie above the floor (floor_z)"},
    BrokenCase{
      "frame_id: side_optical", "frame_id: front_optical",
      "key 'cameras[1].frame_id': is already the frame of another camera or of frames"},
    BrokenCase{
      "frame_id: side_optical", "frame_id: base",
      "key 'cameras[1].frame_id': is already the frame of another camera or of frames"},
    BrokenCase{
      "mask_grow_px: -2", "mask_grow_px: 100000",
      "key 'render.mask_grow_px': must lie in -50 .. 50"},
    BrokenCase{
      "depth_noise_mm: 1.5", "depth_noise_mm: .inf",
      "key 'render.depth_noise_mm': must be a finite number"},
    BrokenCase{
      "position: [0.5, 0.1]", "position: [0.5, .inf]",
      "key 'objects[0].position': must hold finite numbers"},
    BrokenCase{
      "yaw_deg: 30.0", "yaw_deg: .nan", "key 'objects[0].yaw_deg': must be a finite number"},
    // A misspelt key is named with the keys of its map, before anything reads that map.
    BrokenCase{
      "floor_z: -0.2", "floor-z: -0.2",
      "key 'floor-z': is not a known key; the keys known here are frames, floor_z, "
      "arm_base_in_map, floor_rgb, class_rgb, render, cameras, objects"},
    BrokenCase{
      "{map: world, arm_base: base}", "{map: world, arm_base: base, odom: odom}",
      "key 'frames.odom': is not a known key; the keys known here are map, arm_base"},
    BrokenCase{
      "rpy_deg: [0.0, 0.0, 90.0]}", "rpy_deg: [0.0, 0.0, 90.0], scale: 1.0}",
      "key 'arm_base_in_map.scale': is not a known key; the keys known here are position, "
      "rpy_deg"},
    BrokenCase{
      "{label: 4, rgb: [0, 0, 255]}", "{label: 4, rgb: [0, 0, 255], name: bottle}",
      "key 'class_rgb[1].name': is not a known key; the keys known here are label, rgb"},
    BrokenCase{
      "seed: 42", "seed: 42\n  sed: 43",
      "key 'render.sed': is not a known key; the keys known here are mask_grow_px, "
      "depth_noise_mm, hole_fraction, transparent_hole_fraction, seed"},
    BrokenCase{
      "    rpy_deg: [0.0, 50.0, 10.0]\n", "    rpy_deg: [0.0, 50.0, 10.0]\n    fov_deg: 60.0\n",
      "key 'cameras[0].fov_deg': is not a known key; the keys known here are name, frame_id, "
      "intrinsics, position, rpy_deg, look_at"},
    BrokenCase{
      "cx: 320.0,", "cx: 320.0, k1: 0.1,",
      "key 'cameras[1].intrinsics.k1': is not a known key; the keys known here are fx, fy, cx, "
      "cy, width, height"},
    BrokenCase{
      "    transparent: true", "    trasparent: true",
      "key 'objects[1].trasparent': is not a known key; the keys known here are name, label, "
      "shape, size, position, yaw_deg, standing, transparent"}));

// Without floor_z a scene takes the caller's floor; a floor_z in the file always wins.
TEST_F(SceneFile, FloorZFallsBackToTheDefaultGiven)
{
  struct Case
  {
    bool file_has_floor_z;
    double expected_floor_z;
  };
  for (const Case & c : {Case{false, -0.3}, Case{true, -0.2}}) {
    std::string text = kScene;
    if (!c.file_has_floor_z) {
      text.erase(text.find("floor_z: -0.2\n"), std::string("floor_z: -0.2\n").size());
    }
    const Scene scene = LoadScene(Write(text), -0.3);
    EXPECT_DOUBLE_EQ(scene.floor_z, c.expected_floor_z);
    // The objects lie on that floor.
    EXPECT_TRUE(scene.objects[0].pose_in_arm_base.isApprox(FloorPose(
      Eigen::Vector3d(0.2, 0.1, 0.002), Eigen::Vector2d(0.5, 0.1), 30 * kDeg, false,
      c.expected_floor_z)));
  }
}

TEST(SceneFolder, IsNamedAsAFolder)
{
  const std::string folder = std::filesystem::temp_directory_path().string();
  try {
    LoadScene(folder);
    FAIL();
  } catch (const std::runtime_error & error) {
    EXPECT_EQ(std::string(error.what()), folder + ": is a folder, not a file");
  }
}

TEST_F(SceneFile, MissingFileIsNamed)
{
  try {
    LoadScene(path_);
    FAIL();
  } catch (const std::runtime_error & error) {
    EXPECT_EQ(std::string(error.what()), path_ + ": cannot be read");
  }
}

// Every shipped scene loads, and every object in it shows in at least one camera.
TEST(ShippedScenes, LoadAndShowEveryObject)
{
  int scenes = 0;
  for (const auto & entry : std::filesystem::directory_iterator(SCENES_DIR)) {
    ++scenes;
    const Scene scene = LoadScene(entry.path().string());
    std::vector<int> pixels(scene.objects.size(), 0);
    for (const Camera & camera : scene.cameras) {
      const RenderedFrame frame = Render(scene, camera);
      for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] += cv::countNonZero(frame.object_index == static_cast<int>(i));
      }
    }
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      EXPECT_GT(pixels[i], 300) << entry.path() << " object " << scene.objects[i].name;
    }
  }
  EXPECT_GE(scenes, 7);
}

}  // namespace
}  // namespace orvanite_scene_sim
