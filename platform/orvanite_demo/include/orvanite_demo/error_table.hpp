// The table of grasp-point errors per object of a scene, with exact, bleeding and shrunken masks.
#ifndef ORVANITE_DEMO__ERROR_TABLE_HPP_
#define ORVANITE_DEMO__ERROR_TABLE_HPP_

#include <filesystem>
#include <ostream>
#include <string>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_demo
{

// Runs the whole system on `scene` once per mask kind (exact, bleeding 3 px onto the floor,
// shrunk 3 px), each time in aim mode (aim_grab_radius 0.1 m, detect_timeout_ms 10000, no debug
// files) with one call per object aimed at its true centre in the map frame, and returns a
// Markdown table: per object its class, the grasp strategy of its first answer (top-down or
// horizontal, as the tool approaches) and per mask kind the horizontal and vertical distance (mm)
// of the grasp point from the object's true grasp point, or the answer's error code when no grasp
// came. Overlays go under `prefix`; a line on `progress` announces each run.
std::string GraspErrorTable(
  const orvanite_scene_sim::Scene & scene, const std::filesystem::path & prefix,
  std::ostream & progress);

}  // namespace orvanite_demo

#endif  // ORVANITE_DEMO__ERROR_TABLE_HPP_
