// A service-mode frame computed the plain way, stage by stage as the camera and estimator were
// first written: whole-frame fill and erosion, PCL's outlier filter, two complete
// moment-of-inertia estimations on copies, the colour conversions with debug off, clouds copied
// into merge lists and the annotated image copied twice on publishing. The grasp placement after
// the measurement (microseconds) is left out.
#ifndef ORVANITE_ARM_TRASH_DETECT__BENCHMARK__PLAIN_FRAME_HPP_
#define ORVANITE_ARM_TRASH_DETECT__BENCHMARK__PLAIN_FRAME_HPP_

#include <memory>
#include <string>
#include <vector>

#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include "camera_detection_node/camera_detection_node.hpp"
#include "orvanite_model_zoo/yolov8_seg.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

namespace orvanite_bench
{
using Cloud = pcl::PointCloud<pcl::PointXYZ>;

struct PlainCameraSettings
{
  int erosion_size = 1;
  std::size_t min_cloud_size = 50;
};

// The camera cloud of one detection from whole-frame erosion, back-projected as the camera does.
void PlainTrashCloud(
  const sensor_msgs::msg::Image & depth_image, orvanite::DetectedObject & obj,
  const GrabPoseEstimate & estimate, int erosion_size, Cloud & cloud);

class PlainFrame
{
public:
  PlainFrame(
    const std::string & model_config, const std::string & grasp_config,
    std::vector<std::string> class_names, PlainCameraSettings settings);

  // One frame; `camera` supplies the detection filters and gates that did not change. Returns
  // the number of records.
  std::size_t Run(
    CameraDetectionNode & camera, const sensor_msgs::msg::Image::ConstSharedPtr & rgb,
    const sensor_msgs::msg::Image::ConstSharedPtr & depth);

private:
  ai_orva::model::YOLOv8Seg model_;
  GrabPoseEstimate estimate_;
  std::vector<std::string> class_names_;
  PlainCameraSettings settings_;
};
}  // namespace orvanite_bench

#endif  // ORVANITE_ARM_TRASH_DETECT__BENCHMARK__PLAIN_FRAME_HPP_
