#ifndef ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__GRAB_POSE_ESTIMATE_HPP_
#define ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__GRAB_POSE_ESTIMATE_HPP_

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include <Eigen/Core>
#include <Eigen/Geometry>
#include <opencv2/core/types.hpp>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include "trash_pose_estimate/outlier_filter_workspace.hpp"
#include "trash_pose_estimate/types.hpp"

namespace orvanite
{
struct RoutineVoice;
}  // namespace orvanite

// Turns the point cloud of one trash item, already in the arm-base frame (metres, z up), into a
// grasp pose for the arm's tool centre point (TCP) and the pose of the item's oriented box.
//
// One estimator per camera. Members are public: the camera node writes `trash_type_` and may
// overwrite `camera_extrinsic_`, and reads the results and debug prefixes after each call. The
// estimation calls rewrite the working members, so calls on one object must not overlap.
class GrabPoseEstimate
{
public:
  using Cloud = pcl::PointCloud<pcl::PointXYZ>;

  // Steps of the height rules of a top-down grasp, in the order they apply; each caller logs
  // them in its own voice.
  enum class HeightRule
  {
    kTooLow,
    kSetToLowest,
    kLowered,
    kBelowClamp,
    kClamped,
  };

  // Loads the grasp-pose YAML file (maps camera_extrinsic, camera_intrinsic, grab_pose_estimate,
  // debug_choice; every key required, every number within its range of config_ranges.hpp) and
  // creates the debug folders.
  // Throws orvanite::ConfigError naming the file and the key (or folder) that failed.
  explicit GrabPoseEstimate(std::string config_path);

  // --- Filtering (grab_pose_filtering.cpp) ---

  // Largest |coordinate| (metres, arm-base frame) of a point that a camera can have measured.
  static constexpr float kMaxCoordinate = 1.0e4f;

  // Voxel grid (clouds above 1000 points), height-dependent pass-through above the lowest point,
  // statistical outlier removal. Callers pass one cloud twice; it is filtered in place. When the
  // pass-through band keeps fewer than `min_trash_cloud_size_` points the input is restored
  // before outlier removal. Sets the trash_* and processed_trash_* heights. Never throws itself.
  //
  // Points with a non-finite coordinate or one beyond kMaxCoordinate are dropped from the input
  // first, with one WARN line: PCL's neighbour search and eigen solvers abort on them. A cloud
  // of physical points is not changed by this. A cloud that is then empty (given empty, or made
  // only of such points) is returned at once with the six heights NaN, and the grasp-pose
  // routines return ESTIMATE_TOO_FEW_POINTS for it.
  void PclProcessFunc(Cloud::Ptr & input_cloud, Cloud::Ptr & output_cloud);
  // Cuts away points below a plane through the point nearest to the camera at `height`, rising
  // by tan(`angle` degrees) per metre away from the camera.
  void CutCloudAtNearestPoint(Cloud::Ptr & cloud, float height, float angle);
  // Keeps the points p with (p - plane_point) . plane_normal <= 0 (NaN points included).
  void CutCloudByPlane(
    Cloud::Ptr & cloud, const Eigen::Vector3f & plane_point, const Eigen::Vector3f & plane_normal);
  // Point nearest to (farthest from) the camera in the XY plane; first wins on ties, NaN never
  // wins, (0, 0, 0) when no point qualifies.
  pcl::PointXYZ FindNearestPointXY(Cloud::Ptr cloud);
  pcl::PointXYZ FindFarthestPointXY(Cloud::Ptr cloud);
  // Re-points `cloud` to its largest Euclidean cluster (tolerance 0.02 m) of its measurable
  // points (see PclProcessFunc; the others are left out, with the WARN line); unchanged if none.
  void PclClusterProcess(Cloud::Ptr & cloud);

  // --- Measurement (grab_pose_measurement.cpp); the cloud is not changed ---

  // Throws pcl::InitFailedException for fewer than 3 points.
  void PCAFunc(Cloud::Ptr & cloud);
  // The oriented box of the measurable points (see PclProcessFunc; the others are left out,
  // with the WARN line).
  void OBBFunc(Cloud::Ptr & cloud);
  void AABBFunc(Cloud::Ptr & cloud);
  void MinAreaRectFunc(Cloud::Ptr & cloud);
  // Writes `min_rect_direction_` into direction[0] and direction[1].
  void GetMinAreaRectDirection(float * direction);
  // Width of the cloud across the camera's line of sight to its nearest point, metres.
  float GetTrashProjectWith(Cloud::Ptr & cloud);

  // --- Workspace and main-axis checks (grab_pose_checks.cpp) ---

  // Reach from the shoulder joint and azimuth within the workspace limits (limits pass).
  bool IsInWorkspace(const Eigen::Vector3f & position);
  // Types 1 (lying) .. 2 (steep) by the axis tilt; turns lying axes to x >= 0 and steep ones to
  // z <= 0. An axis with |z| >= 1 or NaN keeps its value and `main_axis_type` is left as it was.
  void GetMainaxisType(Eigen::Vector3f & main_axis, int & main_axis_type);
  // Reach window of the grasp mode of `main_axis_type`, growing with the height above the floor;
  // true for types other than 1 to 4.
  bool isInGrabSpace(int main_axis_type, const Eigen::Vector3f & position);

  // --- Grasp-pose routines (grab_pose_opaque.cpp, grab_pose_transparent.cpp,
  // grab_pose_common_routine.cpp); they call the shared steps (grab_pose_placement.cpp,
  // grab_pose_routine_steps.cpp), which call the checks, the measurement and the filtering,
  // never the other way ---

  // Returns an EstimateFlag; on ESTIMATE_OK grab_tcp_, grab_pose_, obb_pose_, main_axis_type_
  // and pca_size_ describe this item. Filters the cloud in place; unmeasurable points are dropped
  // (PclProcessFunc), so a cloud of nothing else gives ESTIMATE_TOO_FEW_POINTS.
  int GetInitialGrabPose(Cloud::Ptr & cloud);
  // Horizontal grasp beyond the point nearest to the camera; never returns
  // ESTIMATE_AXIS_TYPE_UNHANDLED and leaves main_axis_type_ unchanged.
  int GetTransparentGrabPose(Cloud::Ptr & cloud);
  // Variant of GetInitialGrabPose that also checks isInGrabSpace: 1, 11 (99 points or fewer),
  // 41, 101, 311 or 1111. Does not compute obb_pose_.
  int CommonGrabPoseFunc(Cloud::Ptr & cloud);

  // Shared steps. Moves the TCP away from the camera by an extension that depends on the item's thickness,
  // then keeps it at least 0.008 m above trash_lowest_z_.
  void ExtendGrabTCP(Eigen::Vector3f & tcp);
  void AssignGrabPose(
    const Eigen::Vector3f & position, const Eigen::Quaterniond & orientation,
    orvanite::GrabPose & grab_pose);
  // The oriented box pose expressed in the frame of `grab_pose`.
  void GetObbPose(
    orvanite::GrabPose & obb_pose, const orvanite::GrabPose & grab_pose,
    const Eigen::Vector3f & obb_position, const Eigen::Matrix3f & obb_rotation);
  // Quaternion of a turn by `angle_degrees` about `axis` (not normalised).
  void AxisAngleDegreesToQuaternion(
    Eigen::Quaterniond & quaternion, const Eigen::Vector3d & axis, float angle_degrees);
  bool AlwaysTrueGrabCheck(orvanite::GrabPose grab_pose);
  bool AlwaysFalseGrabCheck(orvanite::GrabPose grab_pose);

  // --- Input from the camera node ---
  int trash_type_{0};  // no orvanite::TrashType until the camera node sets one

  // --- Camera parameters ---
  Eigen::Matrix4f camera_extrinsic_{Eigen::Matrix4f::Identity()};  // camera -> arm base
  bool is_eye_on_hand_{false};
  bool is_use_euler_{false};
  std::array<float, 3> base2flange_euler_{};  // degrees: roll, pitch, yaw
  std::array<float, 3> base2flange_T_{};
  Eigen::Matrix4f base2flange_matrix_{Eigen::Matrix4f::Identity()};
  Eigen::Matrix4f flange2camera_matrix_{Eigen::Matrix4f::Identity()};
  std::array<float, 3> Rxyz_{};  // degrees: roll, pitch, yaw
  std::array<float, 3> Txyz_{};
  float fx_{0.0f};  // fallback intrinsics, pixels
  float fy_{0.0f};
  float cx_{0.0f};
  float cy_{0.0f};

  // --- Tuning (metres and degrees) ---
  float base_height_{0.176f};
  float finger2tcp_{0.0f};
  float extra_length_ratio_{0.8f};
  float workspace_r_min_{0.3f};
  float workspace_r_max_{0.8f};
  float arm_dh_d1_{0.1555f};
  float arm_dh_a1_{0.01125f};
  float workspace_angle_min_{-60.0f};
  float workspace_angle_max_{60.0f};
  float grab_vertical_distance_min_{0.2f};
  float grab_vertical_distance_max_{0.6f};
  float grab_vertical_angle_min_{-60.0f};
  float grab_vertical_angle_max_{60.0f};
  float grab_parallel_distance_min_{0.5f};
  float grab_parallel_distance_max_{0.7f};
  float grab_parallel_angle_min_{-60.0f};
  float grab_parallel_angle_max_{60.0f};
  float sor_leaf_size_{0.001f};
  int sor2_meank_value_{50};
  float pass_ajust_value_1_{0.003f};
  float pass_ajust_value_2_{0.003f};
  float pass_ajust_value_3_{0.003f};
  unsigned int min_trash_cloud_size_{34};
  float tcp_ajust_value_{0.008f};
  float tcp_ajust_threshold_{0.02f};
  float extend_height_threshold_{0.03f};
  float extend_lenth_threshold_{0.04f};
  float extend_length_max_{0.012f};
  float transparent_height_ratio_{1.8f};
  float remove_cloud_angle_{15.0f};
  float remove_bottom_height_threshold_1_{0.024f};
  float remove_bottom_height_threshold_2_{0.05f};
  float remove_bottom_height_threshold_3_{0.07f};

  // --- Debug choices ---
  bool is_grab_slanted_{false};
  bool enable_process_cloud_{true};
  bool enable_pcacenter_extend_{true};
  bool is_on_floor_{false};
  std::string trash_code_{"code"};
  std::string trash_test_pose_{"test_pose"};
  std::string file_name_suffix_{"suffix"};

  // --- Debug folders and file prefixes ---
  std::string data_dir_{"/opt/orvanite/trash_pose_detect_data/"};
  std::string file_prefix_;
  std::string missing_detect_prefix_{"/opt/orvanite/trash_pose_detect_data/"};

  // --- Working state and results ---
  float pass_ajust_value_{0.003f};
  float trash_lowest_z_{0.0f};
  float trash_highest_z_{0.0f};
  float trash_height_{0.0f};
  float processed_trash_lowest_z_{0.0f};
  float processed_trash_highest_z_{0.0f};
  float processed_trash_height_{0.0f};
  Eigen::Matrix3f pca_eigen_vectors_{Eigen::Matrix3f::Identity()};  // columns, largest first
  Eigen::Vector4f pca_center_{Eigen::Vector4f::UnitW()};
  std::array<float, 3> pca_size_{};  // extents along the principal axes
  Eigen::Matrix3f obb_rotation_{Eigen::Matrix3f::Identity()};
  Eigen::Vector3f obb_position_{Eigen::Vector3f::Zero()};
  Eigen::Quaternionf obb_orientation_{Eigen::Quaternionf::Identity()};
  pcl::PointXYZ obb_min_point_{0.0f, 0.0f, 0.0f};
  pcl::PointXYZ obb_max_point_{0.0f, 0.0f, 0.0f};
  std::array<float, 3> aabb_center_{};
  pcl::PointXYZ aabb_min_point_{0.0f, 0.0f, 0.0f};
  pcl::PointXYZ aabb_max_point_{0.0f, 0.0f, 0.0f};
  std::array<cv::Point2f, 4> min_rect_points_{};
  std::array<float, 2> min_rect_direction_{};  // unit vector along the long side, x >= 0
  float grab_distance_{0.0f};
  float grab_angle_{0.0f};
  float extend_length_{0.0f};
  int main_axis_type_{1};
  Eigen::Vector3f grab_mainaxis_{Eigen::Vector3f::Zero()};
  Eigen::Vector3f grab_tcp_{Eigen::Vector3f::Zero()};
  orvanite::GrabPose grab_pose_{Eigen::Vector3f::Zero(), Eigen::Quaterniond::Identity()};
  orvanite::GrabPose obb_pose_{Eigen::Vector3f::Zero(), Eigen::Quaterniond::Identity()};

private:
  // The outlier filter's buffers, kept from one cloud to the next.
  orvanite::OutlierFilterWorkspace outlier_filter_workspace_;

  // `cloud` itself when every point is measurable (finite, within kMaxCoordinate); otherwise a
  // copy without the others, after one WARN line that counts them.
  static Cloud::Ptr MeasurablePart(const Cloud::Ptr & cloud);
  // min_trash_cloud_size_, but at least the three points that PCA needs.
  std::size_t MeasurablePointMinimum() const;
  // The start of every routine, its lines in the routine's `voice`: PclProcessFunc, at least
  // `minimum` points, MeasureCloud, grab_tcp_ at the PCA centre and the workspace check.
  // ESTIMATE_OK, ESTIMATE_TOO_FEW_POINTS or ESTIMATE_OUT_OF_WORKSPACE.
  int FilterAndMeasure(
    Cloud::Ptr & cloud, const orvanite::RoutineVoice & voice, std::size_t minimum);
  // GetInitialGrabPose and CommonGrabPoseFunc below their headline: FilterAndMeasure, the
  // main-axis type, the lying or steep grasp and AssignGrabPose into grab_pose_. ESTIMATE_OK, a
  // code of FilterAndMeasure, a grasp-space code (voice.checks_grab_space) or
  // ESTIMATE_AXIS_TYPE_UNHANDLED.
  int PlaceGrasp(Cloud::Ptr & cloud, const orvanite::RoutineVoice & voice, std::size_t minimum);
  // The top-down grasp of a lying item and the horizontal grasp of a steep one: main axis, TCP
  // and `orientation`. ESTIMATE_OK or a grasp-space code.
  int PlaceLyingGrasp(const orvanite::RoutineVoice & voice, Eigen::Quaterniond & orientation);
  int PlaceSteepGrasp(const orvanite::RoutineVoice & voice, Eigen::Quaterniond & orientation);
  // DEBUG "grab_mainaxis_: x, y, z" under `routine`.
  void LogMainAxis(const char * routine) const;
  // PCAFunc, OBBFunc, AABBFunc, MinAreaRectFunc.
  void MeasureCloud(Cloud::Ptr & cloud);
  // GetMainaxisType on the first principal axis, which is turned in place.
  void ClassifyMainAxis();
  // Along the long side of the footprint rectangle, in the floor plane.
  Eigen::Vector3f LyingMainAxis();
  // Top-down grasp: extension of long, tall items, the height rules, then the floor height
  // when is_on_floor_. Returns the height rules that applied, in order.
  std::vector<HeightRule> PlaceLyingTcp();
  // Horizontal grasp: extension, then tcp_ajust_value_ further from `away_from` in the floor
  // plane.
  void PlaceSteepTcp(const Eigen::Vector2f & away_from);
  Eigen::Vector2f CameraPositionXY() const;
  // The point of `cloud` nearest to the camera in the floor plane (FindNearestPointXY) and the
  // offset from the camera to it, x and y in metres.
  struct FloorSight
  {
    pcl::PointXYZ nearest;
    float dx;
    float dy;
  };
  FloorSight SightToNearestPoint(Cloud::Ptr & cloud);
  // Runs `filter` on `cloud` into workspace_.filtered and swaps the result in: the cloud that
  // filter.filter(*cloud) gives, without PCL's temporary cloud for a filter in place.
  template <typename Filter>
  void FilterInPlace(Filter & filter, Cloud::Ptr & cloud);

  // Buffers that the filtering and measurement keep from call to call, each growing to the
  // largest cloud seen, so that clouds of similar sizes allocate no large block here. Their
  // contents mean nothing between calls.
  struct Workspace
  {
    Cloud input_copy;  // PclProcessFunc's input, for when the pass-through keeps too few points
    Cloud filtered;    // a filter's output, swapped with the cloud it filtered
    Cloud projected;   // PCAFunc's cloud in its principal axes
    std::vector<cv::Point2f> footprint;  // the cloud's XY points
  };
  Workspace workspace_;
};

#endif  // ORVANITE_ARM_TRASH_DETECT__TRASH_POSE_ESTIMATE__GRAB_POSE_ESTIMATE_HPP_
