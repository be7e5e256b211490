// The gates a detected trash passes before it is grasped, and its grasp type.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__GRAB_GATES_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__GRAB_GATES_HPP_

#include <map>
#include <string>
#include <vector>

#include <orvanite_protocol/msg/trash_info.hpp>

#include "camera_detection_node/frame/types.hpp"
#include "trash_pose_estimate/types.hpp"

class GrabPoseEstimate;

namespace orvanite
{
// White-list gate. True when more than trash_mask_iou_v1 (strict) of the trash's box lies within
// one of `base_wating_box_infos` (overlap over the trash box's own area, both boxes counted
// inclusive of their last row and column; every box is examined and each match logged), or
// else when the trash's lowest point, trash_lowest_z + base_height metres above the floor, is
// below the class's height threshold plus ground_max_th (strict). Class ids 1..22 take their
// own ClassConf field, every other id takes `other`.
bool IsTrashToGrab(
  const DetectedObject & trash_obj, const std::vector<BoxInfo> & base_wating_box_infos,
  float trash_lowest_z, float base_height, const ClassConf & class_height_conf,
  const CameraFrameSettings & settings);

// Size gate: true when min[i] <= obb_size[i] <= max[i] for i = 0, 1, 2 under the range of the
// kTrashClassNames name of class id class_index + 1. A class without a range fails with a WARN
// line; a NaN extent fails.
bool IsBboxWithinSizeRange(
  const orvanite_protocol::msg::TrashInfo & trash_info,
  const std::map<std::string, SizeRange> & class_size_range_map);

// The grasp type of a 0-based class index; TRASH_TYPE_OTHER for every index not listed,
// negative ones included.
orvanite::TrashType TrashTypeOfClassIndex(int class_index);

// Stores TrashTypeOfClassIndex(class_index) in the estimator's trash_type_ and logs it.
void GetTrashType(int class_index, GrabPoseEstimate * grab_pose_estimate);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__GRAB_GATES_HPP_
