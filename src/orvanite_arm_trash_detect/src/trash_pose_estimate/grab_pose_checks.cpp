// Reachability of a grasp position and classification of the trash's main axis.
#include <cmath>

#include "common/logger.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{

// cos 75, cos 45 and cos 15 degrees: the tilt limits of the main-axis types.
constexpr double kCos75 = 0.25881904510252074;
constexpr double kCos45 = 0.7071067811865475;
constexpr double kCos15 = 0.9659258262890683;

// 0 on the arm base's negative x axis, growing towards positive y; degrees.
float AzimuthDegrees(const Eigen::Vector3f & position)
{
  return static_cast<float>(
    static_cast<double>(std::atan2(position.y(), -position.x()) * 180.0f) / M_PI);
}

struct ReachWindow
{
  float distance_min;
  float distance_max;
  float angle_min;
  float angle_max;
};

// Warnings for the four limits, in the order they are checked.
struct ReachWarnings
{
  const char * too_close;
  const char * too_far;
  const char * too_left;
  const char * too_right;
};

// Limits themselves pass; the warning of the first failing limit, or nullptr. The caller logs
// it, so that the log record names the check that was asked.
const char * FirstFailedLimit(
  float distance, float angle, const ReachWindow & window, const ReachWarnings & warnings)
{
  if (distance < window.distance_min) {
    return warnings.too_close;
  }
  if (distance > window.distance_max) {
    return warnings.too_far;
  }
  if (angle < window.angle_min) {
    return warnings.too_left;
  }
  if (angle > window.angle_max) {
    return warnings.too_right;
  }
  return nullptr;
}

}  // namespace

bool GrabPoseEstimate::IsInWorkspace(const Eigen::Vector3f & position)
{
  const float radius = std::sqrt(position.x() * position.x() + position.y() * position.y());
  // Measured from the shoulder joint, in the vertical plane through the target.
  const float dr = radius - arm_dh_a1_;
  const float dz = position.z() - arm_dh_d1_;
  grab_distance_ = std::sqrt(dr * dr + dz * dz);
  grab_angle_ = AzimuthDegrees(position);
  LOG_DEBUG("grab_distance_: {}", grab_distance_);
  LOG_DEBUG("grab_angle_: {}", grab_angle_);

  static const ReachWarnings kWarnings{
    "垃圾位置太近了！！", "垃圾位置太远了！！", "垃圾位置太靠左了！！", "垃圾位置太靠右了！！"};
  const char * warning = FirstFailedLimit(
    grab_distance_, grab_angle_,
    {workspace_r_min_, workspace_r_max_, workspace_angle_min_, workspace_angle_max_}, kWarnings);
  if (warning != nullptr) {
    LOG_WARN("{}", warning);
    return false;
  }
  return true;
}

void GrabPoseEstimate::GetMainaxisType(Eigen::Vector3f & main_axis, int & main_axis_type)
{
  // Lying axes are turned to point to +x, steep ones downwards; an unclassified axis stays.
  const auto turn_lying = [&main_axis]() {
    if (main_axis.x() < 0.0f) {
      main_axis = -main_axis;
    }
  };
  const auto turn_steep = [&main_axis]() {
    if (main_axis.z() > 0.0f) {
      main_axis = -main_axis;
    }
  };
  const float tilt_cosine = std::fabs(main_axis.z());
  const double a = tilt_cosine;
  if (a < kCos75) {
    main_axis_type = 1;
    turn_lying();
  } else if (a < kCos45) {
    main_axis_type = 3;
    turn_lying();
  } else if (a < kCos15) {
    main_axis_type = 4;
    turn_steep();
  } else if (tilt_cosine < 1.0f) {
    main_axis_type = 2;
    turn_steep();
  }
  LOG_DEBUG("main_axis_type_: {}", main_axis_type);
  LOG_DEBUG("trash_type_: {}", trash_type_);
}

bool GrabPoseEstimate::isInGrabSpace(int main_axis_type, const Eigen::Vector3f & position)
{
  grab_distance_ = std::sqrt(position.x() * position.x() + position.y() * position.y());
  grab_angle_ = AzimuthDegrees(position);
  LOG_DEBUG("grab_distance_: {}", grab_distance_);
  LOG_DEBUG("grab_angle_: {}", grab_angle_);

  // The window widens with the target's height above the floor.
  const double height = position.z() + base_height_;
  ReachWindow window;
  if (main_axis_type == 1 || main_axis_type == 3) {
    window = {
      static_cast<float>(grab_vertical_distance_min_ + height * 0.9473684210526315),
      static_cast<float>(height * 0.6842105263157895 + grab_vertical_distance_max_),
      grab_vertical_angle_min_, grab_vertical_angle_max_};
  } else if (main_axis_type == 2 || main_axis_type == 4) {
    window = {
      static_cast<float>(grab_parallel_distance_min_ + height * 0.125),
      static_cast<float>(height * 0.33333333333333337 + grab_parallel_distance_max_),
      grab_parallel_angle_min_, grab_parallel_angle_max_};
  } else {
    return true;
  }
  static const ReachWarnings kWarnings{
    "垃圾位置太近了！！！", "垃圾位置太远了！！！", "垃圾位置太靠左了！！！",
    "垃圾位置太靠右了！！！"};
  const char * warning = FirstFailedLimit(grab_distance_, grab_angle_, window, kWarnings);
  if (warning != nullptr) {
    LOG_WARN("{}", warning);
    return false;
  }
  return true;
}
