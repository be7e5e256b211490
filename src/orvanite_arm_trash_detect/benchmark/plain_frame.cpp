#include "plain_frame.hpp"

#include <utility>

#include <opencv2/imgproc.hpp>
#include <pcl/common/transforms.h>

#include <cv_bridge/cv_bridge.h>

#include "camera_detection_node/frame/grab_gates.hpp"
#include "camera_detection_node/frame/trash_record.hpp"
#include "support/plain_stages.hpp"

namespace orvanite_bench
{
void PlainTrashCloud(
  const sensor_msgs::msg::Image & depth_image, orvanite::DetectedObject & obj,
  const GrabPoseEstimate & estimate, int erosion_size, Cloud & cloud)
{
  cloud.clear();
  const cv::Mat depth(
    static_cast<int>(depth_image.height), static_cast<int>(depth_image.width), CV_16UC1,
    const_cast<std::uint8_t *>(depth_image.data.data()), depth_image.step);
  cv::Mat mask = obj.mask;
  const auto points = orvanite_test::plain::MaskPoints(mask, obj.rect, erosion_size);
  const cv::Point corner(static_cast<int>(obj.rect.x), static_cast<int>(obj.rect.y));
  for (const cv::Point & offset : points) {
    const cv::Point pixel = corner + offset;
    const float z = static_cast<float>(depth.at<std::uint16_t>(pixel.y, pixel.x) / 1000.0);
    if (z > 0.0F) {
      cloud.push_back(pcl::PointXYZ(
        (static_cast<float>(pixel.x) - estimate.cx_) * z / estimate.fx_,
        (static_cast<float>(pixel.y) - estimate.cy_) * z / estimate.fy_, z));
    }
  }
}

PlainFrame::PlainFrame(
  const std::string & model_config, const std::string & grasp_config,
  std::vector<std::string> class_names, PlainCameraSettings settings)
: model_(model_config)
, estimate_(grasp_config)
, class_names_(std::move(class_names))
, settings_(settings)
{
}

std::size_t PlainFrame::Run(
  CameraDetectionNode & camera, const sensor_msgs::msg::Image::ConstSharedPtr & rgb,
  const sensor_msgs::msg::Image::ConstSharedPtr & depth)
{
  const cv_bridge::CvImagePtr color = cv_bridge::toCvCopy(rgb, "rgb8");
  std::vector<orvanite::DetectedObject> objs;
  model_.detect(color->image, objs);
  cv::Mat detected_image;
  orvanite_test::plain::DrawDetectedObjects(color->image, detected_image, objs, class_names_);
  const auto message =
    cv_bridge::CvImage(std_msgs::msg::Header(), "rgb8", detected_image).toImageMsg();
  const auto published = std::make_shared<const sensor_msgs::msg::Image>(*message);
  cv::cvtColor(color->image, color->image, cv::COLOR_RGB2BGR);
  cv::cvtColor(detected_image, detected_image, cv::COLOR_RGB2BGR);

  std::vector<orvanite::DetectedObject> trash_objs;
  std::size_t records = 0;
  if (!camera.GetTrashObjects(objs, trash_objs)) {
    return records;
  }
  std::vector<orvanite::BoxInfo> boxes;
  camera.GetBaseWaitingBoxInfos(objs, boxes);
  std::vector<Cloud> initial_clouds;
  std::vector<Cloud> processed_clouds;
  for (auto & trash : trash_objs) {
    orvanite::GetTrashType(trash.label, &estimate_);
    trash.mask = trash.mask * 255.0;
    Cloud raw;
    PlainTrashCloud(*depth, trash, estimate_, settings_.erosion_size, raw);
    if (raw.size() < settings_.min_cloud_size) {
      continue;
    }
    Cloud::Ptr cloud(new Cloud);
    pcl::transformPointCloud(raw, *cloud, estimate_.camera_extrinsic_);
    initial_clouds.push_back(*cloud);
    orvanite_test::plain::PclProcess(estimate_, cloud);
    processed_clouds.push_back(*cloud);
    if (cloud->size() < estimate_.min_trash_cloud_size_) {
      continue;
    }
    orvanite_test::plain::MeasureCloud(estimate_, cloud);
    const auto info = orvanite::MakeGraspTrashInfo(trash.label, estimate_);
    records += camera.IsBboxWithinSizeRange(info) ? 1 : 0;
  }
  (void)published;  // the publisher's copy is what it costs
  return records;
}
}  // namespace orvanite_bench
