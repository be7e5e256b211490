// The YAML text of an ArmTrashPose answer.
#include <charconv>
#include <sstream>
#include <string>

#include "orvanite_scene_sim/trash_pose_client.hpp"

namespace orvanite_scene_sim
{

namespace
{
// Shortest round-trip text, always with a decimal point as YAML floats are shown.
std::string Number(double value)
{
  char text[64];
  const auto result = std::to_chars(text, text + sizeof(text), value);
  std::string out(text, result.ptr);
  if (out.find_first_of(".eEn") == std::string::npos) {
    out += ".0";
  }
  return out;
}

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
  out << "      x: " << Number(pose.position.x) << "\n";
  out << "      y: " << Number(pose.position.y) << "\n";
  out << "      z: " << Number(pose.position.z) << "\n";
  out << "    orientation:\n";
  out << "      x: " << Number(pose.orientation.x) << "\n";
  out << "      y: " << Number(pose.orientation.y) << "\n";
  out << "      z: " << Number(pose.orientation.z) << "\n";
  out << "      w: " << Number(pose.orientation.w) << "\n";
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
    out << "  - " << Number(extent) << "\n";
  }
  out << "error_code: " << response.error_code << "\n";
  out << "error_msg: " << Quoted(response.error_msg) << "\n";
  return out.str();
}

}  // namespace orvanite_scene_sim
