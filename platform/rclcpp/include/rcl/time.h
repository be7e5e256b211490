// Clock and time-point value types shown by rclcpp::Time, Duration and Clock, and the ROS time
// override through which a time source (simulated time) moves a RCL_ROS_TIME clock.
#ifndef RCL__TIME_H_
#define RCL__TIME_H_

#include <stdbool.h>
#include <stdint.h>

#include "rcl/types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum rcl_clock_type_e
{
  RCL_CLOCK_UNINITIALIZED = 0,
  RCL_ROS_TIME,
  RCL_SYSTEM_TIME,
  RCL_STEADY_TIME
} rcl_clock_type_t;

typedef int64_t rcl_time_point_value_t;
typedef int64_t rcl_duration_value_t;

typedef struct rcl_duration_s
{
  rcl_duration_value_t nanoseconds;
} rcl_duration_t;

typedef struct rcl_time_point_s
{
  rcl_time_point_value_t nanoseconds;
  rcl_clock_type_t clock_type;
} rcl_time_point_t;

typedef enum rcl_clock_change_e
{
  RCL_ROS_TIME_NO_CHANGE = 1,
  RCL_ROS_TIME_ACTIVATED = 2,
  RCL_ROS_TIME_DEACTIVATED = 3,
  RCL_SYSTEM_TIME_NO_CHANGE = 4
} rcl_clock_change_t;

typedef struct rcl_time_jump_s
{
  rcl_clock_change_t clock_change;
  rcl_duration_t delta;
} rcl_time_jump_t;

// A jump callback runs on a clock change when on_clock_change is set, on a forward jump of at
// least min_forward when that is positive, and on a backward jump of at least -min_backward when
// that is negative.
typedef struct rcl_jump_threshold_s
{
  bool on_clock_change;
  rcl_duration_t min_forward;
  rcl_duration_t min_backward;
} rcl_jump_threshold_t;

// Owned by an rclcpp::Clock (Clock::get_clock_handle()).
typedef struct rcl_clock_s rcl_clock_t;

// Switch a RCL_ROS_TIME clock to the override value (RCL_ROS_TIME_ACTIVATED) or back to the
// system time (RCL_ROS_TIME_DEACTIVATED); RCL_RET_ERROR for another clock type.
rcl_ret_t rcl_enable_ros_time_override(rcl_clock_t * clock);
rcl_ret_t rcl_disable_ros_time_override(rcl_clock_t * clock);
rcl_ret_t rcl_is_enabled_ros_time_override(rcl_clock_t * clock, bool * is_enabled);
// Sets the override value (0 until set); while enabled, a change is a jump by the difference.
rcl_ret_t rcl_set_ros_time_override(rcl_clock_t * clock, rcl_time_point_value_t time_value);

#ifdef __cplusplus
}
#endif

#endif  // RCL__TIME_H_
