// Reading a scene from its YAML file (see scenes/ for the keys, each documented there).
#ifndef ORVANITE_SCENE_SIM__SCENE_LOADER_HPP_
#define ORVANITE_SCENE_SIM__SCENE_LOADER_HPP_

#include <optional>
#include <string>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

// Every key is required except that a camera takes exactly one of rpy_deg and look_at, and that
// floor_z may be left out when `default_floor_z` is given. Throws std::runtime_error
// "<file>: key '<path>': <problem>" for a missing file, a missing or unknown key (the message
// lists the known ones), a value of the wrong type or out of range, a label without a colour, or
// two labels (or a label and the floor) sharing one colour.
Scene LoadScene(const std::string & file, std::optional<double> default_floor_z = std::nullopt);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__SCENE_LOADER_HPP_
