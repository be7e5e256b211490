#include "orvanite_demo/grasp_check.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvanite_demo
{

namespace
{
double Cross(const Eigen::Vector2d & a, const Eigen::Vector2d & b)
{
  return a.x() * b.y() - a.y() * b.x();
}

double SegmentDistance(
  const Eigen::Vector2d & p, const Eigen::Vector2d & a, const Eigen::Vector2d & b)
{
  const Eigen::Vector2d ab = b - a;
  const double t = std::clamp((p - a).dot(ab) / ab.squaredNorm(), 0.0, 1.0);
  return (a + t * ab - p).norm();
}
}  // namespace

double FootprintDistance(const orvanite_scene_sim::ObjectTruth & truth, const Eigen::Vector2d & xy)
{
  // The footprint is a counter-clockwise rectangle: inside is left of every edge.
  const auto & corners = truth.footprint;
  bool inside = true;
  double distance = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Eigen::Vector2d & a = corners[i];
    const Eigen::Vector2d & b = corners[(i + 1) % corners.size()];
    inside = inside && Cross(b - a, xy - a) >= 0.0;
    distance = std::min(distance, SegmentDistance(xy, a, b));
  }
  return inside ? 0.0 : distance;
}

std::size_t NearestObject(
  const std::vector<orvanite_scene_sim::ObjectTruth> & truths, const Eigen::Vector2d & xy)
{
  std::size_t best = 0;
  for (std::size_t i = 1; i < truths.size(); ++i) {
    const double d_i = FootprintDistance(truths[i], xy);
    const double d_best = FootprintDistance(truths[best], xy);
    const bool nearer_centre =
      (truths[i].centre.head<2>() - xy).norm() < (truths[best].centre.head<2>() - xy).norm();
    if (d_i < d_best || (d_i == d_best && nearer_centre)) {
      best = i;
    }
  }
  return best;
}

Eigen::Matrix3d ToolAxes(const geometry_msgs::msg::Pose & pose)
{
  const Eigen::Quaterniond q(
    pose.orientation.w, pose.orientation.x, pose.orientation.y, pose.orientation.z);
  return q.normalized().toRotationMatrix();
}

double AngleDeg(const Eigen::Vector3d & a, const Eigen::Vector3d & b)
{
  const double c = std::clamp(a.normalized().dot(b.normalized()), -1.0, 1.0);
  return std::acos(c) * 180.0 / M_PI;
}

bool IsTopDown(int main_axis_type) { return main_axis_type == 1 || main_axis_type == 3; }

bool ApproachesFromAbove(const geometry_msgs::msg::Pose & pose)
{
  return AngleDeg(ToolAxes(pose).col(2), -Eigen::Vector3d::UnitZ()) < 45.0;
}

GraspError ErrorOf(
  const orvanite_scene_sim::ObjectTruth & truth, const geometry_msgs::msg::Pose & pose)
{
  const Eigen::Vector3d p(pose.position.x, pose.position.y, pose.position.z);
  return {(p.head<2>() - truth.grasp_point.head<2>()).norm(), p.z() - truth.grasp_point.z()};
}

}  // namespace orvanite_demo
