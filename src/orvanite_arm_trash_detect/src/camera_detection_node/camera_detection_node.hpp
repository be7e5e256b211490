// One camera of the detection system: its settings, intrinsics and camera-to-arm-base transform,
// its grasp-pose estimator, TF buffer and listener, segmentation model, class tables, ROS
// endpoints, and the detection handshake with the service.
//
// Built once per camera on the main thread, before the executor spins the camera's node; the
// constructor may block for up to 60 s waiting for the camera info. Configuration members are
// public and fixed after construction; the handshake unit is reachable only through its
// operations, each one short critical section under `detect_mutex_`.
#ifndef ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CAMERA_DETECTION_NODE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CAMERA_DETECTION_NODE_HPP_

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <Eigen/Core>
#include <opencv2/core.hpp>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include <message_filters/subscriber.h>
#include <message_filters/sync_policies/approximate_time.h>
#include <message_filters/synchronizer.h>
#include <orvanite_model_zoo/yolov8_seg.hpp>
#include <orvanite_protocol/msg/grab_trash_cloud.hpp>
#include <orvanite_protocol/msg/trash_info.hpp>
#include <rclcpp/rclcpp.hpp>
#include <sensor_msgs/msg/image.hpp>
#include <sensor_msgs/msg/point_cloud2.hpp>
#include <tf2_ros/buffer.h>
#include <tf2_ros/static_transform_broadcaster.h>
#include <visualization_msgs/msg/marker_array.hpp>

#include "camera_detection_node/frame/frame_workspace.hpp"
#include "camera_detection_node/frame/trash_steps.hpp"
#include "camera_detection_node/frame/types.hpp"
#include "camera_detection_node/stoppable_tf_listener.hpp"
#include "common/yaml_config_reader.hpp"
#include "trash_pose_estimate/grab_pose_estimate.hpp"

class CameraDetectionNode
{
public:
  using TrashInfo = orvanite_protocol::msg::TrashInfo;
  using GrabTrashCloud = orvanite_protocol::msg::GrabTrashCloud;
  using DetectedObject = orvanite::DetectedObject;
  using BoxInfo = orvanite::BoxInfo;
  using Image = sensor_msgs::msg::Image;
  using ImagePolicy = message_filters::sync_policies::ApproximateTime<Image, Image>;

  // Reads `config_path` (map camera_detection_params) and builds everything in this order:
  // settings, estimator and TF objects; publishers; camera info, transform and subscriptions;
  // model and class names; class tables. Throws orvanite::ConfigError (naming the file and the
  // key) on a bad configuration, and whatever rclcpp or the model library throws.
  CameraDetectionNode(std::shared_ptr<rclcpp::Node> node, std::string config_path);
  ~CameraDetectionNode();

  CameraDetectionNode(const CameraDetectionNode &) = delete;
  CameraDetectionNode & operator=(const CameraDetectionNode &) = delete;

  // Joins the TF listener's thread; the TF buffer receives nothing more. For an owner that keeps
  // the camera until the process ends, once ROS has shut down. Idempotent.
  void StopTfListener();

  // --- Detection handshake, camera side (service mode) ---
  // True when a result is wanted or every frame is to be processed.
  bool ShouldProcessFrame();
  // Empties the record list.
  void BeginDetectFrame();
  void AppendTrashInfo(const TrashInfo & trash_info);
  // Request cleared and done set, in one step.
  void FinishDetect();
  std::vector<TrashInfo> SnapshotTrashInfos();

  // --- Detection handshake, service side ---
  // Request set and done cleared, in one step.
  void RequestDetect();
  bool IsDetectDone();
  // Done cleared and the records copied, in one step.
  std::vector<TrashInfo> CollectTrashInfos();
  // Done cleared; the request stays as the camera left it.
  void AbandonDetect();

  // --- Per-frame steps with this camera's settings ---
  // Detections of a grasped class away from the left, top and right image borders.
  bool GetTrashObjects(
    const std::vector<DetectedObject> & objs, std::vector<DetectedObject> & trash_objs);
  bool IsAtEdge(DetectedObject obj);
  // Box records of every detection; those of "base" and "waiting" go to the output.
  void GetBaseWaitingBoxInfos(
    const std::vector<DetectedObject> & objs, std::vector<BoxInfo> & base_wating_box_infos);
  void GetObjsBoxInfos(const std::vector<DetectedObject> & objs, std::vector<BoxInfo> & box_infos);
  // Camera-frame cloud (metres) of the mask pixels with depth; erodes large masks in place. Uses
  // the camera's frame buffers: not to be called while one of its image callbacks runs.
  void GetTrashCloud(
    Image::ConstSharedPtr depth_image, const DetectedObject & obj,
    pcl::PointCloud<pcl::PointXYZ>::Ptr & trash_cloud, bool * is_transparent);
  // White-list gate: above a base or waiting box, or close enough to the floor for its class.
  bool IsTrashToGrab(
    const DetectedObject & obj, std::vector<BoxInfo> base_wating_box_infos, float trash_lowest_z,
    float base_height);
  bool IsBboxWithinSizeRange(const TrashInfo & trash_info);

  // --- Synchronised colour/depth callbacks (one is registered, by is_detect_grab_pose) ---
  // Service mode: grasp poses into the record list while the gate is open.
  void ImageCallback(Image::ConstSharedPtr rgb_image, Image::ConstSharedPtr depth_image);
  // Streaming mode: one GrabTrashCloud per frame with trash; never finishes the handshake.
  void ImageDetectCallback(Image::ConstSharedPtr rgb_image, Image::ConstSharedPtr depth_image);

  // --- Set-up, called by the constructor only ---
  void InitializeParams(std::string config_path);
  void InitializePublishers(std::string config_path);
  void InitializeSubscribers(std::string config_path);
  void InitializeAiModel(std::string config_path);
  void initializeClassHeightConf();
  void initializeAiConf();
  void initializeClassSizeRange();
  // Intrinsics and image size from one camera-info message (60 s wait) and the TF transform,
  // or the estimator's intrinsics and 640 x 360. False: empty topic (fallback values set) or a
  // failed look-up (intrinsics from the message, extrinsic unchanged).
  bool GetCameraParams(const std::string & camera_info_topic);
  // One look-up (0.5 s time-out) of source-frame coordinates into the target frame.
  bool GetTransformMatrix(
    std::string target_frame, std::string source_frame, rclcpp::Time time,
    Eigen::Matrix4f & transform_matrix);

private:
  // The camera file, parsed once while the constructor runs; the set-up operations read it here.
  const orvanite::YamlConfigReader & CameraFile(const std::string & config_path);
  // The estimator's intrinsics and 640 x 360, for a camera without camera info.
  void SetFallbackIntrinsics();
  // The colour image as "rgb8" into `color` (whose buffer is kept when the size is the same), or
  // false after an ERROR line when it cannot be converted.
  bool ConvertToRgb8(const Image::ConstSharedPtr & rgb_image, cv::Mat & color);
  // The start of both image callbacks: the colour frame as rgb8 (sharing the camera's buffer,
  // valid until its next frame) and the model's detections on it, `start` taken before the model
  // ran and `detect_ms` its time in whole milliseconds. Nothing when the colour image is dropped
  // (ConvertToRgb8 says why).
  struct ModelFrame
  {
    cv::Mat color;
    std::vector<DetectedObject> objs;
    std::chrono::system_clock::time_point start;
    double detect_ms;
  };
  std::optional<ModelFrame> RunModel(const Image::ConstSharedPtr & rgb_image);
  // Draws `objs` on the frame for a "seg" model (otherwise a WARN line under `operation`) and
  // publishes the annotated image, which it returns (empty when nothing was drawn; otherwise
  // sharing the camera's buffer, valid until its next frame).
  cv::Mat PublishDetectedImage(
    const cv::Mat & color_image, const std::vector<DetectedObject> & objs, const char * operation);
  // The steps both modes take for each trash, with this camera's parts, the mode's lines and,
  // when the mode writes them, the prefix of the trash's debug files.
  orvanite::TrashSteps MakeTrashSteps(
    const orvanite::TrashLines & lines, const std::string * debug_file_prefix);
  // --- Steps of the service-mode frame; their records name ImageCallback ---
  // The debug JPEG files of the colour and the annotated image (BGR).
  void SaveFrameImages(const cv::Mat & color_image, const cv::Mat & detected_image);
  // The line (and, in debug mode, the saved image) of a frame without trash to grasp.
  void ReportFrameWithoutTrash(const cv::Mat & color_image);
  // Trash i of the frame: cloud, grasp pose, gates and, when it passes them, its record; for the
  // debug and real-time topics its clouds are appended to the frame's merged clouds. False when
  // the frame must end here (aim mode without a map transform).
  bool ProcessTrash(
    const orvanite::TrashSteps & steps, std::size_t i, DetectedObject & trash,
    const Image::ConstSharedPtr & depth_image, const std::vector<BoxInfo> & base_wating_box_infos);
  // Merged clouds, one static frame per record and the two marker arrays (service mode).
  void PublishServiceResults(
    const pcl::PointCloud<pcl::PointXYZ> & processed_cloud,
    const pcl::PointCloud<pcl::PointXYZ> & initial_cloud);

  // Declaration order is the order of construction and (reversed) destruction.
  // The settings that the per-frame steps read, held here once: the members of their names
  // (cam_id_, width_, fx_, ...) below are references to its fields.
  orvanite::CameraFrameSettings frame_settings_;
  bool detect_request_{true};
  bool is_detect_done_{false};

public:
  bool is_grab_aim_trash_{false};
  std::map<std::string, orvanite::SizeRange> class_size_range_map;

private:
  std::vector<TrashInfo> trash_infos_;
  std::mutex detect_mutex_;  // guards detect_request_, is_detect_done_ and trash_infos_

public:
  std::unique_ptr<GrabPoseEstimate> grab_pose_estimate_;
  std::shared_ptr<ai_orva::model::YOLOv8Seg> m_model_;
  std::vector<std::string> class_names_;
  std::vector<int> trash_class_ids_;
  float & fx_{frame_settings_.fx};
  float & fy_{frame_settings_.fy};
  float & cx_{frame_settings_.cx};
  float & cy_{frame_settings_.cy};
  int & width_{frame_settings_.width};
  int height_{360};
  Eigen::Matrix4f cam_to_arm_base_transform_matrix_{Eigen::Matrix4f::Identity()};
  int & cam_id_{frame_settings_.cam_id};
  std::string cam_frame_id_;
  bool is_debug_{false};
  bool is_realtime_estimate_{false};
  bool is_enable_semantic_{false};
  bool is_enable_transparent_{false};
  int detect_duration_{10};  // ms, logged only
  std::string map_frame_id_{"map"};
  std::string arm_base_frame_id_{"arm_base_link"};
  int & image_edge_threshold_{frame_settings_.image_edge_threshold};  // pixels
  unsigned int min_trash_cloud_size_treshold_{50};                    // points
  float & null_ratio_threshold_{frame_settings_.null_ratio_threshold};
  float & hw_ratio_threshold_{frame_settings_.hw_ratio_threshold};
  float transparent_grab_z_threshold_{0.1f};                    // metres, no configuration key
  int & mask_erosion_size_{frame_settings_.mask_erosion_size};  // pixels
  std::string m_model_type_;
  std::shared_ptr<rclcpp::Node> node_;
  message_filters::Subscriber<Image, rclcpp::Node> rgb_sub_;
  message_filters::Subscriber<Image, rclcpp::Node> depth_sub_;
  std::shared_ptr<message_filters::Synchronizer<ImagePolicy>> sync_;
  std::unique_ptr<tf2_ros::Buffer> tf_buffer_;
  // Fills tf_buffer_ from a thread of this camera's own; goes, thread joined, before the buffer.
  std::unique_ptr<orvanite::StoppableTfListener> tf_listener_;
  std::shared_ptr<tf2_ros::StaticTransformBroadcaster> static_broadcaster_;
  rclcpp::Publisher<Image>::SharedPtr detected_image_pub_;
  rclcpp::Publisher<sensor_msgs::msg::PointCloud2>::SharedPtr trashes_cloud_pub_;
  rclcpp::Publisher<sensor_msgs::msg::PointCloud2>::SharedPtr trashes_init_cloud_pub_;
  rclcpp::Publisher<visualization_msgs::msg::MarkerArray>::SharedPtr trash_obb_markers_pub_;
  rclcpp::Publisher<visualization_msgs::msg::MarkerArray>::SharedPtr trash_pose_markers_pub_;
  rclcpp::Publisher<GrabTrashCloud>::SharedPtr grab_trash_cloud_pub_;
  orvanite::ClassConf ai_conf_{};
  orvanite::ClassConf class_height_conf_{};
  float & trash_mask_iou_v1_{frame_settings_.trash_mask_iou_v1};
  float & ground_max_th_{frame_settings_.ground_max_th};  // metres

private:
  std::optional<orvanite::YamlConfigReader> camera_file_;  // only during construction

  // Kept from frame to frame so that a steady frame allocates no large buffer; used only by this
  // camera's image callbacks, which never run at the same time.
  orvanite::FrameWorkspace frame_workspace_;
};

#endif  // ORVANITE_ARM_TRASH_DETECT__CAMERA_DETECTION_NODE__CAMERA_DETECTION_NODE_HPP_
