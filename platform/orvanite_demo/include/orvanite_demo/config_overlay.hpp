// The detection node's configuration written for one scene into an install prefix that is put in
// front of AMENT_PREFIX_PATH, so the node finds it as its package share directory.
#ifndef ORVANITE_DEMO__CONFIG_OVERLAY_HPP_
#define ORVANITE_DEMO__CONFIG_OVERLAY_HPP_

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "orvanite_scene_sim/types.hpp"

namespace orvanite_demo
{

struct OverlayOptions
{
  bool debug = true;       // is_debug of every camera: debug images and clouds are written
  bool aim_mode = false;   // is_grab_aim_trash of every camera
  bool streaming = false;  // every camera in streaming mode (is_detect_grab_pose false)
  // Service settings; unset keeps the shipped value.
  std::optional<double> max_grab_radius;  // m
  std::optional<double> aim_grab_radius;  // m
  std::optional<int> detect_timeout_ms;   // ms
};

class ConfigOverlay
{
public:
  // Reads the shipped configuration from the node package's share directory (as the ament index
  // finds it now), then writes under `prefix` (created, files overwritten): the ament index
  // marker; config/ with the service file (one camera node per scene camera), per camera i from
  // 1 the camera file cam<i>_detect_config.yaml (the scene's topics, frames and frame ids) and
  // the shipped grasp-pose file as cam<i>_pose_estimate_config.yaml with its folder_path moved
  // to DebugFolder(i - 1); the class tables (with a size range added for a scene class that has
  // none), the class-names file and the color_key model configuration of the scene. Then puts
  // `prefix` first on AMENT_PREFIX_PATH. Throws std::runtime_error naming the file on failure.
  ConfigOverlay(
    const orvanite_scene_sim::Scene & scene, const std::filesystem::path & prefix,
    const OverlayOptions & options);
  // Restores AMENT_PREFIX_PATH; the files stay.
  ~ConfigOverlay();

  ConfigOverlay(const ConfigOverlay &) = delete;
  ConfigOverlay & operator=(const ConfigOverlay &) = delete;

  std::filesystem::path prefix() const { return prefix_; }
  std::filesystem::path ConfigDir() const;
  std::string ServiceConfigPath() const;
  // The service name of the shipped service file.
  const std::string & service_name() const { return service_name_; }
  // Where camera `index` (from 0) writes its debug images and clouds.
  std::filesystem::path DebugFolder(std::size_t index) const;

private:
  std::filesystem::path prefix_;
  std::string service_name_;
  std::string trash_code_;
  std::optional<std::string> previous_path_;
};

}  // namespace orvanite_demo

#endif  // ORVANITE_DEMO__CONFIG_OVERLAY_HPP_
