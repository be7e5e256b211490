// Exact ray intersections with the floor and the litter of a scene.
#ifndef ORVANITE_SCENE_SIM__RAY_CASTER_HPP_
#define ORVANITE_SCENE_SIM__RAY_CASTER_HPP_

#include <limits>
#include <vector>

#include <Eigen/Geometry>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

constexpr int kFloor = -1;
constexpr int kNothing = -2;

struct RayHit
{
  double t = std::numeric_limits<double>::infinity();  // hit point = origin + t * direction
  int object = kNothing;  // index into the object list, kFloor or kNothing
};

// The first surface along origin + t * direction, t > 0, in the arm-base frame: the floor
// z = floor_z seen from above, boxes and sheets by the slab test, cylinders by their side and caps. The
// direction need not be unit length; t is measured in its units. Transparent objects are skipped
// when see_through_transparent is set.
RayHit CastRay(
  const std::vector<SceneObject> & objects, double floor_z, const Eigen::Vector3d & origin,
  const Eigen::Vector3d & direction, bool see_through_transparent);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__RAY_CASTER_HPP_
