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

// Settings a run may change; every unset one keeps the shipped value.
struct OverlayOptions
{
  std::optional<bool> debug;      // is_debug of every camera: debug images and clouds are written
  std::optional<bool> aim_mode;   // is_grab_aim_trash of every camera
  std::optional<bool> streaming;  // every camera in streaming mode (is_detect_grab_pose false)
  std::optional<double> max_grab_radius;  // m
  std::optional<double> aim_grab_radius;  // m
  std::optional<int> detect_timeout_ms;   // ms
};

// The node package's shipped config folder, as the ament index finds it now.
std::filesystem::path ShippedConfigDir();

// The floor height in the arm-base frame that the shipped configuration assumes: minus
// base_height of the shipped grasp-pose file. Throws std::runtime_error naming the file and key.
double ShippedFloorZ();

class ConfigOverlay
{
public:
  // Reads the shipped configuration from the node package's share directory (as the ament index
  // finds it now), then writes under `prefix` (created, files overwritten): the ament index
  // marker and config/ with the shipped files changed only where the scene requires it. The
  // service file lists one camera node per scene camera. Camera i from 1 gets
  // cam<i>_detect_config.yaml, the shipped camera 1 file with cam_id i, the scene's frames and
  // its camera's driver topics, topics of its own for what it publishes, its grasp-pose file and
  // the scene's color_key model; and cam<i>_pose_estimate_config.yaml, the shipped grasp-pose
  // file with folder_path moved to DebugFolder(i - 1) and base_height set to the scene's floor.
  // The class tables are copied unchanged. `options` changes what it sets. Then puts `prefix`
  // first on AMENT_PREFIX_PATH. Throws std::runtime_error naming the file (and the key) on
  // failure.
  ConfigOverlay(
    const orvanite_scene_sim::Scene & scene, const std::filesystem::path & prefix,
    const OverlayOptions & options);
  // Restores AMENT_PREFIX_PATH; the files stay.
  ~ConfigOverlay();

  ConfigOverlay(const ConfigOverlay &) = delete;
  ConfigOverlay & operator=(const ConfigOverlay &) = delete;

  std::filesystem::path prefix() const { return prefix_; }
  // The shipped configuration folder the overlay was made from.
  const std::filesystem::path & shipped_dir() const { return shipped_dir_; }
  std::filesystem::path ConfigDir() const;
  std::string ServiceConfigPath() const;
  // The service name of the shipped service file.
  const std::string & service_name() const { return service_name_; }
  // Where camera `index` (from 0) writes its debug images and clouds.
  std::filesystem::path DebugFolder(std::size_t index) const;

private:
  std::filesystem::path prefix_;
  std::filesystem::path shipped_dir_;
  std::string service_name_;
  std::string trash_code_;
  std::optional<std::string> previous_path_;
};

}  // namespace orvanite_demo

#endif  // ORVANITE_DEMO__CONFIG_OVERLAY_HPP_
