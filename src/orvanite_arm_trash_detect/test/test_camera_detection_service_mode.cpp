// Service-mode frames in which the estimator finds grasp poses: a camera looking straight down
// on boxes within the arm's reach, driven through its real topics, with what it publishes and
// writes, and the map pose of aim mode.
#include "camera_detection_node/camera_detection_node.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <Eigen/Geometry>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>
#include <spdlog/sinks/base_sink.h>

#include <pcl_conversions/pcl_conversions.h>
#include <tf2_msgs/msg/tf_message.hpp>
#include <tf2_ros/qos.hpp>
#include <tf2_ros/transform_broadcaster.h>

#include "support/camera_fixture.hpp"
#include "support/log_capture.hpp"
#include "support/rclcpp_environment.hpp"
#include "support/spinning_executor.hpp"
#include "support/synthetic_rgbd.hpp"
#include "support/tf_listening.hpp"
#include "support/topic_inbox.hpp"

namespace
{
using geometry_msgs::msg::TransformStamped;
using orvanite_test::CameraFixture;
using orvanite_test::DownwardCamera;
using orvanite_test::FloorBox;
using orvanite_test::LogCapture;
using orvanite_test::TopicInbox;
using sensor_msgs::msg::Image;
using sensor_msgs::msg::PointCloud2;
using visualization_msgs::msg::Marker;
using visualization_msgs::msg::MarkerArray;
using TrashInfo = CameraDetectionNode::TrashInfo;
using Cloud = pcl::PointCloud<pcl::PointXYZ>;

const cv::Vec3b kRed(255, 0, 0);   // label 0, paper
const cv::Vec3b kBlue(0, 0, 255);  // label 4, bottle

// A paper 2 cm high and a bottle 3 cm high lying in front of the arm base; the model finds the
// red one first.
const FloorBox kPaper{cv::Rect(240, 150, 41, 31), kRed, 0.02};
const FloorBox kBottle{cv::Rect(360, 190, 41, 31), kBlue, 0.03};

// The erosion takes one pixel all round, so the cloud's centre is the box's centre pixel.
Eigen::Vector3d TopCentre(const DownwardCamera & camera, const FloorBox & box)
{
  return camera.ToArmBase(
    box.rect.x + (box.rect.width - 1) / 2.0, box.rect.y + (box.rect.height - 1) / 2.0,
    camera.DepthMm(camera.floor_z + box.height));
}

std::size_t TopPoints(const FloorBox & box)
{
  return static_cast<std::size_t>((box.rect.width - 2) * (box.rect.height - 2));
}

// Metres between two neighbouring pixels on the box's top.
double PixelSize(const DownwardCamera & camera, const FloorBox & box)
{
  return camera.DepthMm(camera.floor_z + box.height) / 1000.0 / camera.fx;
}

Eigen::Vector3d ToEigen(const geometry_msgs::msg::Point & p) { return {p.x, p.y, p.z}; }
Eigen::Vector3d ToEigen(const geometry_msgs::msg::Vector3 & v) { return {v.x, v.y, v.z}; }
Eigen::Quaterniond ToEigen(const geometry_msgs::msg::Quaternion & q)
{
  return {q.w, q.x, q.y, q.z};
}

void ExpectNear(const Eigen::Vector3d & actual, const Eigen::Vector3d & expected, double tolerance)
{
  EXPECT_NEAR(actual.x(), expected.x(), tolerance);
  EXPECT_NEAR(actual.y(), expected.y(), tolerance);
  EXPECT_NEAR(actual.z(), expected.z(), tolerance);
}

std::size_t CountStartingWith(const std::vector<std::string> & messages, const std::string & text)
{
  std::size_t count = 0;
  for (const auto & message : messages) {
    count += message.rfind(text, 0) == 0 ? 1 : 0;
  }
  return count;
}

std::size_t CountContaining(const std::vector<std::string> & messages, const std::string & text)
{
  std::size_t count = 0;
  for (const auto & message : messages) {
    count += message.find(text) != std::string::npos ? 1 : 0;
  }
  return count;
}

// Vertex count and first vertex of an ASCII PLY file.
std::pair<std::size_t, Eigen::Vector3d> PlyCountAndFirstPoint(const std::string & path)
{
  std::ifstream file(path);
  std::size_t count = 0;
  std::string line;
  while (std::getline(file, line) && line != "end_header") {
    std::sscanf(line.c_str(), "element vertex %zu", &count);
  }
  Eigen::Vector3d first = Eigen::Vector3d::Constant(std::nan(""));
  file >> first.x() >> first.y() >> first.z();
  return {count, first};
}

// The camera, a peer node that publishes frames and TF like a driver and watches every output of
// the service mode, and one spinning executor.
class ServiceGraph
{
public:
  explicit ServiceGraph(const CameraFixture & fixture)
  : camera_node_(std::make_shared<rclcpp::Node>("cam1_trash_detect_node"))
  , camera_(std::make_shared<CameraDetectionNode>(camera_node_, fixture.WriteCameraFile()))
  , peer_(std::make_shared<rclcpp::Node>("camera_driver"))
  , rgb_pub_(peer_->create_publisher<Image>("/camera/color/image_raw", 10))
  , depth_pub_(peer_->create_publisher<Image>("/camera/aligned_depth_to_color/image_raw", 10))
  , tf_broadcaster_(peer_)
  , processed_clouds(peer_, "/cam1/trashes_cloud")
  , initial_clouds(peer_, "/orvanite_arm_trash_detect/cam1_trashes_init_cloud")
  , obb_markers(peer_, "/orvanite_arm_trash_detect/cam1_trash_obb_markers")
  , pose_markers(peer_, "/orvanite_arm_trash_detect/cam1_trash_pose")
  , static_frames(peer_, "/tf_static", tf2_ros::StaticListenerQoS())
  {
    orvanite_test::WaitUntilListening(*camera_);
  }

  void Publish(const std::pair<Image, Image> & frame)
  {
    rgb_pub_->publish(frame.first);
    depth_pub_->publish(frame.second);
  }

  // Sends map -> arm_base_link on "/tf" and waits until the camera's buffer holds it.
  bool SendMapTransform(const TransformStamped & transform)
  {
    tf_broadcaster_.sendTransform(transform);
    return camera_->tf_buffer_->canTransform(
      "map", "arm_base_link", tf2::TimePointZero, tf2::durationFromSec(20.0));
  }

  CameraDetectionNode & camera() { return *camera_; }

private:
  rclcpp::Node::SharedPtr camera_node_;
  std::shared_ptr<CameraDetectionNode> camera_;
  rclcpp::Node::SharedPtr peer_;
  rclcpp::Publisher<Image>::SharedPtr rgb_pub_;
  rclcpp::Publisher<Image>::SharedPtr depth_pub_;
  tf2_ros::TransformBroadcaster tf_broadcaster_;

public:
  TopicInbox<PointCloud2> processed_clouds;
  TopicInbox<PointCloud2> initial_clouds;
  TopicInbox<MarkerArray> obb_markers;
  TopicInbox<MarkerArray> pose_markers;
  TopicInbox<tf2_msgs::msg::TFMessage> static_frames;

private:
  orvanite_test::SpinningExecutor executor_{camera_node_, peer_};
};

// A camera 0.476 m above the floor over the point (-0.5, 0) of the arm base, with its
// extrinsic and intrinsics in the grasp-pose file.
class DownwardFixture : public CameraFixture
{
public:
  DownwardFixture() { orvanite_test::UseCamera(*this, view); }
  const DownwardCamera view;
};

// Every record's grasp pose lies on its box's top centre, the tool pointing down.
void ExpectGraspRecords(const std::vector<TrashInfo> & records, const DownwardCamera & view)
{
  ASSERT_EQ(records.size(), 2u);
  const FloorBox * boxes[] = {&kPaper, &kBottle};
  const uint8_t labels[] = {0, 4};
  for (std::size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE("record " + std::to_string(k));
    const TrashInfo & record = records[k];
    EXPECT_EQ(record.class_index, labels[k]);
    EXPECT_EQ(record.reserved, 0);
    EXPECT_EQ(record.main_axis_type, 1);  // lying flat
    EXPECT_FALSE(record.is_transparent);
    const Eigen::Vector3d top = TopCentre(view, *boxes[k]);
    ExpectNear(ToEigen(record.grab_pose.position), top, 0.002);
    EXPECT_NEAR(record.grab_pose.position.z, top.z(), 1e-5);  // flat top: its lowest point
    const Eigen::Quaterniond grab = ToEigen(record.grab_pose.orientation);
    ExpectNear(grab * Eigen::Vector3d::UnitZ(), -Eigen::Vector3d::UnitZ(), 1e-6);
    EXPECT_NEAR(std::abs((grab * Eigen::Vector3d::UnitX()).x()), 1.0, 1e-3);  // along the long side
    // Extents along the principal axes: the long side, the short side, the flat top. The eroded
    // top spans (size - 3) pixels; the outlier filter trims up to a pixel off its rim.
    const double pixel = PixelSize(view, *boxes[k]);
    EXPECT_NEAR(record.obb_size[0], (boxes[k]->rect.width - 4) * pixel, 1.5 * pixel);
    EXPECT_NEAR(record.obb_size[1], (boxes[k]->rect.height - 4) * pixel, 1.5 * pixel);
    EXPECT_LT(record.obb_size[2], 0.001);
  }
}

TEST(ServiceMode, AcceptedTrashesGiveRecordsMergedCloudsFramesAndMarkers)
{
  DownwardFixture fixture;
  fixture.Set("is_realtime_estimate", "true");
  ServiceGraph graph(fixture);
  LogCapture capture;
  graph.Publish(orvanite_test::MakeRgbdFrame(fixture.view, {kPaper, kBottle}, 1));
  ASSERT_TRUE(graph.pose_markers.WaitFor(1));  // the frame's last publication
  const auto records = graph.camera().SnapshotTrashInfos();
  ExpectGraspRecords(records, fixture.view);
  ASSERT_EQ(records.size(), 2u);
  for (const auto & record : records) {
    EXPECT_EQ(record.map_pose, geometry_msgs::msg::Pose());  // not in aim mode
  }

  // Merged clouds in the arm-base frame: the initial one holds every raw point, transformed.
  ASSERT_TRUE(graph.initial_clouds.WaitFor(1));
  ASSERT_TRUE(graph.processed_clouds.WaitFor(1));
  const PointCloud2 initial_msg = graph.initial_clouds.Messages().front();
  const PointCloud2 processed_msg = graph.processed_clouds.Messages().front();
  EXPECT_EQ(initial_msg.header.frame_id, "arm_base_link");
  EXPECT_EQ(processed_msg.header.frame_id, "arm_base_link");
  Cloud initial;
  Cloud processed;
  pcl::fromROSMsg(initial_msg, initial);
  pcl::fromROSMsg(processed_msg, processed);
  ASSERT_EQ(initial.size(), TopPoints(kPaper) + TopPoints(kBottle));
  const FloorBox * boxes[] = {&kPaper, &kBottle};
  std::size_t first = 0;
  for (const FloorBox * box : boxes) {
    // The first trash's points come first; their mean is the top's centre.
    Eigen::Vector3d sum = Eigen::Vector3d::Zero();
    for (std::size_t i = first; i < first + TopPoints(*box); ++i) {
      sum += initial[i].getVector3fMap().cast<double>();
    }
    ExpectNear(sum / static_cast<double>(TopPoints(*box)), TopCentre(fixture.view, *box), 1e-5);
    first += TopPoints(*box);
  }
  EXPECT_GT(processed.size(), 0u);
  EXPECT_LT(processed.size(), initial.size());  // thinned by the voxel grid
  for (const auto & point : processed) {
    const bool on_a_top = std::abs(point.z - TopCentre(fixture.view, kPaper).z()) < 1e-4 ||
                          std::abs(point.z - TopCentre(fixture.view, kBottle).z()) < 1e-4;
    EXPECT_TRUE(on_a_top) << point.z;
  }

  // One static frame per record, counted from 1, at the grasp pose.
  const std::string children[] = {"cam_1_trash_pose_1", "cam_1_trash_pose_2"};
  const auto find_frame = [](const tf2_msgs::msg::TFMessage & message, const std::string & child) {
    for (const auto & transform : message.transforms) {
      if (transform.child_frame_id == child) {
        return &transform;
      }
    }
    return static_cast<const TransformStamped *>(nullptr);
  };
  ASSERT_TRUE(graph.static_frames.WaitUntil([&](const auto & messages) {
    return !messages.empty() && find_frame(messages.back(), children[0]) &&
           find_frame(messages.back(), children[1]);
  }));
  const auto latched = graph.static_frames.Messages().back();
  for (std::size_t k = 0; k < 2; ++k) {
    const TransformStamped * frame = find_frame(latched, children[k]);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->header.frame_id, "arm_base_link");
    EXPECT_EQ(ToEigen(frame->transform.translation), ToEigen(records[k].grab_pose.position));
    EXPECT_EQ(frame->transform.rotation, records[k].grab_pose.orientation);
  }

  // Box markers: green, translucent, at the box pose in the arm-base frame.
  ASSERT_TRUE(graph.obb_markers.WaitFor(1));
  const auto obb = graph.obb_markers.Messages().front().markers;
  ASSERT_EQ(obb.size(), 2u);
  for (std::size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE("box marker " + std::to_string(k));
    const Marker & marker = obb[k];
    EXPECT_EQ(marker.header.frame_id, "arm_base_link");
    EXPECT_EQ(marker.ns, "cam_1_trash_obb");
    EXPECT_EQ(marker.id, static_cast<int32_t>(k));
    EXPECT_EQ(marker.type, Marker::CUBE);
    EXPECT_EQ(marker.action, Marker::ADD);
    EXPECT_EQ(marker.lifetime.sec, 10);
    EXPECT_EQ(marker.lifetime.nanosec, 0u);
    EXPECT_EQ(marker.color.r, 0.0f);
    EXPECT_EQ(marker.color.g, 1.0f);
    EXPECT_EQ(marker.color.b, 0.0f);
    EXPECT_EQ(marker.color.a, 0.36f);
    EXPECT_EQ(marker.scale.x, records[k].obb_size[0]);
    EXPECT_EQ(marker.scale.y, records[k].obb_size[1]);
    EXPECT_EQ(marker.scale.z, records[k].obb_size[2]);
    ExpectNear(ToEigen(marker.pose.position), TopCentre(fixture.view, *boxes[k]), 0.002);
    // The cube's axes are the box's: its x (scaled by the largest extent) along the long side.
    const Eigen::Quaterniond box = ToEigen(marker.pose.orientation);
    EXPECT_NEAR(box.norm(), 1.0, 1e-9);
    EXPECT_NEAR(std::abs((box * Eigen::Vector3d::UnitX()).x()), 1.0, 1e-3);
    EXPECT_NEAR(std::abs((box * Eigen::Vector3d::UnitZ()).z()), 1.0, 1e-3);
  }

  // Pose markers: per record a red x arrow at the grasp pose, then a blue one along its z axis.
  const auto arrows = graph.pose_markers.Messages().front().markers;
  ASSERT_EQ(arrows.size(), 4u);
  for (std::size_t m = 0; m < 4; ++m) {
    SCOPED_TRACE("pose marker " + std::to_string(m));
    const Marker & marker = arrows[m];
    const bool is_z = m % 2 == 1;
    const auto & grab = records[m / 2].grab_pose;
    EXPECT_EQ(marker.header.frame_id, "arm_base_link");
    EXPECT_EQ(marker.ns, is_z ? "trash_pose_z" : "trash_pose_x");
    EXPECT_EQ(marker.id, static_cast<int32_t>(m / 2));
    EXPECT_EQ(marker.type, Marker::ARROW);
    EXPECT_EQ(marker.action, Marker::ADD);
    EXPECT_EQ(marker.lifetime.sec, 10);
    EXPECT_EQ(marker.lifetime.nanosec, 0u);
    EXPECT_EQ(marker.scale.x, 0.1);
    EXPECT_EQ(marker.scale.y, 0.01);
    EXPECT_EQ(marker.scale.z, 0.01);
    EXPECT_EQ(marker.color.r, is_z ? 0.0f : 1.0f);
    EXPECT_EQ(marker.color.g, 0.0f);
    EXPECT_EQ(marker.color.b, is_z ? 1.0f : 0.0f);
    EXPECT_EQ(marker.color.a, 0.8f);
    EXPECT_EQ(marker.pose.position, grab.position);
    const Eigen::Quaterniond q = ToEigen(marker.pose.orientation);
    EXPECT_NEAR(q.norm(), 1.0, 1e-12);
    // An arrow points along its x axis: the grasp's x axis, or the grasp's z axis (down).
    const Eigen::Vector3d axis = is_z ? Eigen::Vector3d::UnitZ() : Eigen::Vector3d::UnitX();
    ExpectNear(q * Eigen::Vector3d::UnitX(), ToEigen(grab.orientation) * axis, 1e-9);
  }
  EXPECT_EQ(
    CountStartingWith(capture.Messages(), "[INFO] cam_1: grab pose estimate flag_estimate = 1"),
    2u);
  // Files only in debug mode.
  const auto folder =
    std::filesystem::path(graph.camera().grab_pose_estimate_->file_prefix_).parent_path();
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(ServiceMode, RejectedTrashesStillGiveMergedCloudsButNoFramesOrMarkers)
{
  DownwardFixture fixture;
  fixture.Set("is_realtime_estimate", "true");
  // Papers fail the size gate, bottles pass it.
  fixture.overlay().WriteConfig(
    "class_size_range.yaml",
    "paper:\n  min: [0.0, 0.0, 0.0]\n  max: [0.01, 0.01, 0.01]\n"
    "bottle:\n  min: [0.0, 0.0, 0.0]\n  max: [1.0, 1.0, 1.0]\n");
  ServiceGraph graph(fixture);
  LogCapture capture;
  graph.Publish(orvanite_test::MakeRgbdFrame(fixture.view, {kPaper}, 1));
  graph.Publish(orvanite_test::MakeRgbdFrame(fixture.view, {kBottle}, 2));
  ASSERT_TRUE(graph.initial_clouds.WaitFor(2));
  ASSERT_TRUE(graph.pose_markers.WaitFor(1));
  ASSERT_TRUE(graph.obb_markers.WaitFor(1));
  ASSERT_TRUE(graph.static_frames.WaitFor(1));
  // Topic by topic in order: the paper's frame sent its clouds and nothing else.
  Cloud paper_cloud;
  pcl::fromROSMsg(graph.initial_clouds.Messages()[0], paper_cloud);
  EXPECT_EQ(paper_cloud.size(), TopPoints(kPaper));
  ASSERT_TRUE(graph.processed_clouds.WaitFor(2));
  EXPECT_GT(graph.processed_clouds.Messages()[0].width, 0u);
  EXPECT_EQ(graph.obb_markers.Messages()[0].markers.size(), 1u);
  EXPECT_EQ(graph.pose_markers.Messages()[0].markers.size(), 2u);
  const auto frames = graph.static_frames.Messages()[0].transforms;
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].child_frame_id, "cam_1_trash_pose_1");
  ExpectNear(ToEigen(frames[0].transform.translation), TopCentre(fixture.view, kBottle), 0.002);
  EXPECT_EQ(CountContaining(capture.Messages(), "cam_1: 垃圾序号[0]不在抓取尺寸范围内，忽略"), 1u);
}

TEST(ServiceMode, ATransparentTrashGetsTheTransparentGraspButAnOpaqueRecord)
{
  DownwardFixture fixture;
  fixture.Set("is_enable_transparent", "true");
  fixture.Set("is_realtime_estimate", "true");
  ServiceGraph graph(fixture);
  LogCapture capture;
  // A standing bottle twice as high as wide in the image whose upper half gives no depth.
  const FloorBox bottle{cv::Rect(300, 120, 30, 60), kBlue, 0.02};
  auto frame = orvanite_test::MakeRgbdFrame(fixture.view, {bottle}, 1);
  for (int v = bottle.rect.y; v < bottle.rect.y + bottle.rect.height / 2; ++v) {
    const auto row = frame.second.data.begin() + v * frame.second.step;
    std::fill(row + bottle.rect.x * 2, row + bottle.rect.br().x * 2, 0);
  }
  graph.Publish(frame);
  ASSERT_TRUE(graph.pose_markers.WaitFor(1));
  const auto records = graph.camera().SnapshotTrashInfos();
  ASSERT_EQ(records.size(), 1u);
  const TrashInfo & record = records[0];
  EXPECT_EQ(CountContaining(capture.Messages(), "GetTransparentGrabPose**"), 1u);
  EXPECT_EQ(CountContaining(capture.Messages(), "GetInitialGrabPose**"), 0u);
  EXPECT_FALSE(record.is_transparent);
  EXPECT_EQ(record.main_axis_type, 1);  // the estimator's start value: no opaque run yet
  EXPECT_EQ(record.obb_pose, geometry_msgs::msg::Pose());
  // The seen width w gives the box (3.6 w, w, w) and a grasp 1.8 w above the top.
  const double width = record.obb_size[1];
  EXPECT_NEAR(width, (bottle.rect.width - 3) * PixelSize(fixture.view, bottle), 0.002);
  EXPECT_NEAR(record.obb_size[0], 3.6 * width, 1e-6);
  EXPECT_EQ(record.obb_size[2], width);
  EXPECT_NEAR(record.grab_pose.position.z, TopCentre(fixture.view, bottle).z() + 1.8 * width, 1e-4);
  const Eigen::Quaterniond grab = ToEigen(record.grab_pose.orientation);
  EXPECT_NEAR((grab * Eigen::Vector3d::UnitZ()).z(), 0.0, 1e-6);  // a horizontal approach
}

TEST(ServiceMode, ARawCloudOfExactlyThePointMinimumIsProcessed)
{
  // A 6 x 6 paper is too small to be eroded: 36 raw points.
  const FloorBox small_paper{cv::Rect(200, 100, 6, 6), kRed, 0.02};
  const struct
  {
    const char * minimum;
    bool processed;
  } cases[] = {{"36", true}, {"37", false}};
  for (const auto & c : cases) {
    SCOPED_TRACE(std::string("minimum ") + c.minimum);
    DownwardFixture fixture;
    fixture.Set("min_trash_cloud_size_treshold", c.minimum);
    ServiceGraph graph(fixture);
    LogCapture capture;
    const auto frame = orvanite_test::MakeRgbdFrame(fixture.view, {small_paper}, 1);
    graph.camera().ImageCallback(
      std::make_shared<const Image>(frame.first), std::make_shared<const Image>(frame.second));
    const auto messages = capture.Messages();
    EXPECT_EQ(CountContaining(messages, "cam_1: 垃圾序号[0]原始点云数量： 36"), 1u);
    EXPECT_EQ(
      CountContaining(messages, "cam_1: 垃圾序号[0]原始点云数量少于" + std::string(c.minimum)),
      c.processed ? 0u : 1u);
    EXPECT_EQ(CountContaining(messages, "GetInitialGrabPose**"), c.processed ? 1u : 0u);
    EXPECT_TRUE(graph.camera().IsDetectDone());
  }
}

TEST(ServiceMode, DebugFilesCarryTheStampAndTheTrashPosition)
{
  DownwardFixture fixture;
  fixture.Set("is_debug", "true");
  ServiceGraph graph(fixture);
  LogCapture capture;
  // Trash 0, a 6 x 6 paper, has too few points for a cloud; trash 1 is the bottle.
  const FloorBox small_paper{cv::Rect(200, 100, 6, 6), kRed, 0.02};
  graph.Publish(orvanite_test::MakeRgbdFrame(fixture.view, {small_paper, kBottle}, 1));
  ASSERT_TRUE(graph.pose_markers.WaitFor(1));  // published after every file is written
  EXPECT_EQ(graph.camera().SnapshotTrashInfos().size(), 1u);
  EXPECT_EQ(
    CountStartingWith(
      capture.Messages(), "[WARN] cam_1: 垃圾序号[0]原始点云数量少于50，请重新检测！"),
    1u);

  const std::string prefix = graph.camera().grab_pose_estimate_->file_prefix_;
  const std::regex stamp_and_suffix("\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2}(.*)");
  std::multiset<std::string> suffixes;
  std::map<std::string, std::string> paths;
  const auto folder = std::filesystem::path(prefix).parent_path();
  for (const auto & entry : std::filesystem::directory_iterator(folder)) {
    const std::string path = entry.path().string();
    ASSERT_EQ(path.rfind(prefix, 0), 0u) << path;
    std::smatch match;
    const std::string rest = path.substr(prefix.size());
    ASSERT_TRUE(std::regex_match(rest, match, stamp_and_suffix)) << path;
    suffixes.insert(match[1]);
    paths[match[1]] = path;
  }
  const std::multiset<std::string> expected = {
    "[initial].jpg",         "[detected].jpg",         "[0][mask][initial].jpg",
    "[0][mask][eroded].jpg", "[1][mask][initial].jpg", "[1][mask][eroded].jpg",
    "[1][initial].ply",      "[1][transformed].ply",   "[1][processed].ply"};
  EXPECT_EQ(suffixes, expected);

  // The raw cloud in the camera frame, then the same points in the arm-base frame.
  const auto [raw_count, raw_first] = PlyCountAndFirstPoint(paths["[1][initial].ply"]);
  const auto [moved_count, moved_first] = PlyCountAndFirstPoint(paths["[1][transformed].ply"]);
  EXPECT_EQ(raw_count, TopPoints(kBottle));
  EXPECT_EQ(moved_count, TopPoints(kBottle));
  const uint16_t depth = fixture.view.DepthMm(fixture.view.floor_z + kBottle.height);
  const Eigen::Vector3d corner =
    fixture.view.ToArmBase(kBottle.rect.x + 1, kBottle.rect.y + 1, depth);
  ExpectNear(
    raw_first,
    {corner.x() - fixture.view.position.x(), fixture.view.position.y() - corner.y(),
     depth / 1000.0},
    1e-6);
  ExpectNear(moved_first, corner, 1e-6);
  EXPECT_LT(PlyCountAndFirstPoint(paths["[1][processed].ply"]).first, raw_count);
}

// Runs an action once, on the logging thread, when a line containing `text` is logged.
class OnLogLine : public spdlog::sinks::base_sink<std::mutex>
{
public:
  OnLogLine(std::string text, std::function<void()> action)
  : text_(std::move(text)), action_(std::move(action))
  {
  }

protected:
  void sink_it_(const spdlog::details::log_msg & msg) override
  {
    if (
      action_ &&
      std::string(msg.payload.data(), msg.payload.size()).find(text_) != std::string::npos) {
      std::exchange(action_, nullptr)();
    }
  }
  void flush_() override {}

private:
  std::string text_;
  std::function<void()> action_;
};

// Attaches a sink to the process logger while it lives.
class AttachedSink
{
public:
  explicit AttachedSink(std::shared_ptr<spdlog::sinks::sink> sink)
  : logger_(orvanite::Logger::Instance().library_logger()), sink_(std::move(sink))
  {
    logger_->sinks().push_back(sink_);
  }
  ~AttachedSink()
  {
    auto & sinks = logger_->sinks();
    sinks.erase(std::find(sinks.begin(), sinks.end(), sink_));
  }

private:
  std::shared_ptr<spdlog::logger> logger_;
  std::shared_ptr<spdlog::sinks::sink> sink_;
};

// map <- arm_base_link: 2 m along x, 1 m along y, 0.1 m up, a quarter turn about z.
TransformStamped MapFromArmBase(const rclcpp::Time & stamp)
{
  TransformStamped transform;
  transform.header.stamp = stamp;
  transform.header.frame_id = "map";
  transform.child_frame_id = "arm_base_link";
  transform.transform.translation.x = 2.0;
  transform.transform.translation.y = 1.0;
  transform.transform.translation.z = 0.1;
  transform.transform.rotation.z = std::sin(M_PI / 4.0);
  transform.transform.rotation.w = std::cos(M_PI / 4.0);
  return transform;
}

// The grasp pose carried into the map by MapFromArmBase, written out by hand.
void ExpectMapPose(const TrashInfo & record)
{
  const auto & p = record.grab_pose.position;
  ExpectNear(ToEigen(record.map_pose.position), {2.0 - p.y, 1.0 + p.x, 0.1 + p.z}, 1e-9);
  const Eigen::Quaterniond grab = ToEigen(record.grab_pose.orientation);
  const Eigen::Quaterniond map = ToEigen(record.map_pose.orientation);
  const Eigen::Vector3d grab_x = grab * Eigen::Vector3d::UnitX();
  ExpectNear(map * Eigen::Vector3d::UnitX(), {-grab_x.y(), grab_x.x(), grab_x.z()}, 1e-9);
  ExpectNear(map * Eigen::Vector3d::UnitZ(), -Eigen::Vector3d::UnitZ(), 1e-6);
}

class AimFixture : public DownwardFixture
{
public:
  AimFixture() { Set("is_grab_aim_trash", "true"); }
};

TEST(AimMode, RecordsCarryTheirGrabPoseIntoTheMap)
{
  AimFixture fixture;
  fixture.Set("is_realtime_estimate", "true");
  ServiceGraph graph(fixture);
  ASSERT_TRUE(graph.SendMapTransform(MapFromArmBase(rclcpp::Clock().now())));
  graph.Publish(orvanite_test::MakeRgbdFrame(fixture.view, {kPaper, kBottle}, 1));
  ASSERT_TRUE(graph.pose_markers.WaitFor(1));
  const auto records = graph.camera().SnapshotTrashInfos();
  ExpectGraspRecords(records, fixture.view);
  for (const auto & record : records) {
    ExpectMapPose(record);
  }
}

TEST(AimMode, AFailedMapLookUpFinishesTheFrameWithTheRecordsSoFar)
{
  AimFixture fixture;
  ServiceGraph graph(fixture);
  CameraDetectionNode & camera = graph.camera();
  ASSERT_TRUE(graph.SendMapTransform(MapFromArmBase(rclcpp::Clock().now())));
  // The map transform is gone by the time the second trash passes its last gate.
  AttachedSink vanish(std::make_shared<OnLogLine>(
    "垃圾序号[1]在抓取尺寸范围内，需要抓取", [&camera] { camera.tf_buffer_->clear(); }));
  LogCapture capture;
  const auto frame = orvanite_test::MakeRgbdFrame(fixture.view, {kPaper, kBottle}, 1);
  camera.ImageCallback(
    std::make_shared<const Image>(frame.first), std::make_shared<const Image>(frame.second));

  EXPECT_TRUE(camera.IsDetectDone());
  const auto records = camera.CollectTrashInfos();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].class_index, 0);
  ExpectMapPose(records[0]);
  const auto messages = capture.Messages();
  EXPECT_EQ(
    CountStartingWith(messages, "[ERROR] Transform from map to arm_base_link failed: "), 1u);
  EXPECT_EQ(CountContaining(messages, "cam_1: model->detect cost"), 1u);
  EXPECT_EQ(CountContaining(messages, "cam_1: ImageCallback cost"), 0u);  // the frame ended early
}
}  // namespace
