// Records from the estimator's results, pose composition, static frames and markers.
#include "camera_detection_node/frame/grab_pose_markers.hpp"

#include <cmath>
#include <string>
#include <vector>

#include <Eigen/Geometry>
#include <gtest/gtest.h>

#include "camera_detection_node/frame/trash_record.hpp"

namespace
{
using orvanite_protocol::msg::TrashInfo;

geometry_msgs::msg::Pose MakePose(
  double x, double y, double z, double qx, double qy, double qz, double qw)
{
  geometry_msgs::msg::Pose pose;
  pose.position.x = x;
  pose.position.y = y;
  pose.position.z = z;
  pose.orientation.x = qx;
  pose.orientation.y = qy;
  pose.orientation.z = qz;
  pose.orientation.w = qw;
  return pose;
}

void ExpectPoseNear(
  const geometry_msgs::msg::Pose & actual, const geometry_msgs::msg::Pose & expected)
{
  EXPECT_NEAR(actual.position.x, expected.position.x, 1e-9);
  EXPECT_NEAR(actual.position.y, expected.position.y, 1e-9);
  EXPECT_NEAR(actual.position.z, expected.position.z, 1e-9);
  // q and -q are one rotation.
  const double dot =
    actual.orientation.x * expected.orientation.x + actual.orientation.y * expected.orientation.y +
    actual.orientation.z * expected.orientation.z + actual.orientation.w * expected.orientation.w;
  EXPECT_NEAR(std::abs(dot), 1.0, 1e-9);
}

const double kHalf = std::sqrt(0.5);

TEST(PoseComposition, OuterRotationActsOnTheInnerPositionAndOrientation)
{
  // Outer: quarter turn about z at (1, 2, 3); inner: (0.5, 0, 0), quarter turn about x.
  const auto outer = MakePose(1, 2, 3, 0, 0, kHalf, kHalf);
  const auto inner = MakePose(0.5, 0, 0, kHalf, 0, 0, kHalf);
  // R_z(90) * R_x(90) = quaternion (0.5, 0.5, 0.5, 0.5); the inner x offset turns into +y.
  ExpectPoseNear(orvanite::ComposePoses(outer, inner), MakePose(1, 2.5, 3, 0.5, 0.5, 0.5, 0.5));

  geometry_msgs::msg::Transform transform;
  transform.translation.x = 1;
  transform.translation.y = 2;
  transform.translation.z = 3;
  transform.rotation = outer.orientation;
  ExpectPoseNear(orvanite::ComposePoses(transform, inner), MakePose(1, 2.5, 3, 0.5, 0.5, 0.5, 0.5));
}

TEST(TrashRecords, StreamingRecordsCarryIdentityPosesAndWidenedExtents)
{
  const TrashInfo info = orvanite::MakeCloudTrashInfo(260, true, {0.1f, 0.2f, 0.3f});
  EXPECT_EQ(info.class_index, 4);  // low 8 bits of the label
  EXPECT_EQ(info.main_axis_type, 0);
  EXPECT_TRUE(info.is_transparent);
  EXPECT_EQ(info.grab_pose.orientation.w, 1.0);
  EXPECT_EQ(info.map_pose.orientation.w, 1.0);
  EXPECT_EQ(info.obb_size[1], static_cast<double>(0.2f));
}

std::vector<TrashInfo> TwoRecords()
{
  TrashInfo first;
  first.grab_pose = MakePose(0.5, 0.1, 0.02, 0, 0, 0, 1);
  first.obb_pose = MakePose(0.01, 0, 0, 0, 0, kHalf, kHalf);
  first.obb_size = {0.2, 0.1, 0.05};
  TrashInfo second;
  second.grab_pose = MakePose(0.6, -0.1, 0.03, 0, 0, kHalf, kHalf);
  return {first, second};
}

orvanite::StampSource CountingStamps()
{
  auto count = std::make_shared<int32_t>(0);
  return [count]() {
    builtin_interfaces::msg::Time stamp;
    stamp.sec = ++*count;
    return stamp;
  };
}

TEST(GrabPoseFrames, OneChildFramePerRecordCountedFromOne)
{
  const auto frames =
    orvanite::MakeGrabPoseFrames(TwoRecords(), "arm_base_link", 1, CountingStamps());
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].child_frame_id, "cam_1_trash_pose_1");
  EXPECT_EQ(frames[1].child_frame_id, "cam_1_trash_pose_2");
  EXPECT_EQ(frames[1].header.frame_id, "arm_base_link");
  EXPECT_EQ(frames[1].header.stamp.sec, 2);
  EXPECT_EQ(frames[1].transform.translation.x, 0.6);
  EXPECT_EQ(frames[1].transform.rotation.z, kHalf);
  EXPECT_EQ(
    orvanite::MakeGrabPoseFrames(TwoRecords(), "arm_base_link", -1, CountingStamps())[0]
      .child_frame_id,
    "cam_-1_trash_pose_1");
}

TEST(GrabPoseMarkers, BoxMarkersSitAtTheComposedBoxPose)
{
  const auto markers = orvanite::MakeObbMarkers(TwoRecords(), "arm_base_link", 1, CountingStamps());
  ASSERT_EQ(markers.markers.size(), 2u);
  const auto & box = markers.markers[0];
  EXPECT_EQ(box.ns, "cam_1_trash_obb");
  EXPECT_EQ(box.id, 0);
  EXPECT_EQ(markers.markers[1].id, 1);
  EXPECT_EQ(box.type, visualization_msgs::msg::Marker::CUBE);
  EXPECT_EQ(box.action, visualization_msgs::msg::Marker::ADD);
  EXPECT_EQ(box.header.frame_id, "arm_base_link");
  ExpectPoseNear(box.pose, MakePose(0.51, 0.1, 0.02, 0, 0, kHalf, kHalf));
  EXPECT_EQ(box.scale.x, 0.2);
  EXPECT_EQ(box.scale.z, 0.05);
  EXPECT_EQ(box.color.g, 1.0f);
  EXPECT_EQ(box.color.r, 0.0f);
  EXPECT_FLOAT_EQ(box.color.a, 0.36f);
  EXPECT_EQ(box.lifetime.sec, 10);
  EXPECT_EQ(box.lifetime.nanosec, 0u);
}

TEST(GrabPoseMarkers, TwoArrowsPerRecordTheSecondAlongTheGraspZAxis)
{
  const auto markers = orvanite::MakePoseMarkers(TwoRecords(), "arm_base_link", CountingStamps());
  ASSERT_EQ(markers.markers.size(), 4u);
  const char * const namespaces[] = {
    "trash_pose_x", "trash_pose_z", "trash_pose_x", "trash_pose_z"};
  for (std::size_t m = 0; m < 4; ++m) {
    const auto & marker = markers.markers[m];
    EXPECT_EQ(marker.ns, namespaces[m]);
    EXPECT_EQ(marker.id, static_cast<int32_t>(m / 2));
    EXPECT_EQ(marker.type, visualization_msgs::msg::Marker::ARROW);
    EXPECT_EQ(marker.header.stamp.sec, static_cast<int32_t>(m + 1));  // a stamp per marker
    EXPECT_EQ(marker.scale.x, 0.1);
    EXPECT_EQ(marker.scale.y, 0.01);
    EXPECT_EQ(marker.lifetime.sec, 10);
    EXPECT_FLOAT_EQ(marker.color.a, 0.8f);
  }
  EXPECT_EQ(markers.markers[0].color.r, 1.0f);
  EXPECT_EQ(markers.markers[1].color.b, 1.0f);
  ExpectPoseNear(markers.markers[0].pose, TwoRecords()[0].grab_pose);
  // Identity grasp turned by -90 degrees about y: the arrow's x axis is the grasp z axis.
  ExpectPoseNear(markers.markers[1].pose, MakePose(0.5, 0.1, 0.02, 0, -kHalf, 0, kHalf));
  // Quarter turn about z, then -90 degrees about the turned y axis.
  const auto & z2 = markers.markers[3].pose.orientation;
  const Eigen::Quaterniond expected =
    Eigen::Quaterniond(kHalf, 0, 0, kHalf) * Eigen::Quaterniond(kHalf, 0, -kHalf, 0);
  EXPECT_NEAR(z2.x, expected.x(), 1e-12);
  EXPECT_NEAR(z2.y, expected.y(), 1e-12);
  EXPECT_NEAR(z2.z, expected.z(), 1e-12);
  EXPECT_NEAR(z2.w, expected.w(), 1e-12);
  EXPECT_NEAR(std::hypot(std::hypot(z2.x, z2.y), std::hypot(z2.z, z2.w)), 1.0, 1e-12);
}
}  // namespace
