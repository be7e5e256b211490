#include "camera_detection_node/frame/grab_gates.hpp"

#include <algorithm>

#include "camera_detection_node/frame/box_records.hpp"
#include "common/ansi_colors.hpp"
#include "common/logger.hpp"
#include "common/trash_class_table.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace orvanite
{
namespace
{
// Share of the trash box (inclusive corners) that lies within `obstacle`. Differences are taken
// in float and the +1 terms in double, as the tuned thresholds expect.
float OverlapRatio(const BoxInfo & trash, const BoxInfo & obstacle)
{
  const auto f = [](int value) { return static_cast<float>(value); };
  const float area = static_cast<float>(
    (static_cast<double>(f(trash.x2) - f(trash.x1)) + 1.0) *
    (static_cast<double>(f(trash.y2) - f(trash.y1)) + 1.0));
  if (area <= 0.0F) {
    return 0.0F;
  }
  const double overlap_width = std::max(
    0.0, static_cast<double>(
           std::min(f(trash.x2), f(obstacle.x2)) - std::max(f(trash.x1), f(obstacle.x1))) +
           1.0);
  const double overlap_height = std::max(
    0.0, static_cast<double>(
           std::min(f(trash.y2), f(obstacle.y2)) - std::max(f(trash.y1), f(obstacle.y1))) +
           1.0);
  return static_cast<float>(overlap_width) * static_cast<float>(overlap_height) / area;
}

// Class ids 1..22 have a field of their own; every other id falls back to `other`.
float HeightThreshold(const ClassConf & class_height_conf, int class_id)
{
  const bool own_field = class_id >= 1 && class_id < static_cast<int>(kClassConfFields.size());
  return own_field ? class_height_conf.*kClassConfFields[class_id - 1].value
                   : class_height_conf.other;
}
}  // namespace

bool IsTrashToGrab(
  const DetectedObject & trash_obj, const std::vector<BoxInfo> & base_wating_box_infos,
  float trash_lowest_z, float base_height, const ClassConf & class_height_conf,
  const CameraFrameSettings & settings)
{
  const BoxInfo trash_box = MakeBoxInfo(trash_obj);
  const std::string trash_name = TrashClassName(trash_box.class_id);

  LOG_DEBUG("cam_{}: base_waiting size = {}", settings.cam_id, base_wating_box_infos.size());
  if (base_wating_box_infos.empty()) {
    LOG_DEBUG("no base waiting detected");
  }
  bool above_obstacle = false;
  for (const BoxInfo & obstacle : base_wating_box_infos) {
    const float ratio = OverlapRatio(trash_box, obstacle);
    LOG_DEBUG(
      "cam_{}: iou = {}, trash_mask_iou_v1 = {}", settings.cam_id, ratio,
      settings.trash_mask_iou_v1);
    if (ratio > settings.trash_mask_iou_v1) {
      LOG_INFO(
        kGreen + "cam_{}: trash = {} is above obstacle = {}" + kReset, settings.cam_id, trash_name,
        TrashClassName(obstacle.class_id));
      above_obstacle = true;
    }
  }
  if (above_obstacle) {
    return true;
  }

  const float floor_height = trash_lowest_z + base_height;
  LOG_DEBUG("trash_type: {0:s}, trash2floor_height: {1:5.4f}", trash_name, floor_height);
  const float threshold =
    HeightThreshold(class_height_conf, trash_box.class_id) + settings.ground_max_th;
  LOG_DEBUG("height_threshold: {0:5.4f}", threshold);
  if (threshold > floor_height) {
    LOG_INFO(kGreen + "cam_{}: trash = {} is above ground" + kReset, settings.cam_id, trash_name);
    return true;
  }
  return false;
}

bool IsBboxWithinSizeRange(
  const orvanite_protocol::msg::TrashInfo & trash_info,
  const std::map<std::string, SizeRange> & class_size_range_map)
{
  const std::string class_name = TrashClassName(trash_info.class_index + 1);
  const auto entry = class_size_range_map.find(class_name);
  if (entry == class_size_range_map.end()) {
    LOG_WARN("class_name:{} not found in class_size_range_map !", class_name);
    return false;
  }
  const SizeRange & range = entry->second;
  for (std::size_t i = 0; i < 3; ++i) {
    // Written as two "within" tests so that a NaN extent fails.
    if (!(range.min[i] <= trash_info.obb_size[i] && trash_info.obb_size[i] <= range.max[i])) {
      return false;
    }
  }
  return true;
}

orvanite::TrashType TrashTypeOfClassIndex(int class_index)
{
  switch (class_index) {
    case 0:   // paper
    case 16:  // plastic_bag
    case 18:  // cotton_ball
    case 19:  // medication_board
      return orvanite::TRASH_TYPE_PAPER;
    case 1:  // mask
      return orvanite::TRASH_TYPE_MASK;
    case 4:   // bottle
    case 15:  // paper_cup
    case 17:  // carton_box
    case 20:  // swab
    case 21:  // drinking_cup
      return orvanite::TRASH_TYPE_BOTTLE;
    default:
      return orvanite::TRASH_TYPE_OTHER;
  }
}

void GetTrashType(int class_index, GrabPoseEstimate * grab_pose_estimate)
{
  grab_pose_estimate->trash_type_ = TrashTypeOfClassIndex(class_index);
  LOG_DEBUG("Grab trash remapped type: {}", grab_pose_estimate->trash_type_);
}
}  // namespace orvanite
