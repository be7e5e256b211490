// Value types of the camera's per-frame steps and class tables.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TYPES_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TYPES_HPP_

#include <array>

#include <opencv2/core.hpp>

#include "orvanite_model_zoo/types.hpp"

namespace orvanite
{
using DetectedObject = ai_orva::model::DetectedObject;

// One detection as a box of whole pixels. Corners: x1 = (int)x, y1 = (int)y,
// x2 = (int)(x + width), y2 = (int)(y + height), the sums taken in float.
struct BoxInfo
{
  int x1;
  int y1;
  int x2;
  int y2;
  float score;   // the detection's prob
  cv::Mat mask;  // the detection's mask: a header sharing its pixels, never a deep copy
  int class_id;  // label + 1
};

// One float per trash class, fields in class-id order 1..23 (field i belongs to class id i + 1).
// Ids 11 and 12 are "waiting" and "escalator" in kTrashClassNames but named as below here and in
// the class files.
struct ClassConf
{
  float paper;
  float mask;
  float thread;
  float obstacle;
  float bottle;
  float blood;
  float person;
  float reflection;
  float base;
  float chair;
  float waiting_bench;
  float escalator_entrance;
  float rod;
  float coffee;
  float milk;
  float paper_cup;
  float plastic_bag;
  float carton_box;
  float cotton_ball;
  float medication_board;
  float swab;
  float drinking_cup;
  float other;
};

// A ClassConf field with its key in the class files, for loaders and loggers that walk the
// fields in order.
struct ClassConfField
{
  const char * name;
  float ClassConf::*value;
};

inline constexpr std::array<ClassConfField, 23> kClassConfFields = {{
  {"paper", &ClassConf::paper},
  {"mask", &ClassConf::mask},
  {"thread", &ClassConf::thread},
  {"obstacle", &ClassConf::obstacle},
  {"bottle", &ClassConf::bottle},
  {"blood", &ClassConf::blood},
  {"person", &ClassConf::person},
  {"reflection", &ClassConf::reflection},
  {"base", &ClassConf::base},
  {"chair", &ClassConf::chair},
  {"waiting_bench", &ClassConf::waiting_bench},
  {"escalator_entrance", &ClassConf::escalator_entrance},
  {"rod", &ClassConf::rod},
  {"coffee", &ClassConf::coffee},
  {"milk", &ClassConf::milk},
  {"paper_cup", &ClassConf::paper_cup},
  {"plastic_bag", &ClassConf::plastic_bag},
  {"carton_box", &ClassConf::carton_box},
  {"cotton_ball", &ClassConf::cotton_ball},
  {"medication_board", &ClassConf::medication_board},
  {"swab", &ClassConf::swab},
  {"drinking_cup", &ClassConf::drinking_cup},
  {"other", &ClassConf::other},
}};

// Allowed extents of a trash along its three principal axes (TrashInfo::obb_size order), metres.
struct SizeRange
{
  std::array<double, 3> min;
  std::array<double, 3> max;
};

// The camera's fixed settings that the per-frame steps read. The camera keeps its settings in one
// of these, which its members of the same names (cam_id_, width_, ...) refer to. Defaults are
// those the camera starts with.
struct CameraFrameSettings
{
  int cam_id = 0;   // first argument of every "cam_{}" log line
  int width = 640;  // colour image width, pixels
  float fx = 0.0F;  // focal lengths and principal point, pixels
  float fy = 0.0F;
  float cx = 0.0F;
  float cy = 0.0F;
  int image_edge_threshold = 5;       // pixels: margin of the image-edge test
  int mask_erosion_size = 1;          // pixels: half-size of the square erosion kernel
  float null_ratio_threshold = 0.3F;  // share of mask pixels without depth (transparency)
  float hw_ratio_threshold = 1.2F;    // box height over width (transparency)
  float trash_mask_iou_v1 = 0.7F;     // overlap ratio of the white-list gate
  float ground_max_th = 0.0F;         // metres added to every class height threshold
};
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TYPES_HPP_
