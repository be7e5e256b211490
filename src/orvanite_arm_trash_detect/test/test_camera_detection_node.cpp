// Construction of a camera on fixture configurations: settings, class tables, topics, camera
// info and transform, the detection handshake, and letting cameras go.
#include "camera_detection_node/camera_detection_node.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <sensor_msgs/msg/camera_info.hpp>
#include <tf2_ros/static_transform_broadcaster.h>

#include "support/camera_fixture.hpp"
#include "support/log_capture.hpp"
#include "support/process_usage.hpp"
#include "support/rclcpp_environment.hpp"
#include "common/yaml_config_reader.hpp"

namespace
{
using orvanite_test::CameraFixture;
using orvanite_test::LogCapture;

std::shared_ptr<CameraDetectionNode> MakeCamera(
  const CameraFixture & fixture, const std::string & name_space = "")
{
  const auto node = std::make_shared<rclcpp::Node>("cam1_trash_detect_node", name_space);
  return std::make_shared<CameraDetectionNode>(node, fixture.WriteCameraFile());
}

// True when `expected` occurs in `messages` in this order (other lines may come between).
::testing::AssertionResult InOrder(
  const std::vector<std::string> & messages, const std::vector<std::string> & expected)
{
  auto it = messages.begin();
  for (const auto & line : expected) {
    it = std::find(it, messages.end(), line);
    if (it == messages.end()) {
      return ::testing::AssertionFailure() << "missing or out of order: " << line;
    }
    ++it;
  }
  return ::testing::AssertionSuccess();
}

bool Contains(const std::vector<std::string> & messages, const std::string & line)
{
  return std::find(messages.begin(), messages.end(), line) != messages.end();
}

TEST(CameraConstruction, ReadsEverySettingAndLogsInConstructionOrder)
{
  CameraFixture fixture;
  LogCapture capture;
  const auto camera = MakeCamera(fixture);
  const std::string config = fixture.overlay().ConfigDir().string() + "/";

  EXPECT_EQ(camera->cam_id_, 1);
  EXPECT_EQ(camera->cam_frame_id_, "camera_color_optical_frame");
  EXPECT_EQ(camera->min_trash_cloud_size_treshold_, 50u);
  EXPECT_FLOAT_EQ(camera->ground_max_th_, 0.01f);
  EXPECT_FLOAT_EQ(camera->transparent_grab_z_threshold_, 0.1f);
  EXPECT_EQ(camera->m_model_type_, "seg");
  EXPECT_EQ(camera->trash_class_ids_, (std::vector<int>{1, 5}));
  ASSERT_TRUE(camera->m_model_);
  ASSERT_TRUE(camera->grab_pose_estimate_);
  EXPECT_TRUE(camera->ShouldProcessFrame());  // the first pair after start-up is processed
  EXPECT_FALSE(camera->IsDetectDone());

  std::vector<std::string> expected = {
    "[DEBUG] cam_1_pose_estimate_config_file_path = " + config + "cam1_pose_estimate_config.yaml",
    "[DEBUG] cam_1_debug = 0",
    "[DEBUG] cam_1_detect_duration = 10 ms",
    "[DEBUG] cam_1_map_frame_id = map",
    "[DEBUG] cam_1_arm_base_frame_id = arm_base_link",
    "[DEBUG] cam_1_image_edge_threshold = 5 ms",
    "[DEBUG] cam_1_mask_erosion_size = 1 ms",
    "[DEBUG] cam_1_detected_image_topic = /cam1/detected_image",
    "[DEBUG] cam_1_trashes_cloud_topic = /cam1/trashes_cloud",
    "[INFO] cam_1: camera_info_topic is empty, use default values from config file.",
    "[DEBUG] cam_1_camera_info_topic = ",
    "[DEBUG] cam_1_rgb_topic = /camera/color/image_raw",
    "[DEBUG] cam_1_depth_topic = /camera/aligned_depth_to_color/image_raw",
    "[DEBUG] cam_1_model_type = seg",
    "[DEBUG] cam_1_class_txt_file_path = " + config + "trash_classes.txt",
    "[DEBUG] cam_1_model_cfg_file_path = " + fixture.model_cfg_file(),
    "[DEBUG] cam_1_class_height_conf_file_path = " + config + "class_height_conf.yaml",
    "[DEBUG] cam_1_class_height_conf_.paper = 0.05",
  };
  for (const char * key : orvanite_test::kClassConfKeys) {
    expected.push_back("[DEBUG] cam_1_ai_conf_." + std::string(key) + " = 0.50");
  }
  expected.push_back(
    "[DEBUG] cam_1_class_size_range_file_path = " + config + "class_size_range.yaml");
  EXPECT_TRUE(InOrder(capture.Messages(), expected));
}

// Reading order of the camera file: with two keys missing, the first one read is reported.
TEST(CameraConstruction, ReadsKeysInOrder)
{
  const auto keys = CameraFixture().keys();
  for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
    CameraFixture fixture;
    fixture.Remove(keys[i].first);
    fixture.Remove(keys[i + 1].first);
    try {
      MakeCamera(fixture);
      ADD_FAILURE() << "constructed without " << keys[i].first;
    } catch (const orvanite::ConfigError & e) {
      EXPECT_NE(
        std::string(e.what()).find("camera_detection_params/" + keys[i].first + ": missing key"),
        std::string::npos)
        << e.what();
    }
  }
}

TEST(CameraConstruction, MissingGroundMaxThFailsAfterTheEstimatorAndSixDebugLines)
{
  CameraFixture fixture;
  fixture.Remove("ground_max_th");
  LogCapture capture;
  EXPECT_THROW(MakeCamera(fixture), orvanite::ConfigError);
  const auto messages = capture.Messages();
  EXPECT_TRUE(InOrder(
    messages,
    {"[DEBUG] cam_1_debug = 0", "[DEBUG] cam_1_detect_duration = 10 ms",
     "[DEBUG] cam_1_map_frame_id = map", "[DEBUG] cam_1_arm_base_frame_id = arm_base_link",
     "[DEBUG] cam_1_image_edge_threshold = 5 ms", "[DEBUG] cam_1_mask_erosion_size = 1 ms"}));
  EXPECT_FALSE(Contains(messages, "[DEBUG] cam_1_detected_image_topic = /cam1/detected_image"));
}

TEST(CameraConstruction, NegativePointMinimumStopsBeforeTheEstimator)
{
  CameraFixture fixture;
  fixture.Set("min_trash_cloud_size_treshold", "-1");
  LogCapture capture;
  try {
    MakeCamera(fixture);
    ADD_FAILURE() << "constructed with -1";
  } catch (const orvanite::ConfigError & e) {
    EXPECT_NE(std::string(e.what()).find("min_trash_cloud_size_treshold"), std::string::npos);
  }
  for (const auto & message : capture.Messages()) {
    EXPECT_EQ(message.find("pose_estimate_config_file_path"), std::string::npos) << message;
  }
}

// Without a class-name file the camera works on: the names only label the annotated image.
TEST(CameraConstruction, ClassNamesAreTheFileLinesByteForByte)
{
  struct Case
  {
    const char * what;
    const char * content;  // nullptr: no file; "/": a folder
    std::vector<std::string> names;
    const char * warning;  // reason in the WARN line about the key, or nullptr for none
  };
  const Case cases[] = {
    {"final newline", "paper\n\nbottle\n", {"paper", "", "bottle"}, nullptr},
    {"no final newline", "paper\n\nbottle", {"paper", "", "bottle"}, nullptr},
    {"windows line ends", "paper\r\nbottle\r\n", {"paper\r", "bottle\r"}, nullptr},
    {"missing file", nullptr, {}, "No such file or directory"},
    {"a folder", "/", {}, "a folder, not a regular file"},
  };
  for (const auto & c : cases) {
    CameraFixture fixture;
    const std::string names_path = fixture.overlay().ConfigDir().string() + "/trash_classes.txt";
    fixture.overlay().RemoveConfig("trash_classes.txt");
    if (c.content && std::string(c.content) == "/") {
      std::filesystem::create_directory(names_path);
    } else if (c.content) {
      fixture.overlay().WriteConfig("trash_classes.txt", c.content);
    }
    LogCapture capture;
    EXPECT_EQ(MakeCamera(fixture)->class_names_, c.names) << c.what;
    std::vector<std::string> expected = {"[DEBUG] cam_1_class_txt_file_path = " + names_path};
    if (c.warning) {
      expected.insert(
        expected.begin(), "[WARN] " + fixture.WriteCameraFile() +
                            ": camera_detection_params/class_txt: " + names_path + ": " +
                            c.warning + ", detections are drawn without class names");
    }
    std::vector<std::string> about_the_file;
    for (const auto & message : capture.Messages()) {
      if (message.find("trash_classes.txt") != std::string::npos) {
        about_the_file.push_back(message);
      }
    }
    EXPECT_EQ(about_the_file, expected) << c.what;
  }
}

TEST(CameraConstruction, EmptyGraspClassListIsKeptWithAWarning)
{
  CameraFixture fixture;
  fixture.Set("trash_class_ids", "[]");
  LogCapture capture;
  EXPECT_TRUE(MakeCamera(fixture)->trash_class_ids_.empty());
  EXPECT_TRUE(Contains(
    capture.Messages(), "[WARN] " + fixture.WriteCameraFile() +
                          ": camera_detection_params/trash_class_ids: empty list, no detection is "
                          "grasped"));
}

TEST(ClassTables, HeightValuesAreLoggedWithTwoDecimalsAfterAllAreRead)
{
  CameraFixture fixture;
  std::string yaml = orvanite_test::ClassConfYaml("0.05");
  yaml.replace(yaml.find("other: 0.05"), 11, "other: 5");
  fixture.overlay().WriteConfig("class_height_conf.yaml", yaml);
  LogCapture capture;
  const auto camera = MakeCamera(fixture);
  EXPECT_FLOAT_EQ(camera->class_height_conf_.paper, 0.05f);
  EXPECT_FLOAT_EQ(camera->class_height_conf_.other, 5.0f);
  EXPECT_FLOAT_EQ(camera->ai_conf_.drinking_cup, 0.5f);
  EXPECT_TRUE(InOrder(
    capture.Messages(), {"[DEBUG] cam_1_class_height_conf_.paper = 0.05",
                         "[DEBUG] cam_1_class_height_conf_.drinking_cup = 0.05",
                         "[DEBUG] cam_1_class_height_conf_.other = 5.00"}));
}

TEST(ClassTables, MissingClassKeyStopsBeforeAnyValueLine)
{
  CameraFixture fixture;
  std::string yaml = orvanite_test::ClassConfYaml("0.05");
  yaml.erase(yaml.find("drinking_cup: 0.05\n"), 19);
  fixture.overlay().WriteConfig("class_height_conf.yaml", yaml);
  LogCapture capture;
  EXPECT_THROW(MakeCamera(fixture), orvanite::ConfigError);
  for (const auto & message : capture.Messages()) {
    EXPECT_EQ(message.find("class_height_conf_."), std::string::npos) << message;
  }
}

TEST(ClassTables, SizeRanges)
{
  struct Case
  {
    const char * what;
    const char * yaml;
    bool throws;
    std::map<std::string, std::array<double, 6>> ranges;  // min then max
  };
  const Case cases[] = {
    {"named twice keeps the later",
     "paper: {min: [1, 2, 3], max: [4, 5, 6]}\npaper: {min: [0.1, 0.2, 0.3], max: [0.4, 0.5, "
     "0.6]}\n",
     false,
     {{"paper", {0.1, 0.2, 0.3, 0.4, 0.5, 0.6}}}},
    {"four numbers use the first three",
     "bottle: {min: [0, 0, 0, 9], max: [1, 2, 3, 4]}\n",
     false,
     {{"bottle", {0, 0, 0, 1, 2, 3}}}},
    {"unknown names are stored",
     "waiting_bench: {min: [0, 0, 0], max: [1, 1, 1]}\n",
     false,
     {{"waiting_bench", {0, 0, 0, 1, 1, 1}}}},
    {"empty document", "", false, {}},
    {"null", "~\n", false, {}},
    {"plain value", "7\n", false, {}},
    {"empty map", "{}\n", false, {}},
    {"empty list", "[]\n", false, {}},
    {"non-empty list", "[1, 2]\n", true, {}},
    {"two numbers", "paper: {min: [0, 0], max: [1, 1, 1]}\n", true, {}},
    {"no max", "paper: {min: [0, 0, 0]}\n", true, {}},
    {"entry a plain value", "paper: 5\n", true, {}},
    {"entry a list", "paper: [0, 0, 0]\n", true, {}},
    {"entry without a value", "paper:\n", true, {}},
    {"a class name that is a list",
     "? [paper, mask]\n: {min: [0, 0, 0], max: [1, 1, 1]}\n",
     true,
     {}},
  };
  for (const auto & c : cases) {
    CameraFixture fixture;
    fixture.overlay().WriteConfig("class_size_range.yaml", c.yaml);
    if (c.throws) {
      EXPECT_THROW(MakeCamera(fixture), orvanite::ConfigError) << c.what;
      continue;
    }
    const auto camera = MakeCamera(fixture);
    ASSERT_EQ(camera->class_size_range_map.size(), c.ranges.size()) << c.what;
    for (const auto & [name, values] : c.ranges) {
      const auto & range = camera->class_size_range_map.at(name);
      for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(range.min[i], values[i]) << c.what;
        EXPECT_DOUBLE_EQ(range.max[i], values[i + 3]) << c.what;
      }
    }
  }
}

TEST(CameraTopics, DerivedTopicsAreAbsoluteAndTheCloudMessageMovesIntoTheNamespace)
{
  CameraFixture fixture;
  fixture.Set("cam_id", "2");
  fixture.Set("detected_image_topic", "\"detected_image\"");
  const auto camera = MakeCamera(fixture, "/robot");
  EXPECT_STREQ(camera->detected_image_pub_->get_topic_name(), "/robot/detected_image");
  EXPECT_STREQ(camera->trashes_cloud_pub_->get_topic_name(), "/cam1/trashes_cloud");
  EXPECT_STREQ(
    camera->trashes_init_cloud_pub_->get_topic_name(),
    "/orvanite_arm_trash_detect/cam2_trashes_init_cloud");
  EXPECT_STREQ(
    camera->trash_obb_markers_pub_->get_topic_name(),
    "/orvanite_arm_trash_detect/cam2_trash_obb_markers");
  EXPECT_STREQ(
    camera->trash_pose_markers_pub_->get_topic_name(),
    "/orvanite_arm_trash_detect/cam2_trash_pose");
  EXPECT_STREQ(
    camera->grab_trash_cloud_pub_->get_topic_name(),
    "/robot/orvanite_arm_trash_detect/grab_trash_cloud");
}

// A name rclcpp refuses, or a model file the model library refuses, is reported against the camera
// file and the key that gave it.
TEST(CameraConstruction, RefusedNamesAndModelFilesNameTheCameraFileAndKey)
{
  struct Case
  {
    const char * key;
    const char * value;
    const char * reason;  // start of the reason after "<file>: camera_detection_params/<key>: "
  };
  const Case cases[] = {
    {"detected_image_topic", "\"/cam1//detected\"", "invalid topic name '/cam1//detected'"},
    {"trashes_cloud_topic", "\"/cam1/cloud/\"", "invalid topic name '/cam1/cloud/'"},
    {"camera_info_topic", "\"/camera/1info\"", "invalid topic name '/camera/1info'"},
    {"rgb_topic", "\"/camera/color image\"", "invalid topic name '/camera/color image'"},
    {"depth_topic", "\"/camera/depth?\"", "invalid topic name '/camera/depth?'"},
    {"model_cfg_file", "\"/no/such/model.yaml\"", ""},
  };
  for (const auto & c : cases) {
    CameraFixture fixture;
    fixture.Set(c.key, c.value);
    const std::string path = fixture.WriteCameraFile();
    try {
      MakeCamera(fixture);
      ADD_FAILURE() << "constructed with " << c.key << ": " << c.value;
    } catch (const orvanite::ConfigError & e) {
      const std::string prefix =
        path + ": camera_detection_params/" + c.key + ": " + std::string(c.reason);
      EXPECT_EQ(std::string(e.what()).rfind(prefix, 0), 0u) << e.what();
    }
  }
}

// Cameras built and let go at once, hundreds of times in one process, as by a tool that probes
// configurations: none hangs on its TF listener, and none leaves a thread or memory behind,
// whether it was built or failed after its listener was made.
TEST(CameraRelease, BuiltOrFailedCamerasGoAtOnceAndLeaveNothingBehind)
{
  struct Case
  {
    const char * what;
    const char * key;    // nullptr: the fixture's camera file
    const char * value;  // nullptr: the key removed
  };
  const Case cases[] = {
    {"built", nullptr, nullptr},
    {"failing in its settings, after the listener", "ground_max_th", nullptr},
    {"failing in its publishers", "detected_image_topic", "\"/cam1//detected\""},
    {"failing in its model", "model_cfg_file", "\"/no/such/model.yaml\""},
  };
  constexpr int kRounds = 200;
  // What something else in the process may start or allocate meanwhile. A camera that kept its
  // listener would leave kRounds threads and some 20 KB of resident memory each.
  constexpr std::size_t kThreadSlack = 2;
  constexpr std::size_t kMemorySlack = 2 << 20;
  for (const Case & c : cases) {
    CameraFixture fixture;
    if (c.key != nullptr && c.value != nullptr) {
      fixture.Set(c.key, c.value);
    } else if (c.key != nullptr) {
      fixture.Remove(c.key);
    }
    const std::string path = fixture.WriteCameraFile();
    const auto build_and_drop = [&path] {
      const auto node = std::make_shared<rclcpp::Node>("cam1_trash_detect_node");
      try {
        CameraDetectionNode camera(node, path);
        return true;
      } catch (const orvanite::ConfigError &) {
        return false;
      }
    };
    // The first camera creates what lives for the whole process (thread pools, caches).
    EXPECT_EQ(build_and_drop(), c.key == nullptr) << c.what;
    const std::size_t threads = orvanite_test::ThreadCount();
    const std::size_t resident = orvanite_test::ResidentBytes();
    int built = 0;
    for (int round = 0; round < kRounds; ++round) {
      built += build_and_drop() ? 1 : 0;
    }
    EXPECT_EQ(built, c.key == nullptr ? kRounds : 0) << c.what;
    EXPECT_LE(orvanite_test::ThreadCount(), threads + kThreadSlack) << c.what;
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps freed memory resident in its quarantine; its leak check at exit
    // stands in for this one there.
    EXPECT_LE(orvanite_test::ResidentBytes(), resident + kMemorySlack) << c.what;
#else
    static_cast<void>(resident);
    static_cast<void>(kMemorySlack);
#endif
  }
}

// Publishes the camera info at a driver's rate while the camera under construction waits for it.
class CameraInfoDriver
{
public:
  explicit CameraInfoDriver(const sensor_msgs::msg::CameraInfo & info)
  : node_(std::make_shared<rclcpp::Node>("camera_driver"))
  , publisher_(
      node_->create_publisher<sensor_msgs::msg::CameraInfo>("/camera/color/camera_info", 1))
  , thread_([this, info]() {
    rclcpp::WallRate rate(100.0);
    while (!stop_ && rclcpp::ok()) {
      publisher_->publish(info);
      rate.sleep();
    }
  })
  {
  }
  ~CameraInfoDriver()
  {
    stop_ = true;
    thread_.join();
  }

private:
  std::atomic<bool> stop_{false};
  rclcpp::Node::SharedPtr node_;
  rclcpp::Publisher<sensor_msgs::msg::CameraInfo>::SharedPtr publisher_;
  std::thread thread_;
};

sensor_msgs::msg::CameraInfo TestCameraInfo()
{
  sensor_msgs::msg::CameraInfo info;
  info.width = 640;
  info.height = 480;
  info.k = {600.0, 7.0, 320.5, 0.0, 605.0, 240.25, 0.0, 0.0, 1.0};
  return info;
}

TEST(CameraInfo, MessageAndTransformReplaceTheExtrinsic)
{
  CameraFixture fixture;
  fixture.Set("camera_info_topic", "\"/camera/color/camera_info\"");
  const auto tf_node = std::make_shared<rclcpp::Node>("tf_publisher");
  tf2_ros::StaticTransformBroadcaster broadcaster(tf_node);
  geometry_msgs::msg::TransformStamped transform;
  transform.header.frame_id = "arm_base_link";
  transform.child_frame_id = "camera_color_optical_frame";
  transform.transform.translation.x = 0.1;
  transform.transform.translation.y = -0.2;
  transform.transform.translation.z = 0.7;
  transform.transform.rotation.x = 1.0;  // half turn about x: camera looks down
  transform.transform.rotation.w = 0.0;
  broadcaster.sendTransform(transform);

  CameraInfoDriver driver(TestCameraInfo());
  LogCapture capture;
  const auto camera = MakeCamera(fixture);
  EXPECT_FLOAT_EQ(camera->fx_, 600.0f);
  EXPECT_FLOAT_EQ(camera->cx_, 320.5f);
  EXPECT_FLOAT_EQ(camera->fy_, 605.0f);
  EXPECT_FLOAT_EQ(camera->cy_, 240.25f);
  EXPECT_EQ(camera->width_, 640);
  EXPECT_EQ(camera->height_, 480);
  Eigen::Matrix4f expected;
  expected << 1, 0, 0, 0.1f, 0, -1, 0, -0.2f, 0, 0, -1, 0.7f, 0, 0, 0, 1;
  EXPECT_TRUE(camera->cam_to_arm_base_transform_matrix_.isApprox(expected, 1e-6f));
  EXPECT_TRUE(camera->grab_pose_estimate_->camera_extrinsic_.isApprox(expected, 1e-6f));
  const auto messages = capture.Messages();
  EXPECT_TRUE(Contains(
    messages, "[INFO] cam_1 : fx=600.00, cx=320.50, fy=605.00, cy=240.25, width=640, height=480"));
  EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [](const std::string & m) {
    return m.rfind("[DEBUG] cam_1: cam_to_arm_base_transform_matrix:", 0) == 0;
  }));
  EXPECT_FALSE(
    Contains(messages, "[ERROR] ErrorCode:102200001, camera param info initialize failed."));
}

TEST(CameraInfo, FailedLookUpKeepsTheFileExtrinsicAndLogsTheCode)
{
  CameraFixture fixture;
  fixture.Set("camera_info_topic", "\"/camera/color/camera_info\"");
  fixture.Set("cam_frame_id", "\"unconnected_frame\"");
  CameraInfoDriver driver(TestCameraInfo());
  LogCapture capture;
  const auto camera = MakeCamera(fixture);
  EXPECT_FLOAT_EQ(camera->fx_, 600.0f);
  EXPECT_EQ(camera->height_, 480);
  EXPECT_TRUE(camera->grab_pose_estimate_->camera_extrinsic_.isIdentity());
  const auto messages = capture.Messages();
  const auto lookup_error = std::find_if(messages.begin(), messages.end(), [](const auto & m) {
    return m.rfind(
             "[ERROR] Transform unconnected_frame to arm_base_link error of sensor data:", 0) == 0;
  });
  ASSERT_NE(lookup_error, messages.end());
  EXPECT_TRUE(InOrder(
    std::vector<std::string>(lookup_error, messages.end()),
    {"[ERROR] Failed to lookup transform from unconnected_frame to arm_base_link, quitting "
     "callback",
     "[ERROR] ErrorCode:102200001, camera param info initialize failed.",
     "[DEBUG] cam_1_camera_info_topic = /camera/color/camera_info"}));
}

// A driver without calibration publishes K as zeros: such intrinsics would scatter the trash
// points, so the camera works as without a camera-info topic.
TEST(CameraInfo, UnusableIntrinsicsGiveTheEstimatorIntrinsicsAndTheFileExtrinsic)
{
  CameraFixture fixture;
  fixture.Set("camera_info_topic", "\"/camera/color/camera_info\"");
  auto info = TestCameraInfo();
  info.k = {};
  CameraInfoDriver driver(info);
  LogCapture capture;
  const auto camera = MakeCamera(fixture);
  EXPECT_FLOAT_EQ(camera->fx_, camera->grab_pose_estimate_->fx_);
  EXPECT_FLOAT_EQ(camera->cy_, camera->grab_pose_estimate_->cy_);
  EXPECT_EQ(camera->width_, 640);
  EXPECT_EQ(camera->height_, 360);
  EXPECT_TRUE(camera->grab_pose_estimate_->camera_extrinsic_.isIdentity());
  EXPECT_TRUE(InOrder(
    capture.Messages(),
    {"[ERROR] cam_1: camera info on /camera/color/camera_info is unusable, focal lengths fx=0 "
     "fy=0 are not finite and positive; use default values from config file.",
     "[ERROR] ErrorCode:102200001, camera param info initialize failed."}));
}

// An empty topic is a set-up the camera file allows: INFO, not the error code.
TEST(CameraInfo, EmptyTopicGivesTheEstimatorIntrinsics)
{
  CameraFixture fixture;
  LogCapture capture;
  const auto camera = MakeCamera(fixture);
  const auto messages = capture.Messages();
  EXPECT_TRUE(Contains(
    messages, "[INFO] cam_1: camera_info_topic is empty, use default values from config file."));
  EXPECT_FALSE(
    Contains(messages, "[ERROR] ErrorCode:102200001, camera param info initialize failed."));
  EXPECT_FLOAT_EQ(camera->fx_, camera->grab_pose_estimate_->fx_);
  EXPECT_FLOAT_EQ(camera->fy_, camera->grab_pose_estimate_->fy_);
  EXPECT_FLOAT_EQ(camera->cx_, camera->grab_pose_estimate_->cx_);
  EXPECT_FLOAT_EQ(camera->cy_, camera->grab_pose_estimate_->cy_);
  EXPECT_EQ(camera->width_, 640);
  EXPECT_EQ(camera->height_, 360);
}

TEST(DetectionHandshake, EveryTransition)
{
  CameraFixture fixture;
  const auto camera = MakeCamera(fixture);
  CameraDetectionNode::TrashInfo record;
  record.class_index = 4;

  // Requested at construction; a frame appends and finishes: done.
  camera->BeginDetectFrame();
  camera->AppendTrashInfo(record);
  camera->AppendTrashInfo(record);
  EXPECT_EQ(camera->SnapshotTrashInfos().size(), 2u);
  EXPECT_FALSE(camera->IsDetectDone());
  camera->FinishDetect();
  EXPECT_TRUE(camera->IsDetectDone());
  EXPECT_FALSE(camera->ShouldProcessFrame());

  // Collected: done cleared, the records handed over and still kept.
  const auto collected = camera->CollectTrashInfos();
  ASSERT_EQ(collected.size(), 2u);
  EXPECT_EQ(collected[0].class_index, 4);
  EXPECT_FALSE(camera->IsDetectDone());
  EXPECT_FALSE(camera->ShouldProcessFrame());
  EXPECT_EQ(camera->SnapshotTrashInfos().size(), 2u);

  // Requested again; given up before the camera finished: still requested.
  camera->RequestDetect();
  EXPECT_TRUE(camera->ShouldProcessFrame());
  camera->AbandonDetect();
  EXPECT_TRUE(camera->ShouldProcessFrame());
  EXPECT_FALSE(camera->IsDetectDone());

  // The next frame begins with an empty list and ends done.
  camera->BeginDetectFrame();
  EXPECT_TRUE(camera->SnapshotTrashInfos().empty());
  camera->FinishDetect();
  EXPECT_TRUE(camera->IsDetectDone());

  // Given up after the camera finished: collected state.
  camera->AbandonDetect();
  EXPECT_FALSE(camera->IsDetectDone());
  EXPECT_FALSE(camera->ShouldProcessFrame());
}

TEST(DetectionHandshake, RealTimeEstimationKeepsTheGateOpen)
{
  CameraFixture fixture;
  fixture.Set("is_realtime_estimate", "true");
  const auto camera = MakeCamera(fixture);
  camera->FinishDetect();
  EXPECT_TRUE(camera->ShouldProcessFrame());
}
}  // namespace
