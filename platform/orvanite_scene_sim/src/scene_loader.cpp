#include "orvanite_scene_sim/scene_loader.hpp"

#include <array>
#include <cmath>
#include <cstdlib>
#include <set>
#include <stdexcept>

#include "orvanite_scene_sim/placement.hpp"
#include "orvanite_scene_sim/yaml_node.hpp"

namespace orvanite_scene_sim
{

namespace
{

constexpr double kMaxSheetThickness = 0.01;  // thicker flat things are boxes, m
// Far beyond any mask error worth simulating; a wider kernel only costs memory and time.
constexpr int kMaxMaskGrowPx = 50;
// Larger than any depth camera's image; guards against allocating a frame by mistake.
constexpr int kMaxImageSide = 8192;

double Radians(double degrees) { return degrees * M_PI / 180.0; }

Eigen::Vector3d ReadVector3(const YamlNode & node, const std::string & key)
{
  const std::vector<double> v = node.GetNumbers(key, 3);
  return {v[0], v[1], v[2]};
}

cv::Vec3b ReadRgb(const YamlNode & node, const std::string & key)
{
  const auto rgb = node.Get<std::vector<int>>(key);
  if (rgb.size() != 3) {
    node.Fail(key, "must hold three values");
  }
  for (const int channel : rgb) {
    if (channel < 0 || channel > 255) {
      node.Fail(key, "must hold values in 0 .. 255");
    }
  }
  return cv::Vec3b(rgb[0], rgb[1], rgb[2]);
}

double ReadPositive(const YamlNode & node, const std::string & key)
{
  const double value = node.GetFinite(key);
  if (!(value > 0.0)) {
    node.Fail(key, "must be greater than 0");
  }
  return value;
}

int ReadImageSide(const YamlNode & node, const std::string & key)
{
  const int value = node.Get<int>(key);
  if (value < 1 || value > kMaxImageSide) {
    node.Fail(key, "must lie in 1 .. " + std::to_string(kMaxImageSide));
  }
  return value;
}

double ReadFraction(const YamlNode & node, const std::string & key)
{
  const double value = node.Get<double>(key);
  if (!(value >= 0.0 && value <= 1.0)) {
    node.Fail(key, "must lie in 0 .. 1");
  }
  return value;
}

Eigen::Isometry3d ReadRpyPose(const YamlNode & node)
{
  node.RefuseUnknownKeys({"position", "rpy_deg"});
  const Eigen::Vector3d rpy = ReadVector3(node, "rpy_deg");
  Eigen::Isometry3d pose = Eigen::Isometry3d::Identity();
  pose.linear() = RotationFromRpy(Radians(rpy.x()), Radians(rpy.y()), Radians(rpy.z()));
  pose.translation() = ReadVector3(node, "position");
  return pose;
}

void ReadClassColours(const YamlNode & root, Scene & scene)
{
  std::set<std::array<int, 3>> used = {
    {scene.floor_rgb[0], scene.floor_rgb[1], scene.floor_rgb[2]}};
  const std::vector<YamlNode> entries = root.Children("class_rgb");
  for (const YamlNode & entry : entries) {
    entry.RefuseUnknownKeys({"label", "rgb"});
    const int label = entry.Get<int>("label");
    if (label < 0) {
      entry.Fail("label", "must be 0 or more");
    }
    if (scene.class_rgb.count(label) != 0) {
      entry.Fail("label", "is listed twice");
    }
    const cv::Vec3b rgb = ReadRgb(entry, "rgb");
    if (!used.insert({rgb[0], rgb[1], rgb[2]}).second) {
      entry.Fail("rgb", "is already the colour of the floor or of another label");
    }
    scene.class_rgb[label] = rgb;
  }
}

RenderOptions ReadRenderOptions(const YamlNode & node)
{
  node.RefuseUnknownKeys(
    {"mask_grow_px", "depth_noise_mm", "hole_fraction", "transparent_hole_fraction", "seed"});
  RenderOptions options;
  options.mask_grow_px = node.Get<int>("mask_grow_px");
  if (std::abs(options.mask_grow_px) > kMaxMaskGrowPx) {
    node.Fail(
      "mask_grow_px",
      "must lie in -" + std::to_string(kMaxMaskGrowPx) + " .. " + std::to_string(kMaxMaskGrowPx));
  }
  options.depth_noise_mm = node.GetFinite("depth_noise_mm");
  if (!(options.depth_noise_mm >= 0.0)) {
    node.Fail("depth_noise_mm", "must be 0 or more");
  }
  options.hole_fraction = ReadFraction(node, "hole_fraction");
  options.transparent_hole_fraction = ReadFraction(node, "transparent_hole_fraction");
  options.seed = node.Get<std::uint64_t>("seed");
  return options;
}

Intrinsics ReadIntrinsics(const YamlNode & node)
{
  node.RefuseUnknownKeys({"fx", "fy", "cx", "cy", "width", "height"});
  Intrinsics k;
  k.fx = ReadPositive(node, "fx");
  k.fy = ReadPositive(node, "fy");
  k.cx = node.GetFinite("cx");
  k.cy = node.GetFinite("cy");
  k.width = ReadImageSide(node, "width");
  k.height = ReadImageSide(node, "height");
  return k;
}

Camera ReadCamera(const YamlNode & node, double floor_z)
{
  node.RefuseUnknownKeys({"name", "frame_id", "intrinsics", "position", "rpy_deg", "look_at"});
  Camera camera;
  camera.name = node.Get<std::string>("name");
  camera.frame_id = node.Get<std::string>("frame_id");
  camera.intrinsics = ReadIntrinsics(node.Child("intrinsics"));
  const Eigen::Vector3d position = ReadVector3(node, "position");
  if (!(position.z() > floor_z)) {
    node.Fail("position", "must lie above the floor (floor_z)");
  }
  const bool has_rpy = node.Has("rpy_deg");
  if (has_rpy == node.Has("look_at")) {
    node.Fail("rpy_deg", "give exactly one of rpy_deg and look_at");
  }
  if (has_rpy) {
    const Eigen::Vector3d rpy = ReadVector3(node, "rpy_deg");
    camera.pose_in_arm_base =
      OpticalPoseFromRpy(position, Radians(rpy.x()), Radians(rpy.y()), Radians(rpy.z()));
  } else {
    try {
      camera.pose_in_arm_base = OpticalPoseLookAt(position, ReadVector3(node, "look_at"));
    } catch (const std::invalid_argument & error) {
      node.Fail("look_at", error.what());
    }
  }
  return camera;
}

Shape ReadShape(const YamlNode & node)
{
  const auto name = node.Get<std::string>("shape");
  if (name == "box") {
    return Shape::kBox;
  }
  if (name == "cylinder") {
    return Shape::kCylinder;
  }
  if (name == "sheet") {
    return Shape::kSheet;
  }
  node.Fail("shape", "must be box, cylinder or sheet");
}

Eigen::Vector3d ReadSize(const YamlNode & node, Shape shape)
{
  Eigen::Vector3d size;
  if (shape == Shape::kCylinder) {
    const std::vector<double> v = node.GetNumbers("size", 2);
    size = {v[0], v[1], v[1]};
  } else {
    size = ReadVector3(node, "size");
  }
  if (!(size.minCoeff() > 0.0)) {
    node.Fail("size", "must hold lengths greater than 0");
  }
  if (shape == Shape::kSheet && size.z() > kMaxSheetThickness) {
    node.Fail("size", "a sheet is at most 0.01 m thick; use a box");
  }
  return size;
}

SceneObject ReadObject(const YamlNode & node, const Scene & scene)
{
  node.RefuseUnknownKeys(
    {"name", "label", "shape", "size", "position", "yaw_deg", "standing", "transparent"});
  SceneObject object;
  object.name = node.Get<std::string>("name");
  object.label = node.Get<int>("label");
  if (scene.class_rgb.count(object.label) == 0) {
    node.Fail("label", "has no colour in class_rgb");
  }
  object.shape = ReadShape(node);
  object.size = ReadSize(node, object.shape);
  object.standing = node.Get<bool>("standing");
  if (object.standing && object.shape == Shape::kSheet) {
    node.Fail("standing", "a sheet always lies flat");
  }
  object.transparent = node.Get<bool>("transparent");
  const std::vector<double> xy = node.GetNumbers("position", 2);
  object.pose_in_arm_base = FloorPose(
    object.size, Eigen::Vector2d(xy[0], xy[1]), Radians(node.GetFinite("yaw_deg")), object.standing,
    scene.floor_z);
  return object;
}

}  // namespace

Scene LoadScene(const std::string & file, std::optional<double> default_floor_z)
{
  const YamlNode root = YamlNode::Load(file);
  root.RefuseUnknownKeys(
    {"frames", "floor_z", "arm_base_in_map", "floor_rgb", "class_rgb", "render", "cameras",
     "objects"});
  Scene scene;
  scene.file = file;
  const YamlNode frames = root.Child("frames");
  frames.RefuseUnknownKeys({"map", "arm_base"});
  scene.frames.map = frames.Get<std::string>("map");
  scene.frames.arm_base = frames.Get<std::string>("arm_base");
  scene.floor_z =
    default_floor_z && !root.Has("floor_z") ? *default_floor_z : root.GetFinite("floor_z");
  scene.arm_base_in_map = ReadRpyPose(root.Child("arm_base_in_map"));
  scene.floor_rgb = ReadRgb(root, "floor_rgb");
  ReadClassColours(root, scene);
  scene.render = ReadRenderOptions(root.Child("render"));
  // Each frame id is one TF frame: a second camera with the same id would replace the first's
  // transform and every answer of the first would be computed from the wrong pose.
  std::set<std::string> frame_ids = {scene.frames.map, scene.frames.arm_base};
  for (const YamlNode & camera : root.Children("cameras")) {
    scene.cameras.push_back(ReadCamera(camera, scene.floor_z));
    if (!frame_ids.insert(scene.cameras.back().frame_id).second) {
      camera.Fail("frame_id", "is already the frame of another camera or of frames");
    }
  }
  if (scene.cameras.empty()) {
    root.Fail("cameras", "must list at least one camera");
  }
  for (const YamlNode & object : root.Children("objects")) {
    scene.objects.push_back(ReadObject(object, scene));
  }
  return scene;
}

}  // namespace orvanite_scene_sim
