#include "camera_detection_node/frame/trash_steps.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include "common/ansi_colors.hpp"
#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "support/synthetic_detections.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace
{
using orvanite::DetectedObject;
using orvanite::TrashLines;
using orvanite::TrashSteps;
using orvanite_protocol::msg::TrashInfo;
using orvanite_test::MessagesOf;

// An 8 x 6 box of mask pixels at (10, 10), all 1 m away: 48 points, nothing eroded.
constexpr int kPoints = 48;

DetectedObject Trash()
{
  DetectedObject trash = orvanite_test::Detection({10.0F, 10.0F, 8.0F, 6.0F}, 4, 0.9F, {40, 30});
  trash.mask(cv::Rect(10, 10, 8, 6)).setTo(1);
  return trash;
}

const sensor_msgs::msg::Image kDepth =
  orvanite_test::DepthImage(cv::Mat(30, 40, CV_16UC1, cv::Scalar(1000)));

// The parts of a camera 0.5 m above the arm base's origin, looking straight down.
class TrashStepsTest : public ::testing::Test
{
protected:
  TrashStepsTest()
  {
    config_.yaml["camera_extrinsic"]["data"] =
      std::vector<float>{1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0.5F, 0, 0, 0, 1};
    estimate_ = config_.MakeEstimator();
    settings_.cam_id = 3;
    settings_.fx = settings_.fy = 100.0F;
    settings_.mask_erosion_size = 0;
    // Bottles (class id 5) are grasped only below 0.1 m above the floor.
    class_height_conf_ = {};
    class_height_conf_.bottle = 0.1F;
    class_size_range_map_["bottle"] = {{0.0, 0.0, 0.0}, {0.1, 0.1, 0.1}};
  }

  TrashSteps Steps(
    const TrashLines & lines, unsigned int minimum = kPoints, bool white_list = true,
    const std::string * debug_file_prefix = nullptr)
  {
    return {settings_,  minimum,    white_list, class_height_conf_, class_size_range_map_,
            *estimate_, workspace_, lines,      debug_file_prefix};
  }

  orvanite_test::GrabPoseConfigFile config_;
  std::unique_ptr<GrabPoseEstimate> estimate_;
  orvanite::CameraFrameSettings settings_;
  orvanite::ClassConf class_height_conf_;
  std::map<std::string, orvanite::SizeRange> class_size_range_map_;
  orvanite::FrameWorkspace workspace_;
};

const TrashLines kAnnounced{"AnnouncedMode",     "== trash ==",          nullptr,
                            orvanite::kLogDebug, "cam_{}: [{}] too few", orvanite::kLogWarn};
const TrashLines kNamed{
  "NamedMode",       nullptr, "cam_{}: class {}", orvanite::kLogInfo, "cam_{}: [{}] fewer than {}",
  orvanite::kLogInfo};

TEST_F(TrashStepsTest, PrepareCloudLogsTheModesLinesAndStopsBelowTheMinimum)
{
  const struct
  {
    const TrashLines * lines;
    unsigned int minimum;
    bool prepared;
    std::vector<std::string> expected;
  } cases[] = {
    {&kAnnounced,
     kPoints,
     true,
     {"[INFO] == trash ==", "[DEBUG] cam_3: 垃圾序号[2]原始点云数量： 48"}},
    {&kAnnounced,
     kPoints + 1,
     false,
     {"[INFO] == trash ==", "[DEBUG] cam_3: 垃圾序号[2]原始点云数量： 48",
      "[WARN] cam_3: [2] too few"}},
    {&kNamed,
     kPoints + 1,
     false,
     {"[INFO] cam_3: class 5", "[INFO] cam_3: 垃圾序号[2]原始点云数量： 48",
      "[WARN] cam_3: [2] fewer than 49"}},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(std::string(c.lines->operation) + " " + std::to_string(c.minimum));
    DetectedObject trash = Trash();
    bool is_transparent = true;
    orvanite_test::LogCapture capture;
    EXPECT_EQ(
      Steps(*c.lines, c.minimum).PrepareCloud(2, trash, kDepth, &is_transparent), c.prepared);
    EXPECT_EQ(MessagesOf(capture, c.lines->operation), c.expected);
    EXPECT_EQ(
      orvanite_test::FunctionsLogging(capture, "Grab trash remapped type"),
      std::vector<std::string>{"GetTrashType"});
    EXPECT_FALSE(is_transparent);
    EXPECT_EQ(estimate_->trash_type_, orvanite::TRASH_TYPE_BOTTLE);
    EXPECT_EQ(trash.mask.at<uchar>(10, 10), 255);  // scaled in place
    EXPECT_EQ(workspace_.raw_cloud->size(), static_cast<std::size_t>(kPoints));
  }
  // Pixel (10, 10) at 1 m: (0.1, 0.1, 1) in the camera frame, 0.5 m below the arm base's origin.
  ASSERT_EQ(workspace_.cloud->size(), static_cast<std::size_t>(kPoints));
  EXPECT_FLOAT_EQ((*workspace_.raw_cloud)[0].x, 0.1F);
  EXPECT_FLOAT_EQ((*workspace_.cloud)[0].x, 0.1F);
  EXPECT_FLOAT_EQ((*workspace_.cloud)[0].y, -0.1F);
  EXPECT_FLOAT_EQ((*workspace_.cloud)[0].z, -0.5F);
}

TEST_F(TrashStepsTest, DebugFilesOnlyWithAPrefixAndTheCloudsOnlyPastTheMinimum)
{
  const std::filesystem::path folder = std::filesystem::path(config_.folder()) / "steps";
  std::filesystem::create_directories(folder);
  const std::string prefix = (folder / "p").string();
  const struct
  {
    const std::string * prefix;
    unsigned int minimum;
    std::set<std::string> suffixes;
  } cases[] = {
    {nullptr, kPoints, {}},
    {&prefix, kPoints + 1, {"[1][mask][initial].jpg", "[1][mask][eroded].jpg"}},
    {&prefix,
     kPoints,
     {"[1][mask][initial].jpg", "[1][mask][eroded].jpg", "[1][initial].ply",
      "[1][transformed].ply"}},
  };
  for (const auto & c : cases) {
    SCOPED_TRACE(c.suffixes.size());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    DetectedObject trash = Trash();
    bool is_transparent = false;
    Steps(kNamed, c.minimum, true, c.prefix).PrepareCloud(1, trash, kDepth, &is_transparent);
    std::set<std::string> suffixes;
    for (const auto & entry : std::filesystem::directory_iterator(folder)) {
      // "p" + yyyy-mm-dd-hh-mm-ss + suffix
      suffixes.insert(entry.path().filename().string().substr(1 + 19));
    }
    EXPECT_EQ(suffixes, c.suffixes);
  }
}

TEST_F(TrashStepsTest, GatesLogAcceptanceAndRejectionWithTheModesLevel)
{
  const DetectedObject trash = Trash();
  TrashInfo small;
  small.class_index = 4;
  small.obb_size = {0.05, 0.05, 0.01};
  TrashInfo large = small;
  large.obb_size[0] = 0.25;
  const std::string accepted = "[INFO] cam_3: 垃圾序号[1]在白名单位置处，需要抓取";
  const std::string refused_text = "cam_3: 垃圾序号[1]不在白名单位置处，忽略";
  // The floor is base_height (0.176 m) below the arm base.
  const float near_floor = -0.1F;
  const float high_up = 0.0F;
  {
    orvanite_test::LogCapture capture;
    EXPECT_TRUE(Steps(kAnnounced).PassesWhiteList(1, trash, {}, near_floor));
    EXPECT_FALSE(Steps(kAnnounced).PassesWhiteList(1, trash, {}, high_up));
    EXPECT_FALSE(Steps(kNamed).PassesWhiteList(1, trash, {}, high_up));
    EXPECT_TRUE(Steps(kNamed, kPoints, false).PassesWhiteList(1, trash, {}, high_up));
    EXPECT_EQ(
      MessagesOf(capture, "AnnouncedMode"),
      (std::vector<std::string>{accepted, "[WARN] " + refused_text}));
    EXPECT_EQ(
      MessagesOf(capture, "NamedMode"),
      (std::vector<std::string>{"[INFO] " + refused_text, accepted}));
  }
  {
    orvanite_test::LogCapture capture;
    EXPECT_TRUE(Steps(kNamed).PassesSizeRange(1, small));
    EXPECT_FALSE(Steps(kNamed).PassesSizeRange(1, large));
    const std::vector<std::string> expected = {
      "[INFO] cam_3: 垃圾序号[1]在抓取尺寸范围内，需要抓取",
      "[INFO] " + kYellow + "cam_3: 垃圾序号[1]不在抓取尺寸范围内，忽略" + kReset,
      "[INFO] " + kDimYellow + "cam_3: 垃圾序号[1]obb_size: [0.250, 0.050, 0.010]" + kReset};
    EXPECT_EQ(MessagesOf(capture, "NamedMode"), expected);
  }
}
}  // namespace
