#include "camera_detection_node/camera_config.hpp"

#include <ament_index_cpp/get_package_share_directory.hpp>

std::string PackageConfigPath(const std::string & file_name)
{
  return ament_index_cpp::get_package_share_directory("orvanite_arm_trash_detect") + "/config/" +
         file_name;
}

std::string CameraKeyPath(const std::string & key)
{
  return std::string(kCameraParamsMap) + "/" + key;
}
