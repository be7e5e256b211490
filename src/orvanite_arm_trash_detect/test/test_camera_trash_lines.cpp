// What each camera mode logs for the trashes of one frame, line by line: the texts, levels,
// colours and function names of the callback's own lines, and where the steps it calls (class
// type, cloud, white-list and size gates) log between them. One frame shows every way a trash
// ends: too few points, accepted, outside its size range, off the white list.
#include "camera_detection_node/camera_detection_node.hpp"

#include <filesystem>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/ansi_colors.hpp"
#include "support/camera_fixture.hpp"
#include "support/log_capture.hpp"
#include "support/rclcpp_environment.hpp"
#include "support/synthetic_rgbd.hpp"

namespace
{
using orvanite_test::CameraFixture;
using orvanite_test::DownwardCamera;
using orvanite_test::FloorBox;
using orvanite_test::LogCapture;
using sensor_msgs::msg::Image;

const cv::Vec3b kRed(255, 0, 0);   // label 0, paper
const cv::Vec3b kBlue(0, 0, 255);  // label 4, bottle

// In the model's order (red before blue, each colour top to bottom):
// 0: a 6 x 6 paper, 36 points, below the 50-point minimum;
// 1: a paper 37 x 27 points wide, within the paper's 5 cm range;
// 2: a paper 98 x 58 points wide, beyond it;
// 3: a bottle 3 cm high, above the bottle's 1 cm height threshold: off the white list.
const std::vector<FloorBox> kBoxes = {
  {cv::Rect(200, 100, 6, 6), kRed, 0.02},
  {cv::Rect(240, 150, 41, 31), kRed, 0.02},
  {cv::Rect(60, 250, 100, 60), kRed, 0.02},
  {cv::Rect(360, 190, 41, 31), kBlue, 0.03},
};

// The steps whose own lines are tested with them: here only where they log between the
// callback's lines.
const std::set<std::string> kSteps = {
  "GetTrashType", "GetTrashCloud", "IsTrashToGrab", "IsBboxWithinSizeRange"};

// The callback's lines without their counter, and a "<step>" for each run of a step's lines.
// The timing lines ("... cost ... ms") are left out.
std::vector<std::string> TrashLines(const LogCapture & capture, const std::string & callback)
{
  std::vector<std::string> lines;
  for (const auto & record : capture.Records()) {
    if (record.function == callback) {
      if (record.line.find(" cost ") == std::string::npos) {
        lines.push_back(orvanite_test::WithoutCounter(record.line));
      }
    } else if (kSteps.count(record.function) != 0) {
      const std::string step = "<" + record.function + ">";
      if (lines.empty() || lines.back() != step) {
        lines.push_back(step);
      }
    }
  }
  return lines;
}

class DownwardFixture : public CameraFixture
{
public:
  DownwardFixture()
  {
    orvanite_test::UseCamera(*this, view);
    Set("is_enable_semantic", "true");
    Set("ground_max_th", "0.01");
    std::string heights = orvanite_test::ClassConfYaml("0.05");
    const std::string bottle = "bottle: 0.05\n";
    heights.replace(heights.find(bottle), bottle.size(), "bottle: 0.0\n");
    overlay().WriteConfig("class_height_conf.yaml", heights);
    overlay().WriteConfig(
      "class_size_range.yaml",
      "paper:\n  min: [0.0, 0.0, 0.0]\n  max: [0.05, 0.05, 0.05]\n"
      "bottle:\n  min: [0.0, 0.0, 0.0]\n  max: [1.0, 1.0, 1.0]\n");
  }
  const DownwardCamera view;
};

struct ModeCase
{
  const char * name;
  bool streaming;
  const char * callback;
  std::vector<std::string> expected;
  std::size_t debug_files;
};

// The raw-cloud count line of trash i.
std::string RawCount(const char * level, int i, int points)
{
  return std::string(level) + " cam_1: 垃圾序号[" + std::to_string(i) + "]原始点云数量： " +
         std::to_string(points);
}

TEST(TrashLines, EachModeLogsItsOwnLinesInItsOwnOrder)
{
  const std::string dashes =
    "[INFO] -----------------------------------------------------------------";
  const std::string flag_ok = "[INFO] cam_1: grab pose estimate flag_estimate = 1";
  const auto white_listed = [](int i) {
    return "[INFO] cam_1: 垃圾序号[" + std::to_string(i) + "]在白名单位置处，需要抓取";
  };
  const std::string size_accepted = "[INFO] cam_1: 垃圾序号[1]在抓取尺寸范围内，需要抓取";
  const std::string size_rejected =
    "[INFO] " + kYellow + "cam_1: 垃圾序号[2]不在抓取尺寸范围内，忽略" + kReset;
  const std::string size_of_rejected =
    "[INFO] " + kDimYellow + "cam_1: 垃圾序号[2]obb_size: [0.071, 0.040, 0.000]" + kReset;
  const ModeCase cases[] = {
    {"streaming",
     true,
     "ImageDetectCallback",
     {
       dashes,
       "<GetTrashType>",
       "<GetTrashCloud>",
       RawCount("[DEBUG]", 0, 36),
       "[WARN] cam_1: 垃圾序号[0]原始点云数量太少, CONTINUE",
       dashes,
       "<GetTrashType>",
       "<GetTrashCloud>",
       RawCount("[DEBUG]", 1, 1131),
       "[DEBUG] trash_lowest_z: -0.15599999",
       "<IsTrashToGrab>",
       white_listed(1),
       size_accepted,
       dashes,
       "<GetTrashType>",
       "<GetTrashCloud>",
       RawCount("[DEBUG]", 2, 5684),
       "[DEBUG] trash_lowest_z: -0.15599999",
       "<IsTrashToGrab>",
       white_listed(2),
       size_rejected,
       size_of_rejected,
       dashes,
       "<GetTrashType>",
       "<GetTrashCloud>",
       RawCount("[DEBUG]", 3, 1131),
       "[DEBUG] trash_lowest_z: -0.146",
       "<IsTrashToGrab>",
       "[WARN] cam_1: 垃圾序号[3]不在白名单位置处，忽略",
     },
     0},
    {"service",
     false,
     "ImageCallback",
     {
       "[INFO] cam_1: initial image succeed to save",
       "[INFO] cam_1: detected image succeed to save",
       "<GetTrashType>",
       "[INFO] cam_1: now processing trash calss_id = 1",
       "<GetTrashCloud>",
       RawCount("[INFO]", 0, 36),
       "[WARN] cam_1: 垃圾序号[0]原始点云数量少于50，请重新检测！",
       "<GetTrashType>",
       "[INFO] cam_1: now processing trash calss_id = 1",
       "<GetTrashCloud>",
       RawCount("[INFO]", 1, 1131),
       flag_ok,
       "<IsTrashToGrab>",
       white_listed(1),
       size_accepted,
       "<GetTrashType>",
       "[INFO] cam_1: now processing trash calss_id = 1",
       "<GetTrashCloud>",
       RawCount("[INFO]", 2, 5684),
       flag_ok,
       "<IsTrashToGrab>",
       white_listed(2),
       size_rejected,
       size_of_rejected,
       "<GetTrashType>",
       "[INFO] cam_1: now processing trash calss_id = 5",
       "<GetTrashCloud>",
       RawCount("[INFO]", 3, 1131),
       flag_ok,
       "<IsTrashToGrab>",
       "[INFO] cam_1: 垃圾序号[3]不在白名单位置处，忽略",
     },
     // Two frame images, two masks per trash, three clouds per trash with enough points.
     2 + 4 * 2 + 3 * 3},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.name);
    DownwardFixture fixture;
    fixture.Set("is_detect_grab_pose", c.streaming ? "false" : "true");
    fixture.Set("is_debug", "true");  // only the service mode writes files and their lines
    const auto node = std::make_shared<rclcpp::Node>("cam1_trash_detect_node");
    CameraDetectionNode camera(node, fixture.WriteCameraFile());
    const auto frame = orvanite_test::MakeRgbdFrame(fixture.view, kBoxes, 1);
    const auto rgb = std::make_shared<const Image>(frame.first);
    const auto depth = std::make_shared<const Image>(frame.second);
    LogCapture capture;
    if (c.streaming) {
      camera.ImageDetectCallback(rgb, depth);
    } else {
      camera.ImageCallback(rgb, depth);
    }
    EXPECT_EQ(TrashLines(capture, c.callback), c.expected);
    const auto folder =
      std::filesystem::path(camera.grab_pose_estimate_->file_prefix_).parent_path();
    const auto files = std::distance(
      std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
    EXPECT_EQ(static_cast<std::size_t>(files), c.debug_files);
  }
}
}  // namespace
