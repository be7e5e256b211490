// Matrix logging and the Euler rotation shared by the estimator and the camera node.
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__UTILS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__UTILS_HPP_

#include <string>

#include <Eigen/Core>

// Logs `matrix` at DEBUG as one message: "<name>:" then one line per row, six decimals.
void orvaniteLogDebugMatrix4f(std::string name, const Eigen::Matrix4f & matrix);
// The same at INFO.
void orvaniteLogInfoMatrix4f(std::string name, const Eigen::Matrix4f & matrix);

// R = Rz(yaw) * Ry(pitch) * Rx(roll) about fixed axes; angles in degrees, computed in double and
// rounded to float element by element.
Eigen::Matrix3f EulerDegreesToMatrix3f(double roll, double pitch, double yaw);

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__UTILS_HPP_
