// Answers print as block YAML, field by field in message order.
#include <string>

#include <gtest/gtest.h>

#include "orvanite_scene_sim/trash_pose_client.hpp"

namespace orvanite_scene_sim
{
namespace
{

TEST(ResponseYaml, PrintsEveryFieldInOrderWithExactNumbers)
{
  orvanite_protocol::srv::ArmTrashPose::Response response;
  auto & info = response.target_trash_info;
  info.class_index = 22;
  info.main_axis_type = 1;
  info.is_transparent = true;
  info.grab_pose.position.x = -0.35661768913269043;
  info.grab_pose.position.z = 2.0;
  info.grab_pose.orientation.x = 1.0;
  info.grab_pose.orientation.w = 0.0;
  info.obb_size = {0.1, 1e-20, 3.0};
  response.error_code = 102200000;
  response.error_msg = "NONE: it's";

  const std::string identity =
    "    position:\n      x: 0.0\n      y: 0.0\n      z: 0.0\n"
    "    orientation:\n      x: 0.0\n      y: 0.0\n      z: 0.0\n      w: 1.0\n";
  EXPECT_EQ(
    ResponseYaml(response),
    "target_trash_info:\n"
    "  class_index: 22\n  reserved: 0\n  main_axis_type: 1\n  is_transparent: true\n"
    "  map_pose:\n" +
      identity +
      "  grab_pose:\n"
      "    position:\n      x: -0.35661768913269043\n      y: 0.0\n      z: 2.0\n"
      "    orientation:\n      x: 1.0\n      y: 0.0\n      z: 0.0\n      w: 0.0\n"
      "  obb_pose:\n" +
      identity +
      "  obb_size:\n  - 0.1\n  - 1e-20\n  - 3.0\n"
      "error_code: 102200000\n"
      "error_msg: 'NONE: it''s'\n");
}

}  // namespace
}  // namespace orvanite_scene_sim
