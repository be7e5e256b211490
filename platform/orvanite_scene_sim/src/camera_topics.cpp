#include "orvanite_scene_sim/camera_topics.hpp"

namespace orvanite_scene_sim
{

CameraTopics TopicsOf(const Camera & camera)
{
  const std::string root = "/" + camera.name;
  return {
    root + "/color/image_raw", root + "/aligned_depth_to_color/image_raw",
    root + "/color/camera_info"};
}

}  // namespace orvanite_scene_sim
