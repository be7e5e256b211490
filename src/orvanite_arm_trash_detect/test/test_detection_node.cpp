// The detection service on fixture configurations: camera construction order, the target choice,
// the wait for each camera and the answers of every outcome.
#include "trash_pose_detection/detection_node.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "sensor_msgs/msg/image.hpp"
#include "support/camera_fixture.hpp"
#include "support/log_capture.hpp"
#include "support/rclcpp_environment.hpp"
#include "support/service_fixture.hpp"

namespace
{
using orvanite_protocol::msg::TrashInfo;
using orvanite_protocol::srv::ArmTrashPose;
using orvanite_test::CameraFixture;
using orvanite_test::LogCapture;
using orvanite_test::RunningDetectionNode;
using orvanite_test::ServiceSettings;

std::string WriteServiceConfig(const CameraFixture & fixture, const ServiceSettings & settings)
{
  return fixture.overlay().WriteConfig(
    "trash_pose_detect_config.yaml", orvanite_test::ServiceConfigYaml(settings));
}

TrashInfo RecordAt(double x, double y, double z, uint8_t label = 0)
{
  TrashInfo info;
  info.class_index = label;
  info.grab_pose.position.x = x;
  info.grab_pose.position.y = y;
  info.grab_pose.position.z = z;
  info.map_pose.position = info.grab_pose.position;
  return info;
}

long Count(const std::vector<std::string> & messages, const std::string & text)
{
  return std::count(messages.begin(), messages.end(), text);
}

// A gray floor 0.7 m away, as a driver would publish it: colour and depth with one stamp.
class EmptyFloorPublisher
{
public:
  EmptyFloorPublisher() : node_(std::make_shared<rclcpp::Node>("fake_rgbd_driver"))
  {
    rgb_pub_ =
      node_->create_publisher<sensor_msgs::msg::Image>("/camera/color/image_raw", rclcpp::QoS(10));
    depth_pub_ = node_->create_publisher<sensor_msgs::msg::Image>(
      "/camera/aligned_depth_to_color/image_raw", rclcpp::QoS(10));
    thread_ = std::thread([this] {
      rclcpp::WallRate rate(30);
      while (running_ && rclcpp::ok()) {
        Publish();
        rate.sleep();
      }
    });
  }
  ~EmptyFloorPublisher()
  {
    running_ = false;
    thread_.join();
  }

private:
  void Publish()
  {
    constexpr uint32_t kWidth = 64, kHeight = 48;
    sensor_msgs::msg::Image rgb;
    rgb.header.stamp = node_->now();
    rgb.header.frame_id = "camera_color_optical_frame";
    rgb.width = kWidth;
    rgb.height = kHeight;
    rgb.encoding = "rgb8";
    rgb.step = kWidth * 3;
    rgb.data.assign(rgb.step * kHeight, 128);
    sensor_msgs::msg::Image depth = rgb;
    depth.encoding = "16UC1";
    depth.step = kWidth * 2;
    depth.data.resize(depth.step * kHeight);
    for (std::size_t i = 0; i < depth.data.size(); i += 2) {
      depth.data[i] = 700 & 0xff;
      depth.data[i + 1] = 700 >> 8;
    }
    rgb_pub_->publish(rgb);
    depth_pub_->publish(depth);
  }

  std::shared_ptr<rclcpp::Node> node_;
  rclcpp::Publisher<sensor_msgs::msg::Image>::SharedPtr rgb_pub_;
  rclcpp::Publisher<sensor_msgs::msg::Image>::SharedPtr depth_pub_;
  std::atomic<bool> running_{true};
  std::thread thread_;
};

class TargetChoice : public ::testing::Test
{
protected:
  TargetChoice() : detection_node_(WriteServiceConfig(fixture_, ServiceSettings{})) {}

  CameraFixture fixture_;
  DetectionNode detection_node_;
};

TEST_F(TargetChoice, NearestToArmBaseStrictlyInsideTheRadius)
{
  struct Case
  {
    const char * name;
    std::vector<TrashInfo> records;
    bool chosen;
    double chosen_x;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
    {"exactly_at_radius", {RecordAt(0.6, 0.8, 0.0)}, false, 0.0},
    {"just_inside", {RecordAt(0.6, 0.799, 0.0)}, true, 0.6},
    {"nearest_of_three",
     {RecordAt(0.5, 0, 0), RecordAt(0.3, 0.1, 0), RecordAt(0.4, 0, 0)},
     true,
     0.3},
    {"first_of_equal", {RecordAt(0.3, 0.4, 0, 1), RecordAt(0.4, 0.3, 0, 2)}, true, 0.3},
    {"nan_never_chosen", {RecordAt(nan, 0, 0), RecordAt(0.9, 0, 0)}, true, 0.9},
    {"beyond", {RecordAt(1.2, 0, 0), RecordAt(0, -1.5, 0)}, false, 0.0},
  };
  for (const Case & c : cases) {
    auto response = std::make_shared<ArmTrashPose::Response>();
    EXPECT_EQ(detection_node_.ChooseNearestTrashInfo(c.records, response), c.chosen) << c.name;
    EXPECT_EQ(response->target_trash_info.grab_pose.position.x, c.chosen_x) << c.name;
  }
}

TEST_F(TargetChoice, NearestToAimPointLogsEveryRecord)
{
  auto request = std::make_shared<ArmTrashPose::Request>();
  request->aim_trash_info.map_pose.position.x = 2.0;
  request->aim_trash_info.map_pose.position.y = 1.0;
  {
    // Exactly the aim radius away: never chosen.
    auto response = std::make_shared<ArmTrashPose::Response>();
    EXPECT_FALSE(
      detection_node_.ChooseTargetTrashInfo({RecordAt(2.0, 1.05, 0)}, request, response));
  }
  LogCapture capture;
  auto response = std::make_shared<ArmTrashPose::Response>();
  const std::vector<TrashInfo> records = {
    RecordAt(2.03, 1.0, 0, 1), RecordAt(2.0, 1.01, 0, 2), RecordAt(1.99, 1.0, 0, 3)};
  EXPECT_TRUE(detection_node_.ChooseTargetTrashInfo(records, request, response));
  // The second record is nearest; the third, equally near, does not replace it.
  EXPECT_EQ(response->target_trash_info.class_index, 2);
  // Distances are narrowed to float before they are summed and printed.
  const auto d_of = [](double dx, double dy) {
    const float fx = static_cast<float>(dx), fy = static_cast<float>(dy);
    return fmt::format("{}", std::sqrt(fx * fx + fy * fy));
  };
  const std::vector<std::string> expected = {
    "[WARN] aim_trash_info.map_pose: x:2.000, y:1.000, z:0.000,",
    "[INFO] trash_infos[0].map_pose: x:2.030, y:1.000, z:0.000,",
    "[INFO] \x1b[2mDistance from target to aim trash is: dx:0.030, dy:0.000, dz:0.000, "
    "d:0.030\x1b[0m",
    "[INFO] \x1b[2md_min is now:" + d_of(2.03 - 2.0, 0.0) + "\x1b[0m",
    "[INFO] trash_infos[1].map_pose: x:2.000, y:1.010, z:0.000,",
    "[INFO] \x1b[2mDistance from target to aim trash is: dx:0.000, dy:0.010, dz:0.000, "
    "d:0.010\x1b[0m",
    "[INFO] \x1b[2md_min is now:" + d_of(0.0, 1.01 - 1.0) + "\x1b[0m",
    "[INFO] trash_infos[2].map_pose: x:1.990, y:1.000, z:0.000,",
    "[INFO] \x1b[2mDistance from target to aim trash is: dx:-0.010, dy:0.000, dz:0.000, "
    "d:0.010\x1b[0m",
  };
  EXPECT_EQ(capture.Messages(), expected);
}

TEST(DetectService, WithoutCamerasAnswersZeroAndLogsOnlyStartAndEnd)
{
  CameraFixture fixture;
  LogCapture capture;
  RunningDetectionNode running(WriteServiceConfig(fixture, ServiceSettings{}));
  EXPECT_TRUE(Count(capture.Messages(), "[INFO] cam_num_: 0") == 1);
  capture.Clear();

  ArmTrashPose::Request request;
  request.cmd = -3;
  request.cam_choice = 200;
  const auto response = running.Call(request);
  EXPECT_EQ(response.error_code, 0);
  EXPECT_EQ(response.error_msg, "");
  EXPECT_EQ(response.target_trash_info, TrashInfo());

  const auto messages = capture.Messages();
  ASSERT_EQ(messages.size(), 5u);
  EXPECT_EQ(
    messages[0], "[INFO] Start detect ====================================================");
  EXPECT_EQ(messages[1], "[INFO] Received cmd: -3  cam_choice: 200");
  EXPECT_EQ(messages[2].rfind("[INFO] \x1b[0;35mDetect callback cost ", 0), 0u);
  EXPECT_EQ(
    messages[3], "[INFO] ============================================== detect completed !");
  EXPECT_EQ(
    messages[4], "[INFO] -----------------------------------------------------------------");
}

TEST(DetectService, CamerasAreBuiltInListOrderFromNumberedFiles)
{
  CameraFixture fixture;
  const int cam_ids[] = {7, 3, 5};
  for (int i = 0; i < 3; ++i) {
    orvanite_test::WriteNumberedCameraFile(
      fixture, i + 1, {{"cam_id", std::to_string(cam_ids[i])}});
  }
  ServiceSettings settings;
  settings.node_names = {"front_camera", "left_camera", "front_camera"};
  LogCapture capture;
  DetectionNode detection_node(WriteServiceConfig(fixture, settings));

  std::vector<std::string> order;
  for (const auto & message : capture.Messages()) {
    for (const int id : cam_ids) {
      const std::string prefix =
        "[DEBUG] cam_" + std::to_string(id) + "_pose_estimate_config_file_path";
      if (message.rfind(prefix, 0) == 0) {
        order.push_back(std::to_string(id));
      }
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"7", "3", "5"}));
  EXPECT_EQ(Count(capture.Messages(), "[INFO] cam_num_: 3"), 1);
}

TEST(DetectService, MissingServiceNameFailsAfterEveryCamera)
{
  CameraFixture fixture;
  orvanite_test::WriteNumberedCameraFile(fixture, 1, {{"cam_id", "1"}});
  orvanite_test::WriteNumberedCameraFile(fixture, 2, {{"cam_id", "2"}});
  ServiceSettings settings;
  settings.node_names = {"cam_a", "cam_b"};
  settings.with_detect_service = false;
  LogCapture capture;
  try {
    DetectionNode detection_node(WriteServiceConfig(fixture, settings));
    FAIL() << "constructed without detect_service";
  } catch (const std::exception & e) {
    EXPECT_NE(std::string(e.what()).find("detect_service"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("trash_pose_detect_config.yaml"), std::string::npos);
  }
  const auto messages = capture.Messages();
  const auto built = std::count_if(messages.begin(), messages.end(), [](const std::string & m) {
    return m.find("_pose_estimate_config_file_path") != std::string::npos;
  });
  EXPECT_EQ(built, 2);
}

TEST(DetectService, StreamingCameraIsGivenUpAtTheFirstPollPastTheTimeout)
{
  CameraFixture fixture;
  orvanite_test::WriteNumberedCameraFile(fixture, 1, {{"is_detect_grab_pose", "false"}});
  ServiceSettings settings;
  settings.node_names = {"cam1_trash_detect_node"};
  settings.detect_timeout_ms = "0";
  RunningDetectionNode running(WriteServiceConfig(fixture, settings));
  LogCapture capture;
  const auto response = running.Call(ArmTrashPose::Request());
  EXPECT_EQ(response.error_code, 0);
  EXPECT_EQ(response.error_msg, "");

  // The first poll comes at 0 ms, which is not past a time-out of 0; the one 10 ms later is.
  const auto messages = capture.Messages();
  EXPECT_EQ(Count(messages, "[INFO] \x1b[2mis_camera_1_detect_done_: false\x1b[0m"), 2);
  EXPECT_EQ(Count(messages, "[INFO] \x1b[2mwaiting detect to complete................\x1b[0m"), 2);
  EXPECT_EQ(Count(messages, "[ERROR] cam_1: trash pose detect process timeout"), 1);
}

TEST(DetectService, EmptyFirstCameraThenTimeoutKeepsTheEmptyListCode)
{
  CameraFixture fixture;
  orvanite_test::WriteNumberedCameraFile(fixture, 1, {{"cam_id", "1"}});
  orvanite_test::WriteNumberedCameraFile(
    fixture, 2, {{"cam_id", "2"}, {"is_detect_grab_pose", "false"}});
  ServiceSettings settings;
  settings.node_names = {"cam1_node", "cam2_node"};
  settings.detect_timeout_ms = "3000";
  RunningDetectionNode running(WriteServiceConfig(fixture, settings));
  EmptyFloorPublisher driver;
  LogCapture capture;
  const auto response = running.Call(ArmTrashPose::Request());
  EXPECT_EQ(response.error_code, 102200003);
  EXPECT_EQ(response.error_msg, "TRASH_POSE_LIST_EMPTY");
  EXPECT_EQ(response.target_trash_info, TrashInfo());
  const auto messages = capture.Messages();
  EXPECT_EQ(
    Count(messages, "[INFO] \x1b[0;33mcam_1: failed to detect trash need to grab!\x1b[0m"), 1);
  EXPECT_EQ(Count(messages, "[ERROR] cam_2: trash pose detect process timeout"), 1);
}

TEST(DetectService, CameraDoneBeforeItsTurnIsCollectedWithoutWaiting)
{
  CameraFixture fixture;
  orvanite_test::WriteNumberedCameraFile(
    fixture, 1, {{"cam_id", "1"}, {"is_detect_grab_pose", "false"}});
  orvanite_test::WriteNumberedCameraFile(fixture, 2, {{"cam_id", "2"}});
  ServiceSettings settings;
  settings.node_names = {"cam1_node", "cam2_node"};
  settings.detect_timeout_ms = "1500";
  RunningDetectionNode running(WriteServiceConfig(fixture, settings));
  EmptyFloorPublisher driver;
  LogCapture capture;
  const auto response = running.Call(ArmTrashPose::Request());
  EXPECT_EQ(response.error_code, 102200003);
  const auto messages = capture.Messages();
  EXPECT_EQ(Count(messages, "[ERROR] cam_1: trash pose detect process timeout"), 1);
  EXPECT_EQ(Count(messages, "[INFO] \x1b[2mis_camera_2_detect_done_: false\x1b[0m"), 0);
  EXPECT_EQ(
    Count(messages, "[INFO] \x1b[0;33mcam_2: failed to detect trash need to grab!\x1b[0m"), 1);
}
}  // namespace
