// The interface types as clients see them by default.
#include <gtest/gtest.h>

#include "orvanite_protocol/msg/grab_trash_cloud.hpp"
#include "orvanite_protocol/msg/trash_info.hpp"
#include "orvanite_protocol/srv/arm_trash_pose.hpp"

namespace
{
void ExpectIdentity(const geometry_msgs::msg::Pose & pose)
{
  EXPECT_EQ(pose.position.x, 0.0);
  EXPECT_EQ(pose.position.y, 0.0);
  EXPECT_EQ(pose.position.z, 0.0);
  EXPECT_EQ(pose.orientation.x, 0.0);
  EXPECT_EQ(pose.orientation.y, 0.0);
  EXPECT_EQ(pose.orientation.z, 0.0);
  EXPECT_EQ(pose.orientation.w, 1.0);
}

TEST(Messages, DefaultTrashInfoHasIdentityPoses)
{
  const orvanite_protocol::msg::TrashInfo info;
  EXPECT_EQ(info.class_index, 0);
  EXPECT_EQ(info.reserved, 0);
  EXPECT_EQ(info.main_axis_type, 0);
  EXPECT_FALSE(info.is_transparent);
  ExpectIdentity(info.map_pose);
  ExpectIdentity(info.grab_pose);
  ExpectIdentity(info.obb_pose);
  EXPECT_EQ(info.obb_size, (std::array<double, 3>{0.0, 0.0, 0.0}));
}

TEST(Messages, DefaultServiceResponse)
{
  const orvanite_protocol::srv::ArmTrashPose::Response response;
  EXPECT_EQ(response.error_code, 0);
  EXPECT_TRUE(response.error_msg.empty());
  ExpectIdentity(response.target_trash_info.grab_pose);
  const orvanite_protocol::srv::ArmTrashPose::Request request;
  EXPECT_EQ(request.cmd, 0);
  EXPECT_EQ(request.cam_choice, 0);
  ExpectIdentity(request.aim_trash_info.map_pose);
}

TEST(Messages, GrabTrashCloudStartsEmpty)
{
  const orvanite_protocol::msg::GrabTrashCloud cloud;
  EXPECT_EQ(cloud.cam_id, 0);
  EXPECT_TRUE(cloud.frame_id.empty());
  EXPECT_TRUE(cloud.trash_infos.empty());
  EXPECT_TRUE(cloud.trash_clouds.empty());
}
}  // namespace
