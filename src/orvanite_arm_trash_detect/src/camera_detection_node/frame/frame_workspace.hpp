// The buffers one camera keeps from frame to frame.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__FRAME_WORKSPACE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__FRAME_WORKSPACE_HPP_

#include <memory>
#include <vector>

#include <opencv2/core.hpp>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

namespace orvanite
{
// A frame's large intermediate results, kept by the camera and overwritten by its next frame, so
// that a steady stream of frames of similar content allocates (and page-faults) nothing large
// here: each buffer only grows to the largest frame seen. Only what the frame computes lives here;
// the model's detections and every published message are made fresh each frame, since their
// memory leaves the camera.
//
// One camera's callbacks run one at a time (its node's default mutually exclusive group), and
// the buffers are only read within the frame that wrote them.
struct FrameWorkspace
{
  using Cloud = pcl::PointCloud<pcl::PointXYZ>;

  cv::Mat color;           // the colour frame as rgb8 (BGR after the debug conversion)
  cv::Mat detected_image;  // the annotated frame
  cv::Mat overlay;         // the drawing's mask overlay
  std::vector<cv::Point> mask_points;
  std::shared_ptr<Cloud> raw_cloud = std::make_shared<Cloud>();  // camera frame, one trash
  std::shared_ptr<Cloud> cloud = std::make_shared<Cloud>();      // arm-base frame, one trash
  Cloud merged_initial;    // every trash's arm-base cloud of the frame, in order
  Cloud merged_processed;  // every trash's filtered cloud of the frame, in order
};
}  // namespace orvanite

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__FRAME__FRAME_WORKSPACE_HPP_
