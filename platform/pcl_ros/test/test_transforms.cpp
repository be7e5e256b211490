#include <gtest/gtest.h>

#include <cmath>

#include <Eigen/Core>

#include "pcl_ros/transforms.hpp"

namespace
{
// 120 degrees about (1, 1, 1) turns x into y, y into z and z into x.
geometry_msgs::msg::TransformStamped axisCycle(double scale)
{
  geometry_msgs::msg::TransformStamped t;
  t.header.frame_id = "base";
  t.child_frame_id = "camera";
  t.transform.rotation.x = 0.5 * scale;
  t.transform.rotation.y = 0.5 * scale;
  t.transform.rotation.z = 0.5 * scale;
  t.transform.rotation.w = 0.5 * scale;
  t.transform.translation.x = 1.0;
  t.transform.translation.y = -2.0;
  t.transform.translation.z = 3.5;
  return t;
}

TEST(TransformAsMatrix, HomogeneousMatrixOfAKnownRotationAndTranslation)
{
  Eigen::Matrix4f expected;
  expected << 0, 0, 1, 1.0f,  //
    1, 0, 0, -2.0f,           //
    0, 1, 0, 3.5f,            //
    0, 0, 0, 1;
  // A non-unit quaternion describes the same rotation.
  for (double scale : {1.0, 1.001}) {
    Eigen::Matrix4f matrix = Eigen::Matrix4f::Zero();
    pcl_ros::transformAsMatrix(axisCycle(scale), matrix);
    EXPECT_LT((matrix - expected).cwiseAbs().maxCoeff(), 1e-6f) << scale << "\n" << matrix;
  }

  // The camera's x axis lies along the base's y axis, offset by the translation.
  Eigen::Matrix4f matrix;
  pcl_ros::transformAsMatrix(axisCycle(1.0), matrix);
  const Eigen::Vector4f point = matrix * Eigen::Vector4f(2, 0, 0, 1);
  EXPECT_LT((point - Eigen::Vector4f(1, 0, 3.5, 1)).cwiseAbs().maxCoeff(), 1e-6f);
}

TEST(TransformAsMatrix, TransformOverloadAgrees)
{
  const tf2::Transform transform(
    tf2::Quaternion(tf2::Vector3(0.3, -1.0, 2.0), 0.9), tf2::Vector3(-0.4, 0.25, 7.0));
  Eigen::Matrix4f matrix;
  pcl_ros::transformAsMatrix(transform, matrix);
  const tf2::Vector3 p(1.5, -2.0, 0.75);
  const tf2::Vector3 q = transform(p);
  const Eigen::Vector4f mapped = matrix * Eigen::Vector4f(1.5f, -2.0f, 0.75f, 1.0f);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(mapped[i], q[i], 1e-5) << i;
  }
  EXPECT_EQ(matrix.row(3), Eigen::RowVector4f(0, 0, 0, 1));
}
}  // namespace
