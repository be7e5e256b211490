// Where each object of a scene truly is, for tests and reports to compare answers with.
#ifndef ORVANITE_SCENE_SIM__GROUND_TRUTH_HPP_
#define ORVANITE_SCENE_SIM__GROUND_TRUTH_HPP_

#include <vector>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

ObjectTruth TruthOf(const Scene & scene, const SceneObject & object);

// One entry per object, in scene order.
std::vector<ObjectTruth> GroundTruth(const Scene & scene);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__GROUND_TRUTH_HPP_
