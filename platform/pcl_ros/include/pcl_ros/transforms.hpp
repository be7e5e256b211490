#ifndef PCL_ROS__TRANSFORMS_HPP_
#define PCL_ROS__TRANSFORMS_HPP_

#include <Eigen/Core>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "tf2/LinearMath/Transform.h"

namespace pcl_ros
{
// The homogeneous 4x4 matrix of a rigid transform, in float: rotation in the upper-left 3x3,
// translation in column 3, bottom row 0 0 0 1. Applied to a point of the transform's child frame
// it gives the point in the parent frame.
void transformAsMatrix(const tf2::Transform & bt, Eigen::Matrix4f & out_mat);
// As above for `bt.transform`; the rotation is normalised first.
void transformAsMatrix(const geometry_msgs::msg::TransformStamped & bt, Eigen::Matrix4f & out_mat);
}  // namespace pcl_ros

#endif  // PCL_ROS__TRANSFORMS_HPP_
