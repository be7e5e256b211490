// Reading a scene from its YAML file (see scenes/ for the keys, each documented there).
#ifndef ORVANITE_SCENE_SIM__SCENE_LOADER_HPP_
#define ORVANITE_SCENE_SIM__SCENE_LOADER_HPP_

#include <string>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

// Every key is required except that a camera takes exactly one of rpy_deg and look_at. Throws
// std::runtime_error "<file>: key '<path>': <problem>" for a missing file, a missing key, a value
// of the wrong type or out of range, a label without a colour, or two labels (or a label and the
// floor) sharing one colour.
Scene LoadScene(const std::string & file);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__SCENE_LOADER_HPP_
