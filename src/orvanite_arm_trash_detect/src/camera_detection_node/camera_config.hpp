// Where the node and its cameras find their configuration files.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CAMERA_CONFIG_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CAMERA_CONFIG_HPP_

#include <string>

// The map of a camera file that holds every camera key.
constexpr char kCameraParamsMap[] = "camera_detection_params";

// "camera_detection_params/<key>": a camera key as error and warning texts name it.
std::string CameraKeyPath(const std::string & key);

// share directory of orvanite_arm_trash_detect + "/config/" + file_name. Throws
// ament_index_cpp::PackageNotFoundError when the package is not on AMENT_PREFIX_PATH.
std::string PackageConfigPath(const std::string & file_name);

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CAMERA_CONFIG_HPP_
