// One camera's colour, depth and object map of a scene.
#ifndef ORVANITE_SCENE_SIM__RENDERER_HPP_
#define ORVANITE_SCENE_SIM__RENDERER_HPP_

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

// Casts one ray per pixel centre. Colour: each object in its class colour, the floor (and the sky
// above the horizon) in the floor colour, then every object's colour region grown or shrunk by
// scene.render.mask_grow_px with a square kernel (growth covers floor pixels only). Depth: the
// optical-frame z of the first surface in millimetres, rounded, 0 beyond 65.535 m; a transparent
// object's pixel has no depth with probability transparent_hole_fraction and otherwise the depth
// of what lies behind it; then Gaussian noise on measured pixels and random holes, both drawn
// from scene.render.seed so equal scenes render equal frames. Throws std::invalid_argument when
// an object's label has no colour in scene.class_rgb.
RenderedFrame Render(const Scene & scene, const Camera & camera);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__RENDERER_HPP_
