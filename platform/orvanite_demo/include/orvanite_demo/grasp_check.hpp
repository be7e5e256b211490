// Measures of an answered grasp against a scene's ground truth, in the arm-base frame.
#ifndef ORVANITE_DEMO__GRASP_CHECK_HPP_
#define ORVANITE_DEMO__GRASP_CHECK_HPP_

#include <cstddef>
#include <vector>

#include <Eigen/Geometry>

#include <geometry_msgs/msg/pose.hpp>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_demo
{

// How far xy lies outside the object's footprint on the floor, m; 0 inside or on its border.
double FootprintDistance(const orvanite_scene_sim::ObjectTruth & truth, const Eigen::Vector2d & xy);

// The object whose footprint is nearest to xy (ties: the nearer centre). Needs a truth.
std::size_t NearestObject(
  const std::vector<orvanite_scene_sim::ObjectTruth> & truths, const Eigen::Vector2d & xy);

// Columns: the tool's x, y and z axes in the arm-base frame.
Eigen::Matrix3d ToolAxes(const geometry_msgs::msg::Pose & pose);

// Angle between two directions, degrees, 0 .. 180.
double AngleDeg(const Eigen::Vector3d & a, const Eigen::Vector3d & b);

// The estimator grasps top down for lying main axes (types 1 and 3), horizontally otherwise.
// Not after a transparent grasp, which is horizontal and leaves the type of an earlier estimate.
bool IsTopDown(int main_axis_type);

// Whether the tool approaches from above (its z axis nearer to straight down than to level),
// whatever produced the pose.
bool ApproachesFromAbove(const geometry_msgs::msg::Pose & pose);

struct GraspError
{
  double horizontal = 0.0;  // m, grasp point to the truth's grasp point in the floor plane
  double vertical = 0.0;    // m, grasp height minus the truth's grasp height
};

GraspError ErrorOf(
  const orvanite_scene_sim::ObjectTruth & truth, const geometry_msgs::msg::Pose & pose);

}  // namespace orvanite_demo

#endif  // ORVANITE_DEMO__GRASP_CHECK_HPP_
