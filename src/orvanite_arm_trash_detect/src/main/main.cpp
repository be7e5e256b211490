// Entry point: starts ROS, builds the detection node from the package's configuration and serves
// until SIGINT or SIGTERM; a signal during start-up is a stop as well (status 0).
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "camera_detection_node/camera_config.hpp"
#include "common/logger.hpp"
#include "rclcpp/rclcpp.hpp"
#include "trash_pose_detection/detection_node.hpp"

int main(int argc, char ** argv)
{
  rclcpp::init(argc, argv, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::All);
  DetectionNode * detection_node = nullptr;
  try {
    const std::string config_path = PackageConfigPath("trash_pose_detect_config.yaml");
    LOG_DEBUG("trash_pose_detect_config_path = {}", config_path);
    // Lives until the process ends, like everything it owns.
    detection_node = new DetectionNode(config_path);
  } catch (const std::exception & e) {
    // SIGINT or SIGTERM while a camera waited (for its camera info, say): the signal handler
    // shut ROS down, so what failed next says only that. A stop, not a failure.
    if (!rclcpp::ok()) {
      LOG_INFO(
        "start-up interrupted: ROS was shut down (SIGINT or SIGTERM) before the node served");
      return 0;
    }
    LOG_ERROR("start-up failed: {}", e.what());
    // Without the console sink the logger may write nowhere: a failed start must still be seen.
    const char * console = std::getenv("SPDLOG_STDOUT");
    if (console != nullptr && std::strcmp(console, "false") == 0) {
      std::cerr << "start-up failed: " << e.what() << std::endl;
    }
    rclcpp::shutdown();
    return 1;
  }
  detection_node->run();
  rclcpp::shutdown();
  return 0;
}
