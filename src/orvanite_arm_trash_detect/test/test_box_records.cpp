#include "camera_detection_node/frame/box_records.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ansi_colors.hpp"
#include "support/log_capture.hpp"
#include "support/synthetic_detections.hpp"

namespace
{
using orvanite::BoxInfo;
using orvanite::CameraFrameSettings;
using orvanite::DetectedObject;
using orvanite_test::Detection;

const std::string kEdgeLine = "[INFO] this obj is at the edge of the image";

struct EdgeCase
{
  float x, y, width;
  bool at_edge;
};

TEST(IsAtEdge, LeftTopAndRightBordersOnly)
{
  // Margin 5, width 640: the right limit is xi + wi <= 635.
  const EdgeCase cases[] = {
    {4.9F, 50.0F, 100.0F, true},     // xi 4
    {5.0F, 50.0F, 100.0F, false},    //
    {300.0F, 3.0F, 100.0F, true},    // top border whatever x
    {600.9F, 50.0F, 34.9F, false},   // 600 + 34 = 634 although x + width is 635.8
    {535.0F, 50.0F, 100.0F, false},  // exactly 635
    {535.9F, 50.0F, 100.9F, false},  // still 535 + 100
    {536.0F, 50.0F, 100.0F, true},   // 636
    {-0.5F, 50.0F, 100.0F, true},    // truncates to 0
  };
  const CameraFrameSettings settings;
  for (const EdgeCase & c : cases) {
    orvanite_test::LogCapture capture;
    const bool at_edge = orvanite::IsAtEdge(Detection({c.x, c.y, c.width, 40.0F}), settings);
    EXPECT_EQ(at_edge, c.at_edge) << c.x << ", " << c.y << ", " << c.width;
    const auto records = capture.Records();
    if (c.at_edge) {
      ASSERT_EQ(capture.Messages(), std::vector<std::string>{kEdgeLine});
      EXPECT_EQ(records[0].function, "IsAtEdge");
    } else {
      EXPECT_TRUE(records.empty());
    }
  }
}

TEST(IsAtEdge, BottomBorderIsNotTested)
{
  // A box reaching the last row of a 360-row image, and one beyond it.
  EXPECT_FALSE(orvanite::IsAtEdge(Detection({100.0F, 300.0F, 50.0F, 60.0F}), {}));
  EXPECT_FALSE(orvanite::IsAtEdge(Detection({100.0F, 300.0F, 50.0F, 500.0F}), {}));
}

TEST(GetTrashObjects, KeepsGraspedClassesAwayFromTheBorders)
{
  const cv::Size frame(640, 360);
  const std::vector<DetectedObject> objs = {
    Detection({20.0F, 20.0F, 50.0F, 50.0F}, 4, 0.9F, frame),  // bottle, kept
    Detection({0.0F, 20.0F, 50.0F, 50.0F}, 8, 0.9F, frame),   // base at the border: silent drop
    Detection({2.0F, 20.0F, 50.0F, 50.0F}, 4, 0.9F, frame),   // bottle at the border
    Detection({30.0F, 30.0F, 50.0F, 50.0F}, 0, 0.8F, frame),  // paper, kept
  };
  std::vector<DetectedObject> trash_objs = {Detection({1.0F, 1.0F, 1.0F, 1.0F}, 7)};

  orvanite_test::LogCapture capture;
  EXPECT_TRUE(orvanite::GetTrashObjects(objs, trash_objs, {1, 5}, {}));

  ASSERT_EQ(trash_objs.size(), 3u);  // appended, not cleared
  EXPECT_EQ(trash_objs[1].label, 4);
  EXPECT_EQ(trash_objs[2].label, 0);
  EXPECT_EQ(trash_objs[1].mask.data, objs[0].mask.data);  // pixels shared
  EXPECT_EQ(capture.Messages(), std::vector<std::string>{kEdgeLine});
}

TEST(GetTrashObjects, ResultTellsWhetherTheOutputHoldsAnything)
{
  CameraFrameSettings settings;
  settings.cam_id = 3;
  const std::vector<std::string> warning = {"[WARN] cam_3: No trash object detected !"};
  struct Case
  {
    const char * what;
    std::vector<DetectedObject> objs;
    std::size_t given;  // detections already in the output
    bool result;
  };
  const Case cases[] = {
    {"no detection", {}, 0, false},
    {"no grasped class", {Detection({20.0F, 20.0F, 50.0F, 50.0F}, 8)}, 0, false},
    // Nothing passes, but the output is not empty: no warning.
    {"nothing passes into a filled list", {Detection({20.0F, 20.0F, 50.0F, 50.0F}, 8)}, 1, true},
  };
  for (const Case & c : cases) {
    orvanite_test::LogCapture capture;
    std::vector<DetectedObject> trash_objs(c.given, Detection({1.0F, 1.0F, 1.0F, 1.0F}, 4));
    EXPECT_EQ(orvanite::GetTrashObjects(c.objs, trash_objs, {5}, settings), c.result) << c.what;
    EXPECT_EQ(trash_objs.size(), c.given) << c.what;
    EXPECT_EQ(capture.Messages(), c.result ? std::vector<std::string>{} : warning) << c.what;
  }
}

TEST(MakeBoxInfo, TruncatesTheCornersAfterSummingInFloat)
{
  const DetectedObject obj = Detection({10.6F, 5.5F, 20.6F, 4.4F}, 10, 0.25F, {8, 8});
  const BoxInfo box = orvanite::MakeBoxInfo(obj);
  EXPECT_EQ(box.x1, 10);
  EXPECT_EQ(box.y1, 5);
  EXPECT_EQ(box.x2, 31);  // 31.2, not 10 + 20
  EXPECT_EQ(box.y2, 9);   // 9.9
  EXPECT_EQ(box.score, 0.25F);
  EXPECT_EQ(box.class_id, 11);
  EXPECT_EQ(box.mask.data, obj.mask.data);
}

TEST(GetBaseWaitingBoxInfos, CollectsBasesAndWaitingBenches)
{
  const cv::Size frame(64, 48);
  const std::vector<DetectedObject> objs = {
    Detection({10.0F, 20.0F, 20.0F, 20.5F}, 8, 0.5F, frame),  // base
    Detection({1.5F, 2.5F, 3.0F, 4.0F}, 4, 0.875F, frame),    // bottle
    Detection({0.0F, 0.0F, 64.0F, 48.0F}, 10, 0.25F, frame),  // waiting
    Detection({5.0F, 5.0F, 5.0F, 5.0F}, 30, 0.375F, frame),   // no class name
  };
  std::vector<BoxInfo> boxes = {orvanite::MakeBoxInfo(objs[1])};

  orvanite_test::LogCapture capture;
  orvanite::GetBaseWaitingBoxInfos(objs, boxes, 2);

  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].class_id, 9);
  EXPECT_EQ(boxes[1].class_id, 11);
  EXPECT_EQ(boxes[0].mask.data, objs[0].mask.data);
  EXPECT_EQ(boxes[1].mask.data, objs[2].mask.data);
  const std::vector<std::string> expected = {
    "[DEBUG] cam_2 ori detect bbox size = 4",
    "[DEBUG] cam_2: class = base, score = 0.50, x1 = 10, y1=20, x2=30, y2=40",
    "[DEBUG] cam_2: class = bottle, score = 0.88, x1 = 1, y1=2, x2=4, y2=6",
    "[DEBUG] cam_2: class = waiting, score = 0.25, x1 = 0, y1=0, x2=64, y2=48",
    "[DEBUG] cam_2: class = , score = 0.38, x1 = 5, y1=5, x2=10, y2=10",
    "[DEBUG] cam_2 filtered detect bbox size = 4",
    "[INFO] " + kDim + "cam_2: class_id = 9, class_name = base, score = 0.500" + kReset,
    "[DEBUG] cam_2: base_or_waiting, class_name = base, add to base_wating_box_infos",
    "[INFO] " + kDim + "cam_2: class_id = 5, class_name = bottle, score = 0.875" + kReset,
    "[INFO] " + kDim + "cam_2: class_id = 11, class_name = waiting, score = 0.250" + kReset,
    "[DEBUG] cam_2: base_or_waiting, class_name = waiting, add to base_wating_box_infos",
    "[INFO] " + kDim + "cam_2: class_id = 31, class_name = , score = 0.375" + kReset,
    "[DEBUG] cam_2: base_wating_box_infos size = 2",
  };
  EXPECT_EQ(capture.Messages(), expected);
}

TEST(GetBaseWaitingBoxInfos, NoDetectionLogsOnlyTheCount)
{
  std::vector<BoxInfo> boxes = {orvanite::MakeBoxInfo(Detection({1.0F, 1.0F, 1.0F, 1.0F}, 8))};
  orvanite_test::LogCapture capture;
  orvanite::GetBaseWaitingBoxInfos({}, boxes, 2);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(capture.Messages(), std::vector<std::string>{"[DEBUG] cam_2 ori detect bbox size = 0"});
}
}  // namespace
