#include "orvanite_scene_sim/messages.hpp"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "scene_builder.hpp"

namespace orvanite_scene_sim
{
namespace
{

constexpr double kDeg = M_PI / 180.0;

builtin_interfaces::msg::Time Stamp()
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = 12;
  stamp.nanosec = 345;
  return stamp;
}

Eigen::Isometry3d FromMessage(const geometry_msgs::msg::Transform & t)
{
  Eigen::Isometry3d pose = Eigen::Isometry3d::Identity();
  pose.linear() =
    Eigen::Quaterniond(t.rotation.w, t.rotation.x, t.rotation.y, t.rotation.z).toRotationMatrix();
  pose.translation() = Eigen::Vector3d(t.translation.x, t.translation.y, t.translation.z);
  return pose;
}

TEST(Messages, CameraInfoCarriesTheIntrinsicsWithoutDistortion)
{
  const Scene scene = test::FloorScene(Eigen::Isometry3d::Identity());
  const auto info = ToCameraInfo(scene.cameras[0], Stamp());
  EXPECT_EQ(info.header.frame_id, "cam1_optical");
  EXPECT_EQ(info.header.stamp, Stamp());
  EXPECT_EQ(info.width, 160U);
  EXPECT_EQ(info.height, 120U);
  EXPECT_EQ(info.distortion_model, "plumb_bob");
  EXPECT_EQ(info.d, std::vector<double>(5, 0.0));
  const std::array<double, 9> k = {150, 0, 80, 0, 140, 60, 0, 0, 1};
  EXPECT_EQ(info.k, k);
  const std::array<double, 12> p = {150, 0, 80, 0, 0, 140, 60, 0, 0, 0, 1, 0};
  EXPECT_EQ(info.p, p);
}

TEST(Messages, TransformsGoFromMapToArmBaseToEachCamera)
{
  Scene scene =
    test::FloorScene(OpticalPoseFromRpy(Eigen::Vector3d(0.05, 0.1, 0.7), 0, 50 * kDeg, -10 * kDeg));
  scene.cameras.push_back(
    {"cam2", "cam2_optical", test::SmallIntrinsics(),
     OpticalPoseLookAt(Eigen::Vector3d(0, 0.2, 0.6), Eigen::Vector3d(0.2, 0.6, 0))});
  scene.arm_base_in_map.linear() = RotationFromRpy(0, 0, 90 * kDeg);
  scene.arm_base_in_map.translation() = Eigen::Vector3d(2.0, 1.0, 0.0);

  const auto transforms = ToTransforms(scene, Stamp());
  ASSERT_EQ(transforms.size(), 3U);
  EXPECT_EQ(transforms[0].header.frame_id, "map");
  EXPECT_EQ(transforms[0].child_frame_id, "arm_base_link");
  EXPECT_NEAR(transforms[0].transform.rotation.z, std::sin(45 * kDeg), 1e-12);
  EXPECT_NEAR(transforms[0].transform.rotation.w, std::cos(45 * kDeg), 1e-12);
  EXPECT_DOUBLE_EQ(transforms[0].transform.translation.x, 2.0);
  for (std::size_t i = 0; i < scene.cameras.size(); ++i) {
    const auto & transform = transforms[i + 1];
    EXPECT_EQ(transform.header.frame_id, "arm_base_link");
    EXPECT_EQ(transform.child_frame_id, scene.cameras[i].frame_id);
    EXPECT_EQ(transform.header.stamp, Stamp());
    EXPECT_TRUE(
      FromMessage(transform.transform).isApprox(scene.cameras[i].pose_in_arm_base, 1e-12));
  }
}

TEST(Messages, ImagesKeepTheirPixelsRowsPacked)
{
  cv::Mat rgb(3, 4, CV_8UC3);
  cv::randu(rgb, 0, 255);
  const auto colour = ToImageMsg(rgb, "cam1_optical", Stamp());
  EXPECT_EQ(colour.encoding, "rgb8");
  EXPECT_EQ(colour.step, 12U);
  ASSERT_EQ(colour.data.size(), 36U);
  EXPECT_EQ(std::memcmp(colour.data.data(), rgb.data, 36), 0);

  cv::Mat big(6, 8, CV_16UC1);
  cv::randu(big, 0, 65535);
  const cv::Mat depth = big(cv::Rect(1, 1, 4, 3));  // not continuous
  const auto message = ToImageMsg(depth, "cam1_optical", Stamp());
  EXPECT_EQ(message.encoding, "16UC1");
  EXPECT_EQ(message.width, 4U);
  EXPECT_EQ(message.height, 3U);
  EXPECT_EQ(message.step, 8U);
  ASSERT_EQ(message.data.size(), 24U);
  EXPECT_EQ(std::memcmp(message.data.data() + 8, depth.ptr(1), 8), 0);
  EXPECT_EQ(message.header.frame_id, "cam1_optical");

  EXPECT_THROW(ToImageMsg(cv::Mat(2, 2, CV_32FC1), "f", Stamp()), std::invalid_argument);
}

}  // namespace
}  // namespace orvanite_scene_sim
