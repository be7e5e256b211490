// The YAML text of an ArmTrashPose answer.
#include <sstream>
#include <string>

#include "orvanite_scene_sim/trash_pose_client.hpp"
#include "orvanite_scene_sim/yaml_node.hpp"

namespace orvanite_scene_sim
{

namespace
{

std::string Quoted(const std::string & text)
{
  std::string out = "'";
  for (const char c : text) {
    out += c == '\'' ? std::string("''") : std::string(1, c);
  }
  return out + "'";
}

void WritePose(std::ostream & out, const std::string & name, const geometry_msgs::msg::Pose & pose)
{
  out << "  " << name << ":\n";
  out << "    position:\n";
  out << "      x: " << YamlFloat(pose.position.x) << "\n";
  out << "      y: " << YamlFloat(pose.position.y) << "\n";
  out << "      z: " << YamlFloat(pose.position.z) << "\n";
  out << "    orientation:\n";
  out << "      x: " << YamlFloat(pose.orientation.x) << "\n";
  out << "      y: " << YamlFloat(pose.orientation.y) << "\n";
  out << "      z: " << YamlFloat(pose.orientation.z) << "\n";
  out << "      w: " << YamlFloat(pose.orientation.w) << "\n";
}
}  // namespace

std::string ResponseYaml(const orvanite_protocol::srv::ArmTrashPose::Response & response)
{
  const auto & info = response.target_trash_info;
  std::ostringstream out;
  out << "target_trash_info:\n";
  out << "  class_index: " << static_cast<int>(info.class_index) << "\n";
  out << "  reserved: " << static_cast<int>(info.reserved) << "\n";
  out << "  main_axis_type: " << static_cast<int>(info.main_axis_type) << "\n";
  out << "  is_transparent: " << (info.is_transparent ? "true" : "false") << "\n";
  WritePose(out, "map_pose", info.map_pose);
  WritePose(out, "grab_pose", info.grab_pose);
  WritePose(out, "obb_pose", info.obb_pose);
  out << "  obb_size:\n";
  for (const double extent : info.obb_size) {
    out << "  - " << YamlFloat(extent) << "\n";
  }
  out << "error_code: " << response.error_code << "\n";
  out << "error_msg: " << Quoted(response.error_msg) << "\n";
  return out.str();
}

}  // namespace orvanite_scene_sim
