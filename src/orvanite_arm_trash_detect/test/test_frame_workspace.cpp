// A camera keeps its frame buffers (and its estimator's) from frame to frame. Frames run through
// one camera, bigger and smaller ones in turn and each twice, must give exactly what a fresh
// camera gives for each: records, log lines and every published message.
#include "camera_detection_node/frame/frame_workspace.hpp"

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "camera_detection_node/camera_detection_node.hpp"
#include "support/camera_fixture.hpp"
#include "support/log_capture.hpp"
#include "support/rclcpp_environment.hpp"
#include "support/spinning_executor.hpp"
#include "support/synthetic_rgbd.hpp"
#include "support/tf_listening.hpp"
#include "support/topic_inbox.hpp"

namespace
{
using orvanite_test::CameraFixture;
using orvanite_test::DownwardCamera;
using orvanite_test::FloorBox;
using orvanite_test::TopicInbox;
using sensor_msgs::msg::Image;
using sensor_msgs::msg::PointCloud2;
using visualization_msgs::msg::MarkerArray;
using GrabTrashCloud = CameraDetectionNode::GrabTrashCloud;
using TrashInfo = CameraDetectionNode::TrashInfo;
using Frame = std::pair<Image, Image>;

const cv::Vec3b kRed(255, 0, 0);   // label 0, paper
const cv::Vec3b kBlue(0, 0, 255);  // label 4, bottle

// What one frame produced. Stamps that carry the wall clock are zeroed, and so are the
// figures of the timing lines.
struct FrameOutputs
{
  std::vector<TrashInfo> records;
  std::vector<std::string> log_lines;
  std::vector<Image> detected_images;
  std::vector<PointCloud2> initial_clouds;
  std::vector<PointCloud2> processed_clouds;
  std::vector<MarkerArray> obb_markers;
  std::vector<MarkerArray> pose_markers;
  std::vector<GrabTrashCloud> grab_trash_clouds;
};

template <typename Message>
Message WithoutStamp(Message message)
{
  message.header.stamp = builtin_interfaces::msg::Time();
  return message;
}

MarkerArray WithoutStamps(MarkerArray array)
{
  for (auto & marker : array.markers) {
    marker.header.stamp = builtin_interfaces::msg::Time();
  }
  return array;
}

// The camera, a peer node that watches every output, one spinning executor. The test calls the
// camera's callback itself, so each frame's outputs are known to be complete when it returns.
class CameraGraph
{
public:
  explicit CameraGraph(const CameraFixture & fixture)
  : camera_node_(std::make_shared<rclcpp::Node>("cam1_trash_detect_node"))
  , camera_(std::make_shared<CameraDetectionNode>(camera_node_, fixture.WriteCameraFile()))
  , peer_(std::make_shared<rclcpp::Node>("camera_watcher"))
  , detected_images_(peer_, "/cam1/detected_image")
  , initial_clouds_(peer_, "/orvanite_arm_trash_detect/cam1_trashes_init_cloud")
  , processed_clouds_(peer_, "/cam1/trashes_cloud")
  , obb_markers_(peer_, "/orvanite_arm_trash_detect/cam1_trash_obb_markers")
  , pose_markers_(peer_, "/orvanite_arm_trash_detect/cam1_trash_pose")
  , grab_trash_clouds_(peer_, "/orvanite_arm_trash_detect/grab_trash_cloud")
  , executor_({camera_node_, peer_})
  {
    orvanite_test::WaitUntilListening(*camera_);
  }

  // One frame through the service-mode or the streaming callback; every frame of this test has
  // trash, so each publishes its annotated image and its clouds (service mode, real-time
  // estimation) or one GrabTrashCloud (streaming), and the markers when it made records.
  FrameOutputs Run(const Frame & frame, bool service_mode)
  {
    const auto rgb = std::make_shared<const Image>(frame.first);
    const auto depth = std::make_shared<const Image>(frame.second);
    FrameOutputs outputs;
    {
      orvanite_test::LogCapture capture;
      if (service_mode) {
        camera_->RequestDetect();
        camera_->ImageCallback(rgb, depth);
      } else {
        camera_->ImageDetectCallback(rgb, depth);
      }
      const std::regex timing("cost:? ?[-+.e0-9]+ ms");
      for (const auto & line : capture.Messages()) {
        outputs.log_lines.push_back(std::regex_replace(line, timing, "cost # ms"));
      }
    }
    outputs.records = camera_->SnapshotTrashInfos();
    ++frames_;
    markers_ += service_mode && !outputs.records.empty() ? 1 : 0;
    const bool clouds = service_mode;
    const bool grab_clouds = !service_mode;
    EXPECT_TRUE(detected_images_.WaitFor(frames_));
    EXPECT_TRUE(initial_clouds_.WaitFor(clouds_ + (clouds ? 1 : 0)));
    EXPECT_TRUE(processed_clouds_.WaitFor(clouds_ + (clouds ? 1 : 0)));
    EXPECT_TRUE(obb_markers_.WaitFor(markers_));
    EXPECT_TRUE(pose_markers_.WaitFor(markers_));
    EXPECT_TRUE(grab_trash_clouds_.WaitFor(grab_clouds_ + (grab_clouds ? 1 : 0)));
    outputs.detected_images = Since(detected_images_, frames_ - 1);
    outputs.initial_clouds = Stripped(Since(initial_clouds_, clouds_));
    outputs.processed_clouds = Stripped(Since(processed_clouds_, clouds_));
    outputs.grab_trash_clouds = Since(grab_trash_clouds_, grab_clouds_);
    if (service_mode && !outputs.records.empty()) {
      outputs.obb_markers = {WithoutStamps(obb_markers_.Messages().back())};
      outputs.pose_markers = {WithoutStamps(pose_markers_.Messages().back())};
    }
    clouds_ += clouds ? 1 : 0;
    grab_clouds_ += grab_clouds ? 1 : 0;
    return outputs;
  }

private:
  template <typename Message>
  static std::vector<Message> Since(TopicInbox<Message> & inbox, std::size_t first)
  {
    const std::vector<Message> messages = inbox.Messages();
    return {messages.begin() + static_cast<std::ptrdiff_t>(first), messages.end()};
  }
  static std::vector<PointCloud2> Stripped(std::vector<PointCloud2> clouds)
  {
    std::transform(clouds.begin(), clouds.end(), clouds.begin(), WithoutStamp<PointCloud2>);
    return clouds;
  }

  rclcpp::Node::SharedPtr camera_node_;
  std::shared_ptr<CameraDetectionNode> camera_;
  rclcpp::Node::SharedPtr peer_;
  TopicInbox<Image> detected_images_;
  TopicInbox<PointCloud2> initial_clouds_;
  TopicInbox<PointCloud2> processed_clouds_;
  TopicInbox<MarkerArray> obb_markers_;
  TopicInbox<MarkerArray> pose_markers_;
  TopicInbox<GrabTrashCloud> grab_trash_clouds_;
  std::size_t frames_ = 0;
  std::size_t clouds_ = 0;
  std::size_t markers_ = 0;
  std::size_t grab_clouds_ = 0;
  orvanite_test::SpinningExecutor executor_;
};

// A frame of boxes on the floor; the boxes in `hollow` give no depth in their upper half, as a
// glass bottle standing upright does.
Frame MakeFrame(
  const DownwardCamera & view, const std::vector<FloorBox> & boxes,
  const std::vector<FloorBox> & hollow, int32_t stamp_sec)
{
  std::vector<FloorBox> all = boxes;
  all.insert(all.end(), hollow.begin(), hollow.end());
  Frame frame = orvanite_test::MakeRgbdFrame(view, all, stamp_sec);
  Image & depth = frame.second;
  for (const FloorBox & box : hollow) {
    for (int v = box.rect.y; v < box.rect.y + box.rect.height / 2; ++v) {
      const auto row = depth.data.begin() + v * depth.step;
      std::fill(row + box.rect.x * 2, row + box.rect.br().x * 2, 0);
    }
  }
  return frame;
}

// Three frames: six items of every height rule (a tall one is cut at its foot), then two
// small ones, then four with a glass bottle and an item larger than any before.
std::vector<Frame> TestFrames(const DownwardCamera & view)
{
  return {
    MakeFrame(
      view,
      {{cv::Rect(40, 40, 150, 110), kRed, 0.004},
       {cv::Rect(230, 30, 90, 150), kBlue, 0.06},
       {cv::Rect(400, 50, 140, 110), kRed, 0.02},
       {cv::Rect(60, 200, 120, 130), kBlue, 0.08},
       {cv::Rect(250, 210, 170, 120), kRed, 0.03},
       {cv::Rect(480, 200, 100, 130), kBlue, 0.045}},
      {}, 1),
    MakeFrame(
      view, {{cv::Rect(300, 150, 30, 20), kRed, 0.02}, {cv::Rect(100, 100, 40, 30), kBlue, 0.03}},
      {}, 2),
    MakeFrame(
      view,
      {{cv::Rect(20, 20, 300, 200), kRed, 0.01},
       {cv::Rect(360, 250, 60, 40), kBlue, 0.03},
       {cv::Rect(500, 60, 20, 20), kRed, 0.02}},
      {{cv::Rect(420, 100, 30, 60), kBlue, 0.02}}, 3),
  };
}

void ExpectSameOutputs(const FrameOutputs & actual, const FrameOutputs & expected)
{
  EXPECT_EQ(actual.records, expected.records);
  EXPECT_EQ(actual.log_lines, expected.log_lines);
  EXPECT_EQ(actual.detected_images, expected.detected_images);
  EXPECT_EQ(actual.initial_clouds, expected.initial_clouds);
  EXPECT_EQ(actual.processed_clouds, expected.processed_clouds);
  EXPECT_EQ(actual.obb_markers, expected.obb_markers);
  EXPECT_EQ(actual.pose_markers, expected.pose_markers);
  EXPECT_EQ(actual.grab_trash_clouds, expected.grab_trash_clouds);
}

class ReusedBuffers : public ::testing::TestWithParam<bool>
{
};

TEST_P(ReusedBuffers, EveryFrameGivesWhatAFreshCameraGives)
{
  const bool service_mode = GetParam();
  CameraFixture fixture;
  const DownwardCamera view;
  orvanite_test::UseCamera(fixture, view);
  fixture.Set("is_detect_grab_pose", service_mode ? "true" : "false");
  fixture.Set("is_realtime_estimate", "true");
  fixture.Set("is_enable_transparent", "true");
  const std::vector<Frame> frames = TestFrames(view);

  std::vector<FrameOutputs> fresh;
  for (const Frame & frame : frames) {
    CameraGraph graph(fixture);
    fresh.push_back(graph.Run(frame, service_mode));
  }
  // The frames exercise what they are meant to: records, clouds and a transparent item.
  ASSERT_FALSE(fresh[0].log_lines.empty());
  if (service_mode) {
    EXPECT_GE(fresh[0].records.size(), 4u);
    EXPECT_EQ(fresh[1].records.size(), 2u);
    EXPECT_TRUE(std::any_of(fresh[2].log_lines.begin(), fresh[2].log_lines.end(), [](auto & l) {
      return l.find("GetTransparentGrabPose**") != std::string::npos;
    }));
  } else {
    ASSERT_EQ(fresh[0].grab_trash_clouds.size(), 1u);
    EXPECT_GE(fresh[0].grab_trash_clouds[0].trash_clouds.size(), 4u);
  }

  CameraGraph reused(fixture);
  const std::size_t order[] = {0, 1, 2, 0, 1, 2, 1, 0};
  for (std::size_t run = 0; run < std::size(order); ++run) {
    SCOPED_TRACE("run " + std::to_string(run) + ", frame " + std::to_string(order[run]));
    ExpectSameOutputs(reused.Run(frames[order[run]], service_mode), fresh[order[run]]);
  }
}

INSTANTIATE_TEST_SUITE_P(
  Modes, ReusedBuffers, ::testing::Values(true, false),
  [](const ::testing::TestParamInfo<bool> & info) {
    return info.param ? "ServiceMode" : "StreamingMode";
  });
}  // namespace
