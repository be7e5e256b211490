#include "camera_detection_node/frame/grab_gates.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "camera_detection_node/frame/box_records.hpp"
#include "common/ansi_colors.hpp"
#include "support/grab_pose_config_file.hpp"
#include "support/log_capture.hpp"
#include "support/synthetic_detections.hpp"

namespace
{
using orvanite::BoxInfo;
using orvanite::CameraFrameSettings;
using orvanite::ClassConf;
using orvanite::DetectedObject;
using orvanite_test::Detection;

bool Contains(const std::vector<std::string> & lines, const std::string & line)
{
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::size_t CountStartingWith(const std::vector<std::string> & lines, const std::string & prefix)
{
  return std::count_if(lines.begin(), lines.end(), [&](const std::string & line) {
    return line.rfind(prefix, 0) == 0;
  });
}

BoxInfo Box(int x1, int y1, int x2, int y2, int class_id = 9)
{
  return BoxInfo{x1, y1, x2, y2, 0.9F, cv::Mat(), class_id};
}

// A bottle whose box is (10, 10)-(19, 19), area 100.
const DetectedObject kBottle = Detection({10.0F, 10.0F, 9.5F, 9.5F}, 4);
const ClassConf kNoHeight{};

CameraFrameSettings Camera(float iou_threshold)
{
  CameraFrameSettings settings;
  settings.cam_id = 1;
  settings.trash_mask_iou_v1 = iou_threshold;
  return settings;
}

struct OverlapCase
{
  const char * name;
  BoxInfo obstacle;
  float threshold;
  bool match;
  const char * iou_line;
};

TEST(IsTrashToGrab, OverlapOverTheTrashBoxAgainstTheThreshold)
{
  // Far above the floor, so only the overlap can accept the trash.
  const OverlapCase cases[] = {
    {"half against 0.7", Box(15, 10, 30, 19), 0.7F, false,
     "cam_1: iou = 0.5, trash_mask_iou_v1 = 0.7"},
    {"half against 0.4", Box(15, 10, 30, 19), 0.4F, true,
     "cam_1: iou = 0.5, trash_mask_iou_v1 = 0.4"},
    {"equal ratio", Box(15, 10, 30, 19), 0.5F, false, "cam_1: iou = 0.5, trash_mask_iou_v1 = 0.5"},
    {"one shared column", Box(19, 0, 30, 40), 0.05F, true,
     "cam_1: iou = 0.1, trash_mask_iou_v1 = 0.05"},
    {"disjoint", Box(25, 10, 30, 19), 0.0F, false, "cam_1: iou = 0, trash_mask_iou_v1 = 0"},
    {"inside a waiting bench", Box(0, 0, 100, 100, 11), 0.7F, true,
     "cam_1: iou = 1, trash_mask_iou_v1 = 0.7"},
  };
  for (const OverlapCase & c : cases) {
    orvanite_test::LogCapture capture;
    EXPECT_EQ(
      orvanite::IsTrashToGrab(kBottle, {c.obstacle}, 1.0F, 0.176F, kNoHeight, Camera(c.threshold)),
      c.match)
      << c.name;
    const std::vector<std::string> messages = capture.Messages();
    EXPECT_EQ(messages.front(), "[DEBUG] cam_1: base_waiting size = 1") << c.name;
    EXPECT_TRUE(Contains(messages, std::string("[DEBUG] ") + c.iou_line)) << c.name;
    const std::string obstacle = c.obstacle.class_id == 9 ? "base" : "waiting";
    EXPECT_EQ(
      Contains(
        messages,
        "[INFO] " + kGreen + "cam_1: trash = bottle is above obstacle = " + obstacle + kReset),
      c.match)
      << c.name;
    // The height test runs only when no obstacle matched.
    EXPECT_EQ(CountStartingWith(messages, "[DEBUG] trash_type: "), c.match ? 0u : 1u) << c.name;
  }
}

TEST(IsTrashToGrab, EveryMatchingObstacleIsLogged)
{
  orvanite_test::LogCapture capture;
  EXPECT_TRUE(orvanite::IsTrashToGrab(
    kBottle, {Box(0, 0, 50, 50), Box(25, 25, 30, 30), Box(5, 5, 40, 40, 11)}, 1.0F, 0.176F,
    kNoHeight, Camera(0.7F)));
  const std::vector<std::string> messages = capture.Messages();
  EXPECT_EQ(CountStartingWith(messages, "[INFO] " + kGreen + "cam_1: trash = bottle is above"), 2u);
  EXPECT_EQ(CountStartingWith(messages, "[DEBUG] cam_1: iou = "), 3u);
  EXPECT_EQ(CountStartingWith(messages, "[DEBUG] trash_type: "), 0u);
}

TEST(IsTrashToGrab, HeightAboveTheFloorAgainstTheClassThreshold)
{
  ClassConf height{};
  height.bottle = 0.05F;
  CameraFrameSettings settings = Camera(0.7F);
  settings.ground_max_th = 0.01F;

  {
    orvanite_test::LogCapture capture;
    EXPECT_TRUE(orvanite::IsTrashToGrab(kBottle, {}, -0.17F, 0.176F, height, settings));
    const std::vector<std::string> expected = {
      "[DEBUG] cam_1: base_waiting size = 0",
      "[DEBUG] no base waiting detected",
      "[DEBUG] trash_type: bottle, trash2floor_height: 0.0060",
      "[DEBUG] height_threshold: 0.0600",
      "[INFO] " + kGreen + "cam_1: trash = bottle is above ground" + kReset,
    };
    EXPECT_EQ(capture.Messages(), expected);
  }
  {
    orvanite_test::LogCapture capture;
    EXPECT_FALSE(orvanite::IsTrashToGrab(kBottle, {}, 0.0F, 0.176F, height, settings));
    const std::vector<std::string> messages = capture.Messages();
    EXPECT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[2], "[DEBUG] trash_type: bottle, trash2floor_height: 0.1760");
  }
  // A threshold equal to the height is not enough.
  height.bottle = 0.25F;
  settings.ground_max_th = 0.25F;
  EXPECT_FALSE(orvanite::IsTrashToGrab(kBottle, {}, 0.25F, 0.25F, height, settings));
}

TEST(IsTrashToGrab, ThresholdOfEveryClassId)
{
  // Field i holds (i + 1) / 100, so the logged threshold names the field that was used.
  ClassConf height{};
  for (std::size_t i = 0; i < orvanite::kClassConfFields.size(); ++i) {
    height.*orvanite::kClassConfFields[i].value = static_cast<float>(i + 1) / 100.0F;
  }
  for (int label = -2; label <= 25; ++label) {
    const int class_id = label + 1;
    const float expected = class_id >= 1 && class_id <= 22 ? class_id / 100.0F : height.other;
    orvanite_test::LogCapture capture;
    orvanite::IsTrashToGrab(
      Detection({10.0F, 10.0F, 9.5F, 9.5F}, label), {}, 0.0F, 0.0F, height, Camera(0.7F));
    EXPECT_TRUE(
      Contains(capture.Messages(), fmt::format("[DEBUG] height_threshold: {:5.4f}", expected)))
      << "label " << label;
  }
}

TEST(IsBboxWithinSizeRange, BothBoundsInclusive)
{
  const std::map<std::string, orvanite::SizeRange> ranges = {
    {"bottle", {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}}},
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case
  {
    std::array<double, 3> size;
    bool within;
  };
  const Case cases[] = {
    {{0.1, 0.2, 0.3}, true},   {{0.4, 0.5, 0.6}, true},   {{0.2, 0.3, 0.4}, true},
    {{0.2, 0.3, 0.29}, false}, {{0.41, 0.3, 0.4}, false}, {{0.2, 0.51, 0.4}, false},
    {{0.2, nan, 0.4}, false},
  };
  for (const Case & c : cases) {
    orvanite_protocol::msg::TrashInfo info;
    info.class_index = 4;
    info.obb_size = c.size;
    orvanite_test::LogCapture capture;
    EXPECT_EQ(orvanite::IsBboxWithinSizeRange(info, ranges), c.within)
      << c.size[0] << ", " << c.size[1] << ", " << c.size[2];
    EXPECT_TRUE(capture.Records().empty());
  }
}

TEST(IsBboxWithinSizeRange, ClassWithoutRangeFailsWithAWarning)
{
  const std::map<std::string, orvanite::SizeRange> ranges = {
    {"waiting_bench", {{0.0, 0.0, 0.0}, {9.0, 9.0, 9.0}}},
  };
  const std::pair<int, std::string> cases[] = {{10, "waiting"}, {0, "paper"}, {200, ""}};
  for (const auto & c : cases) {
    orvanite_protocol::msg::TrashInfo info;
    info.class_index = static_cast<std::uint8_t>(c.first);
    info.obb_size = {1.0, 1.0, 1.0};
    orvanite_test::LogCapture capture;
    EXPECT_FALSE(orvanite::IsBboxWithinSizeRange(info, ranges));
    EXPECT_EQ(
      capture.Messages(),
      std::vector<std::string>{
        "[WARN] class_name:" + c.second + " not found in class_size_range_map !"});
  }
}

TEST(TrashTypeOfClassIndex, GraspTypeByLabel)
{
  const std::pair<int, orvanite::TrashType> cases[] = {
    {0, orvanite::TRASH_TYPE_PAPER},   {16, orvanite::TRASH_TYPE_PAPER},
    {18, orvanite::TRASH_TYPE_PAPER},  {19, orvanite::TRASH_TYPE_PAPER},
    {1, orvanite::TRASH_TYPE_MASK},    {4, orvanite::TRASH_TYPE_BOTTLE},
    {15, orvanite::TRASH_TYPE_BOTTLE}, {17, orvanite::TRASH_TYPE_BOTTLE},
    {20, orvanite::TRASH_TYPE_BOTTLE}, {21, orvanite::TRASH_TYPE_BOTTLE},
    {2, orvanite::TRASH_TYPE_OTHER},   {3, orvanite::TRASH_TYPE_OTHER},
    {5, orvanite::TRASH_TYPE_OTHER},   {14, orvanite::TRASH_TYPE_OTHER},
    {22, orvanite::TRASH_TYPE_OTHER},  {-1, orvanite::TRASH_TYPE_OTHER},
    {100, orvanite::TRASH_TYPE_OTHER},
  };
  for (const auto & c : cases) {
    EXPECT_EQ(orvanite::TrashTypeOfClassIndex(c.first), c.second) << c.first;
  }
}
TEST(GetTrashType, StoresTheTypeInTheEstimator)
{
  const orvanite_test::GrabPoseConfigFile config;
  const std::unique_ptr<GrabPoseEstimate> estimate = config.MakeEstimator();
  const std::pair<int, int> cases[] = {{16, 1}, {21, 3}, {1, 2}, {3, 4}};
  for (const auto & c : cases) {
    orvanite_test::LogCapture capture;
    orvanite::GetTrashType(c.first, estimate.get());
    EXPECT_EQ(estimate->trash_type_, c.second);
    EXPECT_EQ(
      capture.Messages(),
      std::vector<std::string>{"[DEBUG] Grab trash remapped type: " + std::to_string(c.second)});
  }
}
}  // namespace
