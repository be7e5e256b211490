// The steps both camera modes take for each trash of a frame: its cloud in the arm-base frame,
// the white-list gate and the size gate. The modes log some of the same events differently;
// each hands its own lines to the steps as a TrashLines table.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_STEPS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_STEPS_HPP_

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include <orvanite_protocol/msg/trash_info.hpp>
#include <sensor_msgs/msg/image.hpp>

#include "camera_detection_node/frame/frame_workspace.hpp"
#include "camera_detection_node/frame/types.hpp"
#include "common/logger.hpp"

class GrabPoseEstimate;

namespace orvanite
{
// What a camera mode logs, and how, where the two modes differ. Every record of the steps names
// `operation`, the mode's callback. Texts are fmt formats; i is the trash's position in the
// frame's trash list.
struct TrashLines
{
  const char * operation;
  const char * heading;         // INFO before the class type, no arguments; nullptr: none
  const char * class_line;      // INFO after the class type, with (cam_id, class id); nullptr: none
  LogLevel raw_count;           // of "cam_{}: 垃圾序号[{}]原始点云数量： {}"
  const char * too_few_points;  // WARN, with (cam_id, i, minimum); it may leave out the minimum
  LogLevel white_list_rejection;  // of "cam_{}: 垃圾序号[{}]不在白名单位置处，忽略"
};

// One camera's parts that the steps read and write, for the frames of one mode.
struct TrashSteps
{
  const CameraFrameSettings & settings;
  unsigned int min_trash_cloud_size;  // points: smallest raw cloud that goes on
  bool white_list_enabled;
  const ClassConf & class_height_conf;
  const std::map<std::string, SizeRange> & class_size_range_map;
  GrabPoseEstimate & estimate;
  FrameWorkspace & workspace;
  const TrashLines & lines;
  // With a prefix, PrepareCloud writes the trash's debug files (TrashDebugPath); nullptr: none.
  const std::string * debug_file_prefix;

  // Trash i up to its arm-base cloud: the heading, the grasp type into the estimator
  // (GetTrashType), the class line, the mask scaled by 255 in place (every copy of the detection
  // sees it), the raw cloud of GetTrashCloud into workspace.raw_cloud and its point count. False
  // (WARN) when it has fewer than min_trash_cloud_size points; otherwise workspace.cloud is the
  // raw cloud moved by the estimator's camera_extrinsic_. `*is_transparent` is always written.
  // Debug files: "[mask][initial].jpg" and "[mask][eroded].jpg" (the mask before and after
  // GetTrashCloud's erosion), then, past the count, "[initial].ply" and "[transformed].ply".
  bool PrepareCloud(
    std::size_t i, DetectedObject & trash, const sensor_msgs::msg::Image & depth_image,
    bool * is_transparent) const;

  // White-list gate of trash i whose lowest point is at `trash_lowest_z` (arm-base frame): when
  // enabled, IsTrashToGrab with the estimator's base_height_; a trash it refuses is logged and
  // fails. Every trash that passes, also with the gate off, gets the acceptance line (INFO).
  bool PassesWhiteList(
    std::size_t i, const DetectedObject & trash, const std::vector<BoxInfo> & base_wating_box_infos,
    float trash_lowest_z) const;

  // Size gate of trash i's record (IsBboxWithinSizeRange): the acceptance line, or the
  // rejection and the record's obb_size (INFO, yellow and dim yellow).
  bool PassesSizeRange(std::size_t i, const orvanite_protocol::msg::TrashInfo & trash_info) const;
};

// A debug file of trash i: prefix + a fresh FormatLocalTimestamp + "[i]" + suffix.
std::string TrashDebugPath(const std::string & prefix, std::size_t i, const char * suffix);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__TRASH_STEPS_HPP_
