#include "pcl_ros/transforms.hpp"

namespace pcl_ros
{
void transformAsMatrix(const tf2::Transform & bt, Eigen::Matrix4f & out_mat)
{
  const tf2::Matrix3x3 & basis = bt.getBasis();
  const tf2::Vector3 & origin = bt.getOrigin();
  out_mat = Eigen::Matrix4f::Identity();
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      out_mat(row, column) = static_cast<float>(basis[row][column]);
    }
    out_mat(row, 3) = static_cast<float>(origin[row]);
  }
}

void transformAsMatrix(const geometry_msgs::msg::TransformStamped & bt, Eigen::Matrix4f & out_mat)
{
  const auto & rotation = bt.transform.rotation;
  const auto & translation = bt.transform.translation;
  transformAsMatrix(
    tf2::Transform(
      tf2::Quaternion(rotation.x, rotation.y, rotation.z, rotation.w),
      tf2::Vector3(translation.x, translation.y, translation.z)),
    out_mat);
}
}  // namespace pcl_ros
