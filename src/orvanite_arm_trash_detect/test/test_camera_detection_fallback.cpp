// A camera-info topic on which nothing is published: the camera waits its full 60 s, then takes
// the grasp-pose file's intrinsics and 640 x 360 and keeps that file's extrinsic.
#include "camera_detection_node/camera_detection_node.hpp"

#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "support/camera_fixture.hpp"
#include "support/log_capture.hpp"
#include "support/rclcpp_environment.hpp"

namespace
{
TEST(CameraInfoFallback, NoMessageWithinTheWaitUsesTheFileIntrinsics)
{
  orvanite_test::CameraFixture fixture;
  fixture.Set("camera_info_topic", "\"/silent/camera_info\"");
  orvanite_test::LogCapture capture;
  const auto node = std::make_shared<rclcpp::Node>("cam1_trash_detect_node");
  const auto camera = std::make_shared<CameraDetectionNode>(node, fixture.WriteCameraFile());

  const GrabPoseEstimate & estimate = *camera->grab_pose_estimate_;
  EXPECT_FLOAT_EQ(camera->fx_, estimate.fx_);
  EXPECT_FLOAT_EQ(camera->fy_, estimate.fy_);
  EXPECT_FLOAT_EQ(camera->cx_, estimate.cx_);
  EXPECT_FLOAT_EQ(camera->cy_, estimate.cy_);
  EXPECT_EQ(camera->width_, 640);
  EXPECT_EQ(camera->height_, 360);
  EXPECT_TRUE(estimate.camera_extrinsic_.isIdentity());

  const auto messages = capture.Messages();
  const auto warning = std::find(
    messages.begin(), messages.end(),
    "[WARN] Failed to get cam_1 intrinsic from camera_info_topic! use default values from config "
    "file.");
  ASSERT_NE(warning, messages.end());
  ASSERT_NE(warning + 1, messages.end());
  EXPECT_EQ(
    *(warning + 1),
    "[INFO] cam_1 : fx=600.00, cx=320.00, fy=600.00, cy=180.00, width=640, height=360");
  for (const auto & message : messages) {
    EXPECT_EQ(message.rfind("[ERROR]", 0), std::string::npos) << message;
  }
}
}  // namespace
