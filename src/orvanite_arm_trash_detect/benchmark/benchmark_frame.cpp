// A synthetic service-mode frame (640 x 480, six pieces of paper and bottles, colour-key model,
// debug off) through the camera node, beside the same frame computed the plain way, on one, two
// and four cameras at once, each with the minor page faults of a steady frame; then each stage
// beside its plain reference.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <pcl/common/transforms.h>

#include <cv_bridge/cv_bridge.h>

#include "camera_detection_node/camera_detection_node.hpp"
#include "camera_detection_node/frame/detection_drawing.hpp"
#include "camera_threads.hpp"
#include "orvanite_model_zoo/yolov8_seg.hpp"
#include "plain_frame.hpp"
#include "process_cost_per_frame.hpp"
#include "support/camera_fixture.hpp"
#include "support/cloud_table.hpp"
#include "support/plain_stages.hpp"
#include "support/synthetic_rgbd.hpp"
#include "trash_pose_estimate/parallel_outlier_removal.hpp"
#include "trash_pose_estimate/parallel_ranges.hpp"

namespace
{
using orvanite_bench::Cloud;
using orvanite_bench::ProcessCostPerFrame;
using orvanite_test::FloorBox;
using sensor_msgs::msg::Image;

const cv::Vec3b kRed(255, 0, 0);   // paper
const cv::Vec3b kBlue(0, 0, 255);  // bottle
const std::vector<std::string> kClassNames = {"paper", "mask", "thread", "obstacle", "bottle"};

orvanite_test::DownwardCamera FrameCamera()
{
  orvanite_test::DownwardCamera camera;
  camera.height = 480;
  camera.cy = 240.0f;
  return camera;
}

// Six items in reach, of the sizes the shipped scenes show at this distance.
const std::vector<FloorBox> kBoxes = {
  {cv::Rect(60, 60, 150, 110), kRed, 0.004},  {cv::Rect(260, 50, 90, 160), kBlue, 0.06},
  {cv::Rect(420, 70, 140, 120), kRed, 0.02},  {cv::Rect(70, 260, 120, 150), kBlue, 0.08},
  {cv::Rect(250, 280, 180, 140), kRed, 0.03}, {cv::Rect(480, 270, 100, 130), kBlue, 0.045},
};

// One camera node on the fixture, with its frame.
struct CameraRig
{
  explicit CameraRig(int index)
  {
    orvanite_test::UseCamera(fixture, FrameCamera());
    node = std::make_shared<rclcpp::Node>("cam" + std::to_string(index) + "_trash_detect_node");
    camera = std::make_shared<CameraDetectionNode>(node, fixture.WriteCameraFile());
    const auto frame = orvanite_test::MakeRgbdFrame(FrameCamera(), kBoxes, 1);
    rgb = std::make_shared<const Image>(frame.first);
    depth = std::make_shared<const Image>(frame.second);
    plain = std::make_unique<orvanite_bench::PlainFrame>(
      fixture.model_cfg_file(),
      (fixture.overlay().ConfigDir() / "cam1_pose_estimate_config.yaml").string(), kClassNames,
      orvanite_bench::PlainCameraSettings{});
  }

  void NodeFrame()
  {
    camera->RequestDetect();
    camera->ImageCallback(rgb, depth);
  }
  void PlainFrameRun() { benchmark::DoNotOptimize(plain->Run(*camera, rgb, depth)); }

  orvanite_test::CameraFixture fixture;
  std::shared_ptr<rclcpp::Node> node;
  std::shared_ptr<CameraDetectionNode> camera;
  Image::ConstSharedPtr rgb;
  Image::ConstSharedPtr depth;
  std::unique_ptr<orvanite_bench::PlainFrame> plain;
};

std::vector<std::unique_ptr<CameraRig>> & Rigs()
{
  static std::vector<std::unique_ptr<CameraRig>> rigs;
  return rigs;
}

CameraRig & Rig(std::size_t index)
{
  while (Rigs().size() <= index) {
    Rigs().push_back(std::make_unique<CameraRig>(static_cast<int>(Rigs().size()) + 1));
  }
  return *Rigs()[index];
}

std::string GraspConfig()
{
  return (Rig(0).fixture.overlay().ConfigDir() / "cam1_pose_estimate_config.yaml").string();
}

GrabPoseEstimate & Estimator()
{
  static GrabPoseEstimate estimate(GraspConfig());
  return estimate;
}

// The detections of the frame with 0/255 masks, and their arm-base clouds, as the node has them
// before estimation.
struct FrameParts
{
  std::vector<orvanite::DetectedObject> objs;
  std::vector<orvanite::DetectedObject> trash;
  std::vector<Cloud> clouds;
};

const FrameParts & Parts()
{
  static const FrameParts parts = [] {
    FrameParts result;
    CameraRig & rig = Rig(0);
    ai_orva::model::YOLOv8Seg model(rig.fixture.model_cfg_file());
    const cv_bridge::CvImagePtr color = cv_bridge::toCvCopy(rig.rgb, "rgb8");
    model.detect(color->image, result.objs);
    rig.camera->GetTrashObjects(result.objs, result.trash);
    for (auto & trash : result.trash) {
      trash.mask = trash.mask * 255.0;
      cv::Mat eroded = trash.mask.clone();
      orvanite::DetectedObject copy = trash;
      copy.mask = eroded;
      Cloud::Ptr raw(new Cloud);
      bool transparent = false;
      rig.camera->GetTrashCloud(rig.depth, copy, raw, &transparent);
      Cloud cloud;
      pcl::transformPointCloud(*raw, cloud, Estimator().camera_extrinsic_);
      result.clouds.push_back(cloud);
    }
    return result;
  }();
  return parts;
}

void FrameNode(benchmark::State & state)
{
  CameraRig & rig = Rig(0);
  rig.NodeFrame();  // the camera's first frame sizes its buffers
  ProcessCostPerFrame cost(state, 1);
  for (auto _ : state) {
    rig.NodeFrame();
  }
}

void FrameReference(benchmark::State & state)
{
  CameraRig & rig = Rig(0);
  rig.PlainFrameRun();
  ProcessCostPerFrame cost(state, 1);
  for (auto _ : state) {
    rig.PlainFrameRun();
  }
}

// One frame on each of state.range(0) cameras at once, each camera on a thread of its own that
// lives through the benchmark, as each camera's frames run on executor threads.
template <bool kNode>
void FrameCameras(benchmark::State & state)
{
  const auto cameras = static_cast<std::size_t>(state.range(0));
  for (std::size_t i = 0; i < cameras; ++i) {
    Rig(i);
  }
  orvanite_bench::CameraThreads threads(cameras, [](std::size_t i) {
    if (kNode) {
      Rig(i).NodeFrame();
    } else {
      Rig(i).PlainFrameRun();
    }
  });
  threads.Run();  // each camera's first frame on its thread sizes the buffers there
  ProcessCostPerFrame cost(state, cameras);
  for (auto _ : state) {
    threads.Run();
  }
}

template <bool kNode>
void StageGetTrashCloud(benchmark::State & state)
{
  CameraRig & rig = Rig(0);
  const FrameParts & parts = Parts();
  Cloud::Ptr cloud(new Cloud);
  for (auto _ : state) {
    for (const auto & trash : parts.trash) {
      orvanite::DetectedObject obj = trash;
      obj.mask = trash.mask.clone();
      bool transparent = false;
      if (kNode) {
        rig.camera->GetTrashCloud(rig.depth, obj, cloud, &transparent);
      } else {
        orvanite_bench::PlainTrashCloud(*rig.depth, obj, Estimator(), 1, *cloud);
      }
      benchmark::DoNotOptimize(cloud->size());
    }
  }
}

template <bool kNode>
void StagePclProcessFunc(benchmark::State & state)
{
  for (auto _ : state) {
    for (const auto & source : Parts().clouds) {
      Cloud::Ptr cloud(new Cloud(source));
      if (kNode) {
        Estimator().PclProcessFunc(cloud, cloud);
      } else {
        orvanite_test::plain::PclProcess(Estimator(), cloud);
      }
      benchmark::DoNotOptimize(cloud->size());
    }
  }
}

// The measurement stages on the filtered clouds of the frame.
const std::vector<Cloud::Ptr> & FilteredClouds()
{
  static const std::vector<Cloud::Ptr> clouds = [] {
    std::vector<Cloud::Ptr> result;
    for (const auto & source : Parts().clouds) {
      Cloud::Ptr cloud(new Cloud(source));
      Estimator().PclProcessFunc(cloud, cloud);
      result.push_back(cloud);
    }
    return result;
  }();
  return clouds;
}

void StagePcaNode(benchmark::State & state)
{
  for (auto _ : state) {
    for (auto cloud : FilteredClouds()) {
      Estimator().PCAFunc(cloud);
    }
  }
}

template <bool kNode>
void StageObb(benchmark::State & state)
{
  for (auto _ : state) {
    for (auto cloud : FilteredClouds()) {
      if (kNode) {
        Estimator().OBBFunc(cloud);
      } else {
        benchmark::DoNotOptimize(orvanite_test::plain::Obb(*cloud));
      }
    }
  }
}

template <bool kNode>
void StageAabb(benchmark::State & state)
{
  for (auto _ : state) {
    for (auto cloud : FilteredClouds()) {
      if (kNode) {
        Estimator().AABBFunc(cloud);
      } else {
        benchmark::DoNotOptimize(orvanite_test::plain::Aabb(*cloud));
      }
    }
  }
}

template <bool kNode>
void StageMinAreaRect(benchmark::State & state)
{
  for (auto _ : state) {
    for (auto cloud : FilteredClouds()) {
      if (kNode) {
        Estimator().MinAreaRectFunc(cloud);
      } else {
        Cloud::Ptr copy(new Cloud(*cloud));
        Estimator().MinAreaRectFunc(copy);
      }
    }
  }
}

template <bool kNode>
void StageDrawing(benchmark::State & state)
{
  const cv_bridge::CvImagePtr color = cv_bridge::toCvCopy(Rig(0).rgb, "rgb8");
  cv::Mat output;
  for (auto _ : state) {
    if (kNode) {
      orvanite::DrawDetectedObjects(color->image, output, Parts().objs, kClassNames);
    } else {
      orvanite_test::plain::DrawDetectedObjects(color->image, output, Parts().objs, kClassNames);
    }
    benchmark::DoNotOptimize(output.data);
  }
}

// A 25k-point cloud as the camera sees a large box.
const Cloud::Ptr & BigCloud()
{
  static const Cloud::Ptr cloud = orvanite_test::CameraSeenTop(cv::Rect(230, 170, 180, 140), 0.03);
  return cloud;
}

// The outlier filter alone on the 25k cloud with the shipped neighbour count: the node's filter
// with its workspace kept from one cloud to the next as the estimator keeps it, on every core or
// on one, beside PCL's filter, whose search enters an OpenMP region per query.
enum class OutlierFilter
{
  kNode,
  kNodeOneThread,
  kPcl,
};

template <OutlierFilter kFilter>
void OutlierRemoval25k(benchmark::State & state)
{
  orvanite::OutlierFilterWorkspace workspace;
  for (auto _ : state) {
    Cloud::Ptr cloud(new Cloud(*BigCloud()));
    const auto node_filter = [&] {
      orvanite::ParallelStatisticalOutlierRemoval filter(workspace);
      filter.setMeanK(50);
      filter.setStddevMulThresh(1.0);
      filter.setInputCloud(cloud);
      filter.filter(*cloud);
    };
    switch (kFilter) {
      case OutlierFilter::kNode:
        node_filter();
        break;
      case OutlierFilter::kNodeOneThread: {
        const orvanite::SerialRangesOnThisThread one_thread;
        node_filter();
      } break;
      case OutlierFilter::kPcl:
        orvanite_test::plain::RemoveOutliers(cloud, 50, 1.0);
        break;
    }
    benchmark::DoNotOptimize(cloud->size());
  }
}

template <bool kNode>
void ObbAabb25k(benchmark::State & state)
{
  Cloud::Ptr cloud = BigCloud();
  for (auto _ : state) {
    if (kNode) {
      Estimator().OBBFunc(cloud);
      Estimator().AABBFunc(cloud);
    } else {
      benchmark::DoNotOptimize(orvanite_test::plain::Obb(*cloud));
      benchmark::DoNotOptimize(orvanite_test::plain::Aabb(*cloud));
    }
  }
}

}  // namespace

BENCHMARK(FrameNode)->Name("Frame/node")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FrameReference)->Name("Frame/reference")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(FrameCameras, true)
  ->Name("Frame/node/cameras")
  ->Arg(2)
  ->Arg(4)
  ->Unit(benchmark::kMillisecond)
  ->UseRealTime();
BENCHMARK_TEMPLATE(FrameCameras, false)
  ->Name("Frame/reference/cameras")
  ->Arg(2)
  ->Arg(4)
  ->Unit(benchmark::kMillisecond)
  ->UseRealTime();
BENCHMARK_TEMPLATE(StageGetTrashCloud, true)
  ->Name("GetTrashCloud/node")
  ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageGetTrashCloud, false)
  ->Name("GetTrashCloud/reference")
  ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StagePclProcessFunc, true)
  ->Name("PclProcessFunc/node")
  ->Unit(benchmark::kMillisecond)
  ->UseRealTime();
BENCHMARK_TEMPLATE(StagePclProcessFunc, false)
  ->Name("PclProcessFunc/reference")
  ->Unit(benchmark::kMillisecond)
  ->UseRealTime();
BENCHMARK(StagePcaNode)->Name("PCAFunc/node_and_reference")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageObb, true)->Name("OBBFunc/node")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageObb, false)->Name("OBBFunc/reference")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageAabb, true)->Name("AABBFunc/node")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageAabb, false)->Name("AABBFunc/reference")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageMinAreaRect, true)
  ->Name("MinAreaRectFunc/node")
  ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageMinAreaRect, false)
  ->Name("MinAreaRectFunc/reference")
  ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageDrawing, true)->Name("Drawing/node")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StageDrawing, false)->Name("Drawing/reference")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(OutlierRemoval25k, OutlierFilter::kNode)
  ->Name("OutlierRemoval25k/node")
  ->Unit(benchmark::kMillisecond)
  ->UseRealTime();
BENCHMARK_TEMPLATE(OutlierRemoval25k, OutlierFilter::kNodeOneThread)
  ->Name("OutlierRemoval25k/node_one_thread")
  ->Unit(benchmark::kMillisecond)
  ->UseRealTime();
BENCHMARK_TEMPLATE(OutlierRemoval25k, OutlierFilter::kPcl)
  ->Name("OutlierRemoval25k/reference")
  ->Unit(benchmark::kMillisecond)
  ->UseRealTime();
BENCHMARK_TEMPLATE(ObbAabb25k, true)
  ->Name("OBBFunc+AABBFunc25k/node")
  ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ObbAabb25k, false)
  ->Name("OBBFunc+AABBFunc25k/reference")
  ->Unit(benchmark::kMillisecond);

int main(int argc, char ** argv)
{
  // Both sides log alike; the frame's INFO lines would only drown the table.
  setenv("SPDLOG_LEVEL", "warn", 0);
  setenv("SPDLOG_SYSTEMD", "false", 0);
  rclcpp::init(0, nullptr);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Rigs().clear();
  rclcpp::shutdown();
  return 0;
}
