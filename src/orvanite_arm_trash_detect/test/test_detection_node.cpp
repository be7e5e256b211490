// The detection service on fixture configurations: camera construction order, the target choice,
// the wait for each camera and the answers of every outcome.
#include "trash_pose_detection/detection_node.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "sensor_msgs/msg/image.hpp"
#include "camera_detection_node/camera_detection_node.hpp"
#include "common/yaml_config_reader.hpp"
#include "support/camera_fixture.hpp"
#include "support/log_capture.hpp"
#include "support/poll_until.hpp"
#include "support/rclcpp_environment.hpp"
#include "support/service_fixture.hpp"
#include "support/synthetic_rgbd.hpp"
#include "support/tf_listening.hpp"

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

// Virtual time for the service's waits. Until `running` holds, every pause between two polls
// really sleeps and the clock stands still, so a camera that works gets all the time it needs
// however slow the machine; from then on each pause moves the clock on by `step` (by default the
// period asked) without sleeping, so a camera that never finishes times out at once.
class VirtualWaitClock
{
public:
  using Duration = std::chrono::steady_clock::duration;

  VirtualWaitClock(
    DetectionNode & node, std::function<bool()> running,
    std::optional<Duration> step = std::nullopt)
  {
    node.SetWaitClock(
      [this] {
        std::lock_guard<std::mutex> lock(mutex_);
        return now_;
      },
      [this, running = std::move(running), step](Duration asked) {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          pauses_.push_back(asked);
        }
        if (!running()) {
          std::this_thread::sleep_for(asked);
          return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        now_ += step.value_or(asked);
      });
  }

  // Every period the service asked to pause for, in order.
  std::vector<Duration> Pauses() const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return pauses_;
  }

private:
  mutable std::mutex mutex_;
  std::chrono::steady_clock::time_point now_{};
  std::vector<Duration> pauses_;
};

// True once the capture holds a line that starts with `prefix`.
std::function<bool()> Logged(const LogCapture & capture, const std::string & prefix)
{
  return [&capture, prefix] {
    const auto messages = capture.Messages();
    return std::any_of(messages.begin(), messages.end(), [&](const std::string & m) {
      return m.rfind(prefix, 0) == 0;
    });
  };
}

// Publishes synchronised colour and depth pairs at 30 Hz, as a driver would, on one topic pair
// per camera: the frame of each pair is built once, every pair gets a fresh stamp.
class FakeRgbdDriver
{
public:
  struct Stream
  {
    std::string rgb_topic;
    std::string depth_topic;
    std::vector<orvanite_test::FloorBox> boxes;
  };

  explicit FakeRgbdDriver(std::vector<Stream> streams)
  : node_(std::make_shared<rclcpp::Node>("fake_rgbd_driver"))
  {
    for (auto & stream : streams) {
      outputs_.push_back(
        {node_->create_publisher<sensor_msgs::msg::Image>(stream.rgb_topic, rclcpp::QoS(10)),
         node_->create_publisher<sensor_msgs::msg::Image>(stream.depth_topic, rclcpp::QoS(10)),
         std::move(stream.boxes)});
    }
    thread_ = std::thread([this] {
      rclcpp::WallRate rate(30);
      for (int32_t stamp = 1; running_ && rclcpp::ok(); ++stamp) {
        for (const auto & output : outputs_) {
          const auto frame = orvanite_test::MakeRgbdFrame(camera_, output.boxes, stamp);
          output.rgb->publish(frame.first);
          output.depth->publish(frame.second);
        }
        rate.sleep();
      }
    });
  }
  ~FakeRgbdDriver()
  {
    running_ = false;
    thread_.join();
  }

  // An empty floor on the topics of the default camera file.
  static std::vector<Stream> EmptyFloor()
  {
    return {{"/camera/color/image_raw", "/camera/aligned_depth_to_color/image_raw", {}}};
  }

private:
  struct Output
  {
    rclcpp::Publisher<sensor_msgs::msg::Image>::SharedPtr rgb;
    rclcpp::Publisher<sensor_msgs::msg::Image>::SharedPtr depth;
    std::vector<orvanite_test::FloorBox> boxes;
  };

  const orvanite_test::DownwardCamera camera_;
  std::shared_ptr<rclcpp::Node> node_;
  std::vector<Output> outputs_;
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
  const std::string path = WriteServiceConfig(fixture, ServiceSettings{});
  RunningDetectionNode running(path);
  EXPECT_TRUE(Count(capture.Messages(), "[INFO] cam_num_: 0") == 1);
  EXPECT_EQ(
    Count(
      capture.Messages(),
      "[WARN] " + path +
        ": orvanite_arm_trash_detect/trash_detect_node_array: empty list, no camera is built and "
        "every request is answered with code 0"),
    1);
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
  for (const auto & camera : detection_node.cameras()) {
    orvanite_test::WaitUntilListening(*camera);
  }

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

// Log lines, topics, frames and streamed messages tell cameras apart by their number only.
TEST(DetectService, SecondCameraWithTheNumberOfTheFirstIsRefusedNamingItsFile)
{
  CameraFixture fixture;
  const std::string first = orvanite_test::WriteNumberedCameraFile(fixture, 1, {{"cam_id", "4"}});
  const std::string second = orvanite_test::WriteNumberedCameraFile(fixture, 2, {{"cam_id", "4"}});
  ServiceSettings settings;
  settings.node_names = {"cam_a", "cam_b"};
  try {
    DetectionNode detection_node(WriteServiceConfig(fixture, settings));
    FAIL() << "constructed with two cameras numbered 4";
  } catch (const orvanite::ConfigError & e) {
    EXPECT_EQ(
      std::string(e.what()),
      second + ": camera_detection_params/cam_id: 4 is already the cam_id of " + first);
  }
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

// Names rclcpp refuses are reported against the service file and the key that gave them; the
// cameras built before stay alive, since destroying their TF listeners could hang.
TEST(DetectService, RefusedNodeAndServiceNamesNameTheFileAndKey)
{
  struct Case
  {
    std::vector<std::string> node_names;
    std::string detect_service;
    std::string error;  // start of the text after "<file>: "
  };
  const Case cases[] = {
    {{"cam_a", "cam b"},
     "/arm_trash_pose",
     "orvanite_arm_trash_detect/trash_detect_node_array[1]: invalid node name 'cam b'"},
    {{"cam_a"},
     "/arm//trash_pose",
     "orvanite_arm_trash_detect/detect_service: invalid service name '/arm//trash_pose'"},
  };
  for (const auto & c : cases) {
    CameraFixture fixture;
    orvanite_test::WriteNumberedCameraFile(fixture, 1, {{"cam_id", "1"}});
    orvanite_test::WriteNumberedCameraFile(fixture, 2, {{"cam_id", "2"}});
    ServiceSettings settings;
    settings.node_names = c.node_names;
    settings.detect_service = c.detect_service;
    const std::string path = WriteServiceConfig(fixture, settings);
    try {
      DetectionNode detection_node(path);
      ADD_FAILURE() << "constructed with " << c.error;
    } catch (const orvanite::ConfigError & e) {
      EXPECT_EQ(std::string(e.what()).rfind(path + ": " + c.error, 0), 0u) << e.what();
    }
  }
}

TEST(DetectService, StreamingCameraIsGivenUpAtTheFirstPollPastTheTimeout)
{
  using std::chrono::microseconds;
  using std::chrono::milliseconds;
  struct Case
  {
    const char * name;
    const char * detect_timeout_ms;
    VirtualWaitClock::Duration step;  // how far the clock moves in one pause
    long polls;
    const char * cost_ms;
  };
  const Case cases[] = {
    // The first poll comes at once, at 0 ms, which is not past a time-out of 0.
    {"zero_timeout", "0", milliseconds(10), 2, "10"},
    // The poll at exactly 600 ms is not past 600; the one at 610 ms is.
    {"exactly_the_timeout", "600", milliseconds(10), 62, "610"},
    // A pause that oversleeps to 600.9 ms is 600 whole milliseconds: still not past.
    {"a_fraction_over", "600", microseconds(600900), 3, "1201"},
    {"one_millisecond_over", "600", milliseconds(601), 2, "601"},
  };
  for (const Case & c : cases) {
    CameraFixture fixture;
    orvanite_test::WriteNumberedCameraFile(fixture, 1, {{"is_detect_grab_pose", "false"}});
    ServiceSettings settings;
    settings.node_names = {"cam1_trash_detect_node"};
    settings.detect_timeout_ms = c.detect_timeout_ms;
    RunningDetectionNode running(WriteServiceConfig(fixture, settings));
    VirtualWaitClock clock(
      running.node(), [] { return true; }, c.step);
    LogCapture capture;
    const auto response = running.Call(ArmTrashPose::Request());
    EXPECT_EQ(response.error_code, 0) << c.name;
    EXPECT_EQ(response.error_msg, "") << c.name;

    const auto messages = capture.Messages();
    EXPECT_EQ(Count(messages, "[INFO] \x1b[2mis_camera_1_detect_done_: false\x1b[0m"), c.polls)
      << c.name;
    EXPECT_EQ(
      Count(messages, "[INFO] \x1b[2mwaiting detect to complete................\x1b[0m"), c.polls)
      << c.name;
    EXPECT_EQ(Count(messages, "[ERROR] cam_1: trash pose detect process timeout"), 1) << c.name;
    EXPECT_EQ(
      Count(
        messages, std::string("[INFO] \x1b[0;35mDetect callback cost ") + c.cost_ms + " ms\x1b[0m"),
      1)
      << c.name;
    // One pause of 10 ms between two polls, none before the first or after the last.
    EXPECT_EQ(
      clock.Pauses(), std::vector<VirtualWaitClock::Duration>(c.polls - 1, milliseconds(10)))
      << c.name;
  }
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
  FakeRgbdDriver driver(FakeRgbdDriver::EmptyFloor());
  LogCapture capture;
  // Camera 1 is waited for however long its frame takes; camera 2 then times out.
  VirtualWaitClock clock(
    running.node(),
    Logged(capture, "[INFO] \x1b[0;33mcam_1: failed to detect trash need to grab!\x1b[0m"));
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
  FakeRgbdDriver driver(FakeRgbdDriver::EmptyFloor());
  LogCapture capture;
  // The wait for camera 1 lasts until camera 2 has finished its frame, however long that takes.
  VirtualWaitClock clock(
    running.node(), Logged(capture, "[INFO] \x1b[0;35mcam_2: ImageCallback cost "));
  const auto response = running.Call(ArmTrashPose::Request());
  EXPECT_EQ(response.error_code, 102200003);
  const auto messages = capture.Messages();
  EXPECT_EQ(Count(messages, "[ERROR] cam_1: trash pose detect process timeout"), 1);
  EXPECT_EQ(Count(messages, "[INFO] \x1b[2mis_camera_2_detect_done_: false\x1b[0m"), 0);
  EXPECT_EQ(
    Count(messages, "[INFO] \x1b[0;33mcam_2: failed to detect trash need to grab!\x1b[0m"), 1);
}

// Two cameras on the synthetic downward camera, camera 2 on the topics /cam2/color and
// /cam2/depth, each waited for up to 10 s.
ServiceSettings TwoDownwardCameras(const CameraFixture & fixture)
{
  orvanite_test::UseCamera(fixture, orvanite_test::DownwardCamera());
  orvanite_test::WriteNumberedCameraFile(fixture, 1, {{"cam_id", "1"}});
  orvanite_test::WriteNumberedCameraFile(
    fixture, 2,
    {{"cam_id", "2"}, {"rgb_topic", "\"/cam2/color\""}, {"depth_topic", "\"/cam2/depth\""}});
  ServiceSettings settings;
  settings.node_names = {"cam1_node", "cam2_node"};
  settings.detect_timeout_ms = "10000";
  return settings;
}

TEST(DetectService, RecordsBeyondTheRadiusLeaveTheNextCameraToAnswer)
{
  struct Case
  {
    const char * name;
    const char * max_grab_radius;
    int32_t error_code;
    const char * cam1_line;
  };
  // The paper lies about 0.52 m from the arm-base origin.
  const Case cases[] = {
    {"beyond", "0.1", 102200003, "[INFO] \x1b[0;33mcam_1: failed to choose target trash!\x1b[0m"},
    {"inside", "1.0", 102200000,
     "[INFO] \x1b[1;32mcam_1: Choosed target trash need to grab!\x1b[0m"},
  };
  const orvanite_test::FloorBox paper{cv::Rect(240, 150, 41, 31), cv::Vec3b(255, 0, 0), 0.02};
  for (const Case & c : cases) {
    CameraFixture fixture;
    ServiceSettings settings = TwoDownwardCameras(fixture);
    settings.max_grab_radius = c.max_grab_radius;
    RunningDetectionNode running(WriteServiceConfig(fixture, settings));
    // Time stands still: both cameras are waited for however long their frames take.
    VirtualWaitClock clock(running.node(), [] { return false; });
    FakeRgbdDriver driver(
      {{"/camera/color/image_raw", "/camera/aligned_depth_to_color/image_raw", {paper}},
       {"/cam2/color", "/cam2/depth", {}}});
    LogCapture capture;
    const auto response = running.Call(ArmTrashPose::Request());
    EXPECT_EQ(response.error_code, c.error_code) << c.name;
    const auto messages = capture.Messages();
    EXPECT_EQ(Count(messages, c.cam1_line), 1) << c.name;
    const bool cam2_visited =
      Count(messages, "[INFO] \x1b[0;33mcam_2: failed to detect trash need to grab!\x1b[0m") == 1;
    EXPECT_EQ(cam2_visited, c.error_code != 102200000) << c.name;
    if (c.error_code == 102200000) {
      EXPECT_EQ(response.error_msg, "NONE: 无错误");
      EXPECT_EQ(response.target_trash_info.class_index, 0);
      EXPECT_NEAR(response.target_trash_info.grab_pose.position.z, -0.156, 0.01) << c.name;
    } else {
      EXPECT_EQ(response.target_trash_info, TrashInfo()) << c.name;
    }
  }
}

// Waits, bounded, until the camera has finished the frame it was asked for.
void WaitUntilDone(CameraDetectionNode & camera)
{
  ASSERT_TRUE(
    orvanite_test::PollUntil([&camera] { return camera.IsDetectDone(); }, std::chrono::seconds(60)))
    << "cam_" << camera.cam_id_;
}

// Two cameras of one service both see trash: the service asks both at once, so their frames,
// outlier filters included, run at the same time on the executor's threads. Each camera still
// gives the records it gives when it works alone.
TEST(DetectService, TwoCamerasWithTrashFilterAtOnceAndGiveTheirOwnRecords)
{
  CameraFixture fixture;
  RunningDetectionNode running(WriteServiceConfig(fixture, TwoDownwardCameras(fixture)));
  // Time stands still: both cameras are waited for however long their frames take.
  VirtualWaitClock clock(running.node(), [] { return false; });
  // Large enough that each cloud is downsampled and the filter has thousands of points.
  const orvanite_test::FloorBox paper{cv::Rect(200, 120, 120, 90), cv::Vec3b(255, 0, 0), 0.02};
  const orvanite_test::FloorBox bottle{cv::Rect(350, 160, 100, 80), cv::Vec3b(0, 0, 255), 0.04};
  FakeRgbdDriver driver(
    {{"/camera/color/image_raw", "/camera/aligned_depth_to_color/image_raw", {paper}},
     {"/cam2/color", "/cam2/depth", {bottle}}});
  const auto & cameras = running.node().cameras();
  // Every camera takes its first frame unasked; those two run at once too.
  for (const auto & camera : cameras) {
    WaitUntilDone(*camera);
    camera->CollectTrashInfos();
  }

  std::vector<std::vector<TrashInfo>> alone;
  for (const auto & camera : cameras) {
    camera->RequestDetect();
    WaitUntilDone(*camera);
    alone.push_back(camera->CollectTrashInfos());
    ASSERT_EQ(alone.back().size(), 1u) << "cam_" << camera->cam_id_;
  }
  EXPECT_EQ(alone[0][0].class_index, 0);
  EXPECT_EQ(alone[1][0].class_index, 4);

  // Camera 1's paper answers; camera 2 finishes its frame all the same.
  const auto response = running.Call(ArmTrashPose::Request());
  EXPECT_EQ(response.error_code, 102200000);
  EXPECT_EQ(response.target_trash_info, alone[0][0]);
  WaitUntilDone(*cameras[1]);
  EXPECT_EQ(cameras[1]->CollectTrashInfos(), alone[1]);
}
}  // namespace
