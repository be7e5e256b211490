// orvanite_demo: the detection system on a synthetic scene, in one process.
//   orvanite_demo [SCENE.yaml] [--calls N] [--output DIR] [--max-grab-radius M]
//   orvanite_demo --error-table [SCENE.yaml] [--output DIR]
// Without a scene file it plays the shipped several_litter scene.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <ament_index_cpp/get_package_share_directory.hpp>
#include <rclcpp/rclcpp.hpp>

#include "orvanite_demo/demo_session.hpp"
#include "orvanite_demo/error_table.hpp"
#include "orvanite_demo/grasp_check.hpp"
#include "orvanite_scene_sim/ground_truth.hpp"
#include "orvanite_scene_sim/scene_loader.hpp"

namespace
{
namespace fs = std::filesystem;

struct Arguments
{
  std::string scene_file;
  int calls = 3;
  fs::path output = "/tmp/orvanite_demo";
  bool error_table = false;
  std::optional<double> max_grab_radius;
};

Arguments Parse(const std::vector<std::string> & args)
{
  Arguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const auto value = [&]() {
      if (i + 1 >= args.size()) {
        throw std::invalid_argument(args[i] + " needs a value");
      }
      return args[++i];
    };
    if (args[i] == "--calls") {
      parsed.calls = std::stoi(value());
    } else if (args[i] == "--output") {
      parsed.output = value();
    } else if (args[i] == "--max-grab-radius") {
      parsed.max_grab_radius = std::stod(value());
    } else if (args[i] == "--error-table") {
      parsed.error_table = true;
    } else if (args[i].rfind("--", 0) == 0 || !parsed.scene_file.empty()) {
      throw std::invalid_argument("unknown argument " + args[i]);
    } else {
      parsed.scene_file = args[i];
    }
  }
  if (parsed.scene_file.empty()) {
    parsed.scene_file = ament_index_cpp::get_package_share_directory("orvanite_scene_sim") +
                        "/scenes/several_litter.yaml";
  }
  return parsed;
}

// The debug files of one camera folder written since `since`: annotated images and clouds,
// newest name last.
void PrintDebugFiles(const fs::path & folder, fs::file_time_type since)
{
  std::vector<std::string> images;
  std::size_t clouds = 0;
  if (fs::exists(folder)) {
    for (const auto & entry : fs::directory_iterator(folder)) {
      if (entry.last_write_time() < since) {
        continue;
      }
      const std::string name = entry.path().filename().string();
      if (name.size() > 14 && name.compare(name.size() - 14, 14, "[detected].jpg") == 0) {
        images.push_back(entry.path().string());
      } else if (entry.path().extension() == ".ply") {
        ++clouds;
      }
    }
  }
  std::sort(images.begin(), images.end());
  std::cout << "debug files in " << folder.string() << ": " << images.size()
            << " annotated images, " << clouds << " PLY clouds\n";
  if (!images.empty()) {
    std::cout << "  latest annotated image: " << images.back() << "\n";
  }
}

int RunCalls(const orvanite_scene_sim::Scene & scene, const Arguments & arguments)
{
  orvanite_demo::SessionOptions options;
  options.overlay.max_grab_radius = arguments.max_grab_radius;
  // Earlier runs may have left files in the same folders: list only this run's.
  const auto run_start = fs::file_time_type::clock::now();
  orvanite_demo::DemoSession session(scene, arguments.output, options);
  std::cout << "configuration overlay (first on AMENT_PREFIX_PATH): "
            << session.overlay().prefix().string() << "\n";
  const auto truths = orvanite_scene_sim::GroundTruth(scene);
  for (int call = 1; call <= arguments.calls; ++call) {
    const auto response = session.Call(orvanite_demo::DemoSession::ArmTrashPose::Request());
    std::cout << "--- answer " << call << " of " << arguments.calls << " (service "
              << session.overlay().service_name() << ")\n"
              << orvanite_scene_sim::ResponseYaml(response);
    if (response.error_code == 102200000 && !truths.empty()) {
      const auto & pose = response.target_trash_info.grab_pose;
      const auto & truth =
        truths[orvanite_demo::NearestObject(truths, {pose.position.x, pose.position.y})];
      const auto error = orvanite_demo::ErrorOf(truth, pose);
      std::cout << "# grasps " << truth.name << ": " << error.horizontal * 1000.0
                << " mm from its true grasp point in the floor plane, " << error.vertical * 1000.0
                << " mm in height\n";
    }
  }
  for (std::size_t i = 0; i < scene.cameras.size(); ++i) {
    PrintDebugFiles(session.overlay().DebugFolder(i), run_start);
  }
  return 0;
}
}  // namespace

int main(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  int status = 0;
  try {
    const std::vector<std::string> args = rclcpp::remove_ros_arguments(argc, argv);
    const Arguments arguments = Parse({args.begin() + 1, args.end()});
    const orvanite_scene_sim::Scene scene = orvanite_scene_sim::LoadScene(arguments.scene_file);
    std::cout << "scene " << arguments.scene_file << ": " << scene.cameras.size() << " cameras, "
              << scene.objects.size() << " objects\n";
    if (arguments.error_table) {
      std::cout << orvanite_demo::GraspErrorTable(scene, arguments.output / "error_table");
    } else {
      status = RunCalls(scene, arguments);
    }
  } catch (const std::exception & e) {
    std::cerr << "orvanite_demo: " << e.what() << "\n";
    status = 1;
  }
  rclcpp::shutdown();
  return status;
}
