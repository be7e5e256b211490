// Value types of a synthetic scene. Lengths are in metres, angles in radians once loaded, depth
// pixels in millimetres. The floor is the plane z = Scene::floor_z of the arm-base frame.
#ifndef ORVANITE_SCENE_SIM__TYPES_HPP_
#define ORVANITE_SCENE_SIM__TYPES_HPP_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <Eigen/Geometry>
#include <opencv2/core.hpp>

namespace orvanite_scene_sim
{

// Pinhole intrinsics; pixel (u, v) looks along ((u - cx) / fx, (v - cy) / fy, 1) in the optical
// frame (x right, y down, z forward), integer coordinates being pixel centres.
struct Intrinsics
{
  double fx = 0.0;
  double fy = 0.0;
  double cx = 0.0;
  double cy = 0.0;
  int width = 0;
  int height = 0;
};

struct Camera
{
  std::string name;
  std::string frame_id;  // the optical frame
  Intrinsics intrinsics;
  Eigen::Isometry3d pose_in_arm_base = Eigen::Isometry3d::Identity();  // of the optical frame
};

enum class Shape
{
  kBox,
  kCylinder,
  kSheet
};

// One piece of litter resting on the floor. In its own frame the long axis is x and the object is
// centred on the origin: a box or sheet spans size (x, y, z); a cylinder runs along x with length
// size.x() and diameter size.y() == size.z().
struct SceneObject
{
  std::string name;
  int label = 0;  // 0-based model label
  Shape shape = Shape::kBox;
  bool standing = false;  // long axis vertical instead of horizontal along the yaw
  bool transparent = false;
  Eigen::Vector3d size = Eigen::Vector3d::Zero();
  Eigen::Isometry3d pose_in_arm_base = Eigen::Isometry3d::Identity();
};

// How the frames deviate from the ideal: masks that bleed (> 0) or shrink (< 0) by that many
// pixels, Gaussian depth noise, random depth holes, and the share of a transparent object's
// pixels without depth (the rest see the floor behind it). The seed makes noise repeatable.
struct RenderOptions
{
  int mask_grow_px = 0;
  double depth_noise_mm = 0.0;
  double hole_fraction = 0.0;
  double transparent_hole_fraction = 0.9;
  std::uint64_t seed = 1;
};

struct Frames
{
  std::string map = "map";
  std::string arm_base = "arm_base_link";
};

struct Scene
{
  std::string file;  // where it was loaded from, empty for a scene built in code
  Frames frames;
  // Height of the floor in the arm-base frame: minus the arm base's height above the floor, which
  // the detection node's grasp-pose file gives as base_height.
  double floor_z = 0.0;
  Eigen::Isometry3d arm_base_in_map = Eigen::Isometry3d::Identity();
  cv::Vec3b floor_rgb = cv::Vec3b(128, 128, 128);
  std::map<int, cv::Vec3b> class_rgb;  // exact colour of every label an object uses
  std::vector<Camera> cameras;
  std::vector<SceneObject> objects;
  RenderOptions render;
};

// One camera's view: colour (CV_8UC3, RGB order), depth (CV_16UC1, z in millimetres, 0 where
// nothing was measured) and, per pixel, the index of the object seen there (CV_32SC1, -1 for the
// floor or nothing) before masks bleed or shrink.
struct RenderedFrame
{
  cv::Mat rgb;
  cv::Mat depth_mm;
  cv::Mat object_index;
};

// Where an object truly is, in the arm-base frame unless named otherwise.
struct ObjectTruth
{
  std::string name;
  int label = 0;
  bool standing = false;
  bool transparent = false;
  Eigen::Isometry3d pose = Eigen::Isometry3d::Identity();  // object frame, long axis x
  Eigen::Vector3d extents = Eigen::Vector3d::Zero();       // full size along the object's axes
  Eigen::Vector3d centre = Eigen::Vector3d::Zero();
  Eigen::Vector3d centre_in_map = Eigen::Vector3d::Zero();
  Eigen::Vector3d long_axis = Eigen::Vector3d::UnitX();  // unit, along the object's x
  double top_z = 0.0;
  std::vector<Eigen::Vector2d> footprint;  // corners of the floor area it covers, counter-clockwise
  // Lying objects: the centre of the top surface; standing ones: the centre of the body, where a
  // horizontal grasp closes around it.
  Eigen::Vector3d grasp_point = Eigen::Vector3d::Zero();
};

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__TYPES_HPP_
