// The two detection callbacks driven through the camera's real topics and synchroniser: the
// test publishes colour and depth frames like a driver and watches what the camera publishes.
#include "camera_detection_node/camera_detection_node.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include <pcl_conversions/pcl_conversions.h>

#include "support/camera_fixture.hpp"
#include "support/log_capture.hpp"
#include "support/poll_until.hpp"
#include "support/rclcpp_environment.hpp"
#include "support/spinning_executor.hpp"
#include "support/synthetic_rgbd.hpp"
#include "support/tf_listening.hpp"
#include "support/topic_inbox.hpp"

namespace
{
using orvanite_test::CameraFixture;
using orvanite_test::LogCapture;
using sensor_msgs::msg::Image;
using GrabTrashCloud = orvanite_protocol::msg::GrabTrashCloud;

constexpr auto kWait = std::chrono::seconds(20);
constexpr int kWidth = 640;
constexpr int kHeight = 360;

struct Region
{
  cv::Rect box;
  cv::Vec3b rgb;
  uint16_t depth_mm;
};

const cv::Vec3b kRed(255, 0, 0);   // label 0, paper
const cv::Vec3b kBlue(0, 0, 255);  // label 4, bottle

// A grey frame with coloured regions, each at its depth; no depth elsewhere.
std::pair<Image, Image> MakeFrame(const std::vector<Region> & regions, int32_t stamp_sec)
{
  cv::Mat rgb(kHeight, kWidth, CV_8UC3, cv::Scalar(128, 128, 128));
  cv::Mat depth(kHeight, kWidth, CV_16UC1, cv::Scalar(0));
  for (const auto & region : regions) {
    rgb(region.box).setTo(cv::Scalar(region.rgb[0], region.rgb[1], region.rgb[2]));
    depth(region.box).setTo(cv::Scalar(region.depth_mm));
  }
  return {
    orvanite_test::ToImageMsg(rgb, "rgb8", stamp_sec),
    orvanite_test::ToImageMsg(depth, "16UC1", stamp_sec)};
}

// The camera, a driver node that publishes frames and watches the outputs, one spinning executor.
class CameraGraph
{
public:
  explicit CameraGraph(const CameraFixture & fixture)
  : camera_node_(std::make_shared<rclcpp::Node>("cam1_trash_detect_node"))
  , camera_(std::make_shared<CameraDetectionNode>(camera_node_, fixture.WriteCameraFile()))
  , driver_(std::make_shared<rclcpp::Node>("camera_driver"))
  , rgb_pub_(driver_->create_publisher<Image>("/camera/color/image_raw", 10))
  , depth_pub_(driver_->create_publisher<Image>("/camera/aligned_depth_to_color/image_raw", 10))
  , detected_images(driver_, "/cam1/detected_image")
  , grab_trash_clouds(driver_, "/orvanite_arm_trash_detect/grab_trash_cloud")
  {
    orvanite_test::WaitUntilListening(*camera_);
  }

  void Publish(const std::pair<Image, Image> & frame)
  {
    rgb_pub_->publish(frame.first);
    depth_pub_->publish(frame.second);
  }

  CameraDetectionNode & camera() { return *camera_; }

private:
  rclcpp::Node::SharedPtr camera_node_;
  std::shared_ptr<CameraDetectionNode> camera_;
  rclcpp::Node::SharedPtr driver_;
  rclcpp::Publisher<Image>::SharedPtr rgb_pub_;
  rclcpp::Publisher<Image>::SharedPtr depth_pub_;

public:
  orvanite_test::TopicInbox<Image> detected_images;
  orvanite_test::TopicInbox<GrabTrashCloud> grab_trash_clouds;

private:
  orvanite_test::SpinningExecutor executor_{camera_node_, driver_};
};

// A condition that no message announces, for at most kWait.
template <typename Predicate>
bool WaitUntil(Predicate predicate)
{
  return orvanite_test::PollUntil(predicate, kWait);
}

std::size_t CountOf(const std::vector<std::string> & messages, const std::string & line)
{
  return static_cast<std::size_t>(std::count(messages.begin(), messages.end(), line));
}

// A fixture camera in streaming mode.
class StreamingFixture : public CameraFixture
{
public:
  StreamingFixture() { Set("is_detect_grab_pose", "false"); }
};

TEST(StreamingMode, AcceptedTrashesCarryTheirRawCloudsInTheCameraFrame)
{
  StreamingFixture fixture;
  CameraGraph graph(fixture);
  LogCapture capture;
  // A 40 x 30 paper and a 40 x 30 bottle 1 m away; both masks lose one pixel all round.
  graph.Publish(MakeFrame(
    {{cv::Rect(100, 100, 40, 30), kRed, 1000}, {cv::Rect(300, 150, 40, 30), kBlue, 1000}}, 1));
  ASSERT_TRUE(graph.grab_trash_clouds.WaitFor(1));
  ASSERT_TRUE(graph.detected_images.WaitFor(1));
  const GrabTrashCloud message = graph.grab_trash_clouds.Messages()[0];
  EXPECT_EQ(message.cam_id, 1);
  EXPECT_EQ(message.frame_id, "camera_color_optical_frame");
  ASSERT_EQ(message.trash_infos.size(), 2u);
  ASSERT_EQ(message.trash_clouds.size(), 2u);
  EXPECT_EQ(message.trash_infos[0].class_index, 0);
  EXPECT_EQ(message.trash_infos[1].class_index, 4);
  EXPECT_EQ(message.trash_infos[0].grab_pose.orientation.w, 1.0);
  EXPECT_FALSE(message.trash_infos[0].is_transparent);

  pcl::PointCloud<pcl::PointXYZ> cloud;
  pcl::fromROSMsg(message.trash_clouds[0], cloud);
  ASSERT_EQ(cloud.size(), 38u * 28u);
  // Fallback intrinsics of the grasp-pose file: fx = fy = 600, cx = 320, cy = 180.
  EXPECT_NEAR(cloud[0].x, (101.0 - 320.0) / 600.0, 1e-6);
  EXPECT_NEAR(cloud[0].y, (101.0 - 180.0) / 600.0, 1e-6);
  EXPECT_NEAR(cloud[0].z, 1.0, 1e-6);
  // The largest PCA extent of a 38 x 28 pixel patch at 1 m is about 37 / 600 m.
  EXPECT_NEAR(message.trash_infos[0].obb_size[0], 37.0 / 600.0, 0.005);
  EXPECT_EQ(message.trash_clouds[0].header.frame_id, "");

  const Image annotated = graph.detected_images.Messages()[0];
  EXPECT_EQ(annotated.encoding, "rgb8");
  EXPECT_EQ(annotated.width, static_cast<uint32_t>(kWidth));
  EXPECT_EQ(annotated.header.stamp.sec, 0);
  const auto messages = capture.Messages();
  EXPECT_EQ(CountOf(messages, "[INFO] cam_1: 垃圾序号[1]在抓取尺寸范围内，需要抓取"), 1u);
}

TEST(StreamingMode, RejectedTrashesGiveEmptyListsAndFramesWithoutTrashGiveNoMessage)
{
  StreamingFixture fixture;
  fixture.Set("min_trash_cloud_size_treshold", "2000");
  CameraGraph graph(fixture);
  LogCapture capture;
  graph.Publish(MakeFrame({}, 1));  // nothing detected
  graph.Publish(MakeFrame({{cv::Rect(100, 100, 40, 30), kRed, 1000}}, 2));
  ASSERT_TRUE(graph.grab_trash_clouds.WaitFor(1));
  ASSERT_TRUE(graph.detected_images.WaitFor(2));
  const auto clouds = graph.grab_trash_clouds.Messages();
  ASSERT_EQ(clouds.size(), 1u);  // the empty frame, processed first, sent none
  EXPECT_TRUE(clouds[0].trash_infos.empty());
  EXPECT_TRUE(clouds[0].trash_clouds.empty());
  const auto messages = capture.Messages();
  EXPECT_EQ(CountOf(messages, "[DEBUG] cam_1: failed to detect trash"), 1u);
  EXPECT_EQ(CountOf(messages, "[WARN] cam_1: 垃圾序号[0]原始点云数量太少, CONTINUE"), 1u);
}

TEST(StreamingMode, LogIndicesCountEveryTrashSoAcceptedOnesMayHaveGaps)
{
  StreamingFixture fixture;
  CameraGraph graph(fixture);
  LogCapture capture;
  // The small paper (6 x 6 = 36 points) is below the 50-point minimum.
  graph.Publish(MakeFrame(
    {{cv::Rect(100, 100, 40, 30), kRed, 1000},
     {cv::Rect(200, 100, 6, 6), kRed, 1000},
     {cv::Rect(300, 150, 40, 30), kBlue, 1000}},
    1));
  ASSERT_TRUE(graph.grab_trash_clouds.WaitFor(1));
  const auto message = graph.grab_trash_clouds.Messages()[0];
  ASSERT_EQ(message.trash_infos.size(), 2u);
  ASSERT_EQ(message.trash_clouds.size(), 2u);
  const auto messages = capture.Messages();
  std::size_t rejected = 3;
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string index = "[" + std::to_string(i) + "]";
    if (CountOf(messages, "[WARN] cam_1: 垃圾序号" + index + "原始点云数量太少, CONTINUE") == 1) {
      rejected = i;
    } else {
      EXPECT_EQ(
        CountOf(messages, "[INFO] cam_1: 垃圾序号" + index + "在抓取尺寸范围内，需要抓取"), 1u);
    }
  }
  EXPECT_LT(rejected, 3u);
  for (std::size_t k = 0; k < 2; ++k) {
    pcl::PointCloud<pcl::PointXYZ> cloud;
    pcl::fromROSMsg(message.trash_clouds[k], cloud);
    EXPECT_EQ(cloud.size(), 38u * 28u);  // cloud k belongs to record k, the small one is gone
  }
}

// A colour image whose data does not fit its size is dropped before cv_bridge sees it; one that
// fits but cannot become rgb8 is dropped by the conversion.
TEST(StreamingMode, AColourImageThatCannotBeConvertedIsDropped)
{
  struct Case
  {
    void (*spoil)(Image & rgb);
    std::string error;
  };
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
  const Case cases[] = {
    {[](Image & rgb) { rgb.data.resize(10); }, "[ERROR] cam_1: colour image dropped, rgb8 image " +
                                                 size + " with step " + std::to_string(kWidth * 3) +
                                                 " does not fit its 10 bytes"},
    // Would make the conversion walk 2^31 empty rows.
    {[](Image & rgb) {
       rgb.width = 0;
       rgb.height = 2147483647u;
       rgb.step = 0;
       rgb.data.clear();
     },
     "[ERROR] cam_1: colour image dropped, image size 0x2147483647 is outside 1 to 32768 pixels"},
    {[](Image & rgb) {
       rgb.encoding = "32FC1";
       rgb.step = kWidth * 4;
       rgb.data.resize(static_cast<std::size_t>(kWidth) * kHeight * 4);
     },
     "[ERROR] cam_1: colour image dropped, it cannot be converted to rgb8:"},
  };
  for (const auto & c : cases) {
    StreamingFixture fixture;
    CameraGraph graph(fixture);
    LogCapture capture;
    auto bad = MakeFrame({{cv::Rect(100, 100, 40, 30), kRed, 1000}}, 1);
    c.spoil(bad.first);
    graph.Publish(bad);
    graph.Publish(MakeFrame({{cv::Rect(100, 100, 40, 30), kRed, 1000}}, 2));
    ASSERT_TRUE(graph.grab_trash_clouds.WaitFor(1)) << c.error;
    EXPECT_EQ(graph.detected_images.Messages().size(), 1u) << c.error;
    const auto messages = capture.Messages();
    EXPECT_EQ(
      std::count_if(
        messages.begin(), messages.end(),
        [&c](const std::string & m) { return m.rfind(c.error, 0) == 0; }),
      1)
      << c.error;
  }
}

TEST(ServiceMode, AClosedGateDoesNothing)
{
  CameraFixture fixture;
  CameraGraph graph(fixture);
  CameraDetectionNode & camera = graph.camera();
  camera.FinishDetect();  // the start-up request is answered and collected: gate closed
  camera.CollectTrashInfos();
  const auto frame = MakeFrame({{cv::Rect(100, 100, 40, 30), kRed, 1000}}, 1);
  const auto rgb = std::make_shared<const Image>(frame.first);
  const auto depth = std::make_shared<const Image>(frame.second);
  LogCapture capture;
  camera.ImageCallback(rgb, depth);
  EXPECT_TRUE(capture.Messages().empty());
  EXPECT_FALSE(camera.IsDetectDone());
  // An annotated image of the closed-gate frame would arrive before this frame's.
  camera.RequestDetect();
  camera.BeginDetectFrame();
  camera.ImageCallback(rgb, depth);
  ASSERT_TRUE(graph.detected_images.WaitFor(1));
  EXPECT_EQ(graph.detected_images.Messages().size(), 1u);
  EXPECT_TRUE(camera.IsDetectDone());
}

TEST(ServiceMode, AFrameWithoutTrashFinishesWithAnEmptyList)
{
  CameraFixture fixture;
  fixture.Set("is_debug", "true");
  CameraGraph graph(fixture);
  LogCapture capture;
  graph.camera().RequestDetect();
  graph.Publish(MakeFrame({}, 1));
  ASSERT_TRUE(graph.detected_images.WaitFor(1));
  ASSERT_TRUE(WaitUntil([&graph] { return graph.camera().IsDetectDone(); }));
  EXPECT_TRUE(graph.camera().CollectTrashInfos().empty());
  const auto messages = capture.Messages();
  EXPECT_EQ(CountOf(messages, "[INFO] cam_1: initial image succeed to save"), 1u);
  EXPECT_EQ(CountOf(messages, "[INFO] cam_1: detected image succeed to save"), 1u);
  EXPECT_EQ(CountOf(messages, "[INFO] cam_1: failed to detect trash, image saved"), 1u);

  // The debug files carry the local time stamp pattern.
  const std::regex stamped(
    ".*\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2}(\\[initial\\]|\\[detected\\])?\\.jpg");
  std::size_t files = 0;
  for (const auto & entry :
       std::filesystem::recursive_directory_iterator(fixture.overlay().Prefix() / "data")) {
    if (entry.is_regular_file()) {
      ++files;
      EXPECT_TRUE(std::regex_match(entry.path().filename().string(), stamped)) << entry.path();
    }
  }
  EXPECT_EQ(files, 3u);
}

TEST(ServiceMode, AColourImageThatCannotBeConvertedAnswersAtOnceWithNoRecords)
{
  CameraFixture fixture;
  CameraGraph graph(fixture);
  CameraDetectionNode::TrashInfo stale;
  graph.camera().AppendTrashInfo(stale);
  auto bad = MakeFrame({}, 1);
  bad.first.encoding = "32FC1";  // a non-colour encoding cannot become rgb8
  bad.first.step = kWidth * 4;
  bad.first.data.resize(static_cast<std::size_t>(kWidth) * kHeight * 4);
  graph.Publish(bad);
  ASSERT_TRUE(WaitUntil([&graph] { return graph.camera().IsDetectDone(); }));
  EXPECT_TRUE(graph.camera().CollectTrashInfos().empty());
  EXPECT_TRUE(graph.detected_images.Messages().empty());
}
}  // namespace
