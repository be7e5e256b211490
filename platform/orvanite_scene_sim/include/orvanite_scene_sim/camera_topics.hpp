// The topics on which a scene camera's driver publishes, named as a depth camera driver names
// them under the camera's name.
#ifndef ORVANITE_SCENE_SIM__CAMERA_TOPICS_HPP_
#define ORVANITE_SCENE_SIM__CAMERA_TOPICS_HPP_

#include <string>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_scene_sim
{

struct CameraTopics
{
  std::string rgb;          // "/<name>/color/image_raw", rgb8
  std::string depth;        // "/<name>/aligned_depth_to_color/image_raw", 16UC1 millimetres
  std::string camera_info;  // "/<name>/color/camera_info"
};

CameraTopics TopicsOf(const Camera & camera);

}  // namespace orvanite_scene_sim

#endif  // ORVANITE_SCENE_SIM__CAMERA_TOPICS_HPP_
