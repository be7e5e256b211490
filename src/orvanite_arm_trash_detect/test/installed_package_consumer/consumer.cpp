// Uses the service types and the library's code through the installed headers only.
#include <iostream>

#include <orvanite_arm_trash_detect/common/error_code.hpp>
#include <orvanite_arm_trash_detect/trash_pose_detection/detection_node.hpp>

int main()
{
  orvanite_protocol::srv::ArmTrashPose::Response response;
  response.error_code = orvanite::NONE;
  response.error_msg = orvanite::ErrorCodeText(orvanite::NONE);
  std::cout << response.error_code << " " << response.error_msg << "\n";
  return 0;
}
