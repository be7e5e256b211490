// The allocator type of the rcl API (the rcutils allocator, as in ROS 2 Humble).
#ifndef RCL__ALLOCATOR_H_
#define RCL__ALLOCATOR_H_

#include "rcutils/allocator.h"

typedef rcutils_allocator_t rcl_allocator_t;

#define rcl_get_default_allocator rcutils_get_default_allocator

#endif  // RCL__ALLOCATOR_H_
