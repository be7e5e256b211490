#include "orvanite_demo/error_table.hpp"

#include <array>
#include <cstdio>
#include <ostream>
#include <vector>

#include "answer_note.hpp"
#include "orvanite_demo/demo_session.hpp"
#include "orvanite_demo/grasp_check.hpp"
#include "orvanite_scene_sim/ground_truth.hpp"

namespace orvanite_demo
{

namespace
{
struct MaskKind
{
  const char * name;
  int grow_px;
};
constexpr std::array<MaskKind, 3> kMaskKinds = {{{"exact", 0}, {"bleed3", 3}, {"shrunk3", -3}}};
// Wider than a grasp's offset from the centre, narrower than half the gap between objects.
constexpr double kAimRadius = 0.1;  // m
// The table measures geometry: a loaded machine's slow frame must not turn into a time-out.
constexpr int kPatientTimeoutMs = 10000;

std::string Millimetres(double metres)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f", metres * 1000.0);
  return text;
}
}  // namespace

std::string GraspErrorTable(
  const orvanite_scene_sim::Scene & scene, const std::filesystem::path & prefix,
  std::ostream & progress)
{
  const std::vector<orvanite_scene_sim::ObjectTruth> truths =
    orvanite_scene_sim::GroundTruth(scene);
  std::vector<std::string> strategy(truths.size(), "-");
  std::vector<std::vector<std::string>> cells(truths.size());
  for (std::size_t run = 0; run < kMaskKinds.size(); ++run) {
    const MaskKind & kind = kMaskKinds[run];
    progress << "run " << run + 1 << " of " << kMaskKinds.size() << " (" << kind.name
             << " masks): rendering the scene, starting the node, " << truths.size()
             << " aimed calls ..." << std::endl;
    orvanite_scene_sim::Scene variant = scene;
    variant.render.mask_grow_px = kind.grow_px;
    SessionOptions options;
    options.overlay.aim_mode = true;
    options.overlay.debug = false;
    options.overlay.aim_grab_radius = kAimRadius;
    options.overlay.detect_timeout_ms = kPatientTimeoutMs;
    DemoSession session(variant, prefix / kind.name, options);
    for (std::size_t i = 0; i < truths.size(); ++i) {
      DemoSession::ArmTrashPose::Request request;
      request.aim_trash_info.map_pose.position.x = truths[i].centre_in_map.x();
      request.aim_trash_info.map_pose.position.y = truths[i].centre_in_map.y();
      request.aim_trash_info.map_pose.position.z = truths[i].centre_in_map.z();
      const auto response = session.Call(request);
      if (response.error_code != kErrorCodeNone) {
        cells[i].push_back("code " + std::to_string(response.error_code));
        continue;
      }
      const auto & record = response.target_trash_info;
      if (strategy[i] == "-") {
        strategy[i] = ApproachesFromAbove(record.grab_pose) ? "top-down" : "horizontal";
      }
      const GraspError error = ErrorOf(truths[i], record.grab_pose);
      cells[i].push_back(Millimetres(error.horizontal) + " / " + Millimetres(error.vertical));
    }
  }
  std::string table =
    "| object | label | strategy | exact masks: xy / z mm | bleeding 3 px | shrunk 3 px |\n"
    "|---|---|---|---|---|---|\n";
  for (std::size_t i = 0; i < truths.size(); ++i) {
    table += "| " + truths[i].name + " | " + std::to_string(truths[i].label) + " | " + strategy[i];
    for (const std::string & cell : cells[i]) {
      table += " | " + cell;
    }
    table += " |\n";
  }
  return table;
}

}  // namespace orvanite_demo
