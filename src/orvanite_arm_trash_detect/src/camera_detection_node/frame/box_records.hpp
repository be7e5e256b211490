// Detection filtering and box records of one frame.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__BOX_RECORDS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__BOX_RECORDS_HPP_

#include <vector>

#include "camera_detection_node/frame/types.hpp"

namespace orvanite
{
// The box record of a detection (corners truncated toward zero, mask shared).
BoxInfo MakeBoxInfo(const DetectedObject & obj);

// True when the box touches the left, top or right border: with xi, yi, wi the box's x, y and
// width truncated to int, min(xi, yi) < image_edge_threshold or
// xi + wi > width - image_edge_threshold. The bottom border is not tested. Logs an INFO line
// when at the border.
bool IsAtEdge(const DetectedObject & obj, const CameraFrameSettings & settings);

// Appends to `trash_objs` (not cleared) a copy, sharing the mask, of every detection whose class
// id (label + 1) is in `trash_class_ids` and that is not at the border; other classes are dropped
// without a line. Returns false, with a WARN line, when `trash_objs` is empty afterwards.
bool GetTrashObjects(
  const std::vector<DetectedObject> & objs, std::vector<DetectedObject> & trash_objs,
  const std::vector<int> & trash_class_ids, const CameraFrameSettings & settings);

// Appends the box record of every detection, in order, to `box_infos` (cleared first unless
// `objs` is empty), logging each at DEBUG.
void GetObjsBoxInfos(
  const std::vector<DetectedObject> & objs, std::vector<BoxInfo> & box_infos, int cam_id);

// Replaces `base_wating_box_infos` by the box records of the detections of class id 9 ("base")
// and 11 ("waiting"), in order, sharing their masks. Without detections only the count is logged.
void GetBaseWaitingBoxInfos(
  const std::vector<DetectedObject> & objs, std::vector<BoxInfo> & base_wating_box_infos,
  int cam_id);
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__BOX_RECORDS_HPP_
