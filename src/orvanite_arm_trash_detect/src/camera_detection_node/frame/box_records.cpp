#include "camera_detection_node/frame/box_records.hpp"

#include <algorithm>

#include "common/ansi_colors.hpp"
#include "common/logger.hpp"
#include "common/trash_class_table.hpp"

namespace orvanite
{
namespace
{
constexpr int kBaseClassId = 9;
constexpr int kWaitingClassId = 11;
}  // namespace

BoxInfo MakeBoxInfo(const DetectedObject & obj)
{
  const cv::Rect_<float> & rect = obj.rect;
  return BoxInfo{
    static_cast<int>(rect.x),
    static_cast<int>(rect.y),
    static_cast<int>(rect.x + rect.width),
    static_cast<int>(rect.y + rect.height),
    obj.prob,
    obj.mask,
    obj.label + 1};
}

bool IsAtEdge(const DetectedObject & obj, const CameraFrameSettings & settings)
{
  const int xi = static_cast<int>(obj.rect.x);
  const int yi = static_cast<int>(obj.rect.y);
  const int wi = static_cast<int>(obj.rect.width);
  const int margin = settings.image_edge_threshold;
  if (std::min(xi, yi) < margin || xi + wi > settings.width - margin) {
    LOG_INFO("this obj is at the edge of the image");
    return true;
  }
  return false;
}

bool GetTrashObjects(
  const std::vector<DetectedObject> & objs, std::vector<DetectedObject> & trash_objs,
  const std::vector<int> & trash_class_ids, const CameraFrameSettings & settings)
{
  for (const DetectedObject & obj : objs) {
    const int class_id = obj.label + 1;
    if (
      std::find(trash_class_ids.begin(), trash_class_ids.end(), class_id) ==
      trash_class_ids.end()) {
      continue;
    }
    if (IsAtEdge(obj, settings)) {
      continue;
    }
    trash_objs.push_back(obj);
  }
  if (trash_objs.empty()) {
    LOG_WARN("cam_{}: No trash object detected !", settings.cam_id);
    return false;
  }
  return true;
}

void GetObjsBoxInfos(
  const std::vector<DetectedObject> & objs, std::vector<BoxInfo> & box_infos, int cam_id)
{
  LOG_DEBUG("cam_{0:d} ori detect bbox size = {1:d}", cam_id, objs.size());
  if (objs.empty()) {
    return;
  }
  box_infos.clear();
  for (const DetectedObject & obj : objs) {
    const BoxInfo box = MakeBoxInfo(obj);
    box_infos.push_back(box);
    LOG_DEBUG(
      "cam_{0:d}: class = {1:s}, score = {2:03.2f}, x1 = {3:d}, y1={4:d}, x2={5:d}, y2={6:d}",
      cam_id, TrashClassName(box.class_id), box.score, box.x1, box.y1, box.x2, box.y2);
  }
  LOG_DEBUG("cam_{0:d} filtered detect bbox size = {1:d}", cam_id, box_infos.size());
}

void GetBaseWaitingBoxInfos(
  const std::vector<DetectedObject> & objs, std::vector<BoxInfo> & base_wating_box_infos,
  int cam_id)
{
  base_wating_box_infos.clear();
  std::vector<BoxInfo> box_infos;
  GetObjsBoxInfos(objs, box_infos, cam_id);
  if (objs.empty()) {
    return;  // a frame without detections logs only the count
  }
  for (const BoxInfo & box : box_infos) {
    const std::string class_name = TrashClassName(box.class_id);
    LOG_INFO(
      kDim + "cam_{}: class_id = {}, class_name = {}, score = {:.3f}" + kReset, cam_id,
      box.class_id, class_name, box.score);
    if (box.class_id == kBaseClassId || box.class_id == kWaitingClassId) {
      LOG_DEBUG(
        "cam_{}: base_or_waiting, class_name = {}, add to base_wating_box_infos", cam_id,
        class_name);
      base_wating_box_infos.push_back(box);
    }
  }
  LOG_DEBUG("cam_{}: base_wating_box_infos size = {}", cam_id, base_wating_box_infos.size());
}
}  // namespace orvanite
