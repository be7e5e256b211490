// orvanite_demo: the detection system on a synthetic scene, in one process (orvanite_demo --help
// for the options). Without a scene file it plays the shipped several_litter scene.
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

#include "answer_note.hpp"
#include "arguments.hpp"
#include "orvanite_demo/demo_session.hpp"
#include "orvanite_demo/error_table.hpp"
#include "orvanite_demo/grasp_check.hpp"
#include "orvanite_scene_sim/ground_truth.hpp"
#include "orvanite_scene_sim/scene_loader.hpp"

namespace
{
namespace fs = std::filesystem;
using orvanite_demo::Arguments;

// 128 + SIGINT, as a shell reports a command ended by Ctrl-C.
constexpr int kStatusInterrupted = 130;

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

void PrintGraspError(
  const std::vector<orvanite_scene_sim::ObjectTruth> & truths,
  const orvanite_demo::DemoSession::ArmTrashPose::Response & response)
{
  const auto & pose = response.target_trash_info.grab_pose;
  const auto & truth =
    truths[orvanite_demo::NearestObject(truths, {pose.position.x, pose.position.y})];
  const auto error = orvanite_demo::ErrorOf(truth, pose);
  std::cout << "# grasps " << truth.name << ": " << error.horizontal * 1000.0
            << " mm from its true grasp point in the floor plane, " << error.vertical * 1000.0
            << " mm in height\n";
}

std::string SceneSize(const orvanite_scene_sim::Scene & scene)
{
  std::size_t pixels = 0;
  for (const auto & camera : scene.cameras) {
    pixels += static_cast<std::size_t>(camera.intrinsics.width) * camera.intrinsics.height;
  }
  return std::to_string(scene.cameras.size()) + " camera(s), " + std::to_string(pixels) + " pixels";
}

int RunCalls(const orvanite_scene_sim::Scene & scene, const Arguments & arguments)
{
  orvanite_demo::SessionOptions options;
  options.overlay.max_grab_radius = arguments.max_grab_radius;
  options.overlay.detect_timeout_ms = arguments.detect_timeout_ms;
  if (arguments.debug) {
    options.overlay.debug = true;
  }
  std::vector<std::string> cameras;
  for (const auto & camera : scene.cameras) {
    cameras.push_back(camera.name);
  }
  const auto truths = orvanite_scene_sim::GroundTruth(scene);
  // Earlier runs may have left files in the same folders: list only this run's.
  const auto run_start = fs::file_time_type::clock::now();
  std::vector<fs::path> debug_folders;
  int status = 0;
  {
    std::cout << "rendering the scene (" << SceneSize(scene)
              << ") and starting the detection node ..." << std::endl;
    orvanite_demo::DemoSession session(scene, arguments.output, options);
    for (std::size_t i = 0; i < scene.cameras.size(); ++i) {
      debug_folders.push_back(session.overlay().DebugFolder(i));
    }
    std::cout << "configuration overlay (first on AMENT_PREFIX_PATH): "
              << session.overlay().prefix().string() << "\n"
              << "waiting for the node's first frame and answer ..." << std::endl;
    for (int call = 1; call <= arguments.calls; ++call) {
      orvanite_demo::DemoSession::ArmTrashPose::Response response;
      try {
        response = session.Call(orvanite_demo::DemoSession::ArmTrashPose::Request());
      } catch (const orvanite_scene_sim::Interrupted &) {
        std::cout << "interrupted while waiting for answer " << call << " of " << arguments.calls
                  << std::endl;
        status = kStatusInterrupted;
        break;
      }
      std::cout << "--- answer " << call << " of " << arguments.calls << " (service "
                << session.overlay().service_name() << ")\n"
                << orvanite_scene_sim::ResponseYaml(response);
      if (response.error_code != orvanite_demo::kErrorCodeNone) {
        std::cout << orvanite_demo::AnswerNote(response.error_code, cameras, false) << "\n";
      } else if (!truths.empty()) {
        PrintGraspError(truths, response);
      }
    }
    std::cout << "stopping the detection node ..." << std::endl;
  }
  // The node has stopped: no debug file is still being written.
  for (const fs::path & folder : debug_folders) {
    PrintDebugFiles(folder, run_start);
  }
  return status;
}

int Run(const Arguments & arguments)
{
  const std::string scene_file =
    arguments.scene_file.empty()
      ? ament_index_cpp::get_package_share_directory("orvanite_scene_sim") +
          "/scenes/several_litter.yaml"
      : arguments.scene_file;
  // A scene without floor_z lies on the floor the shipped configuration assumes.
  const orvanite_scene_sim::Scene scene =
    orvanite_scene_sim::LoadScene(scene_file, orvanite_demo::ShippedFloorZ());
  std::cout << "scene " << scene_file << ": " << scene.cameras.size() << " cameras, "
            << scene.objects.size() << " objects\n";
  if (!arguments.error_table) {
    return RunCalls(scene, arguments);
  }
  try {
    std::cout << orvanite_demo::GraspErrorTable(scene, arguments.output / "error_table", std::cout);
  } catch (const orvanite_scene_sim::Interrupted &) {
    std::cout << "interrupted: no table" << std::endl;
    return kStatusInterrupted;
  }
  return 0;
}
}  // namespace

int main(int argc, char ** argv)
{
  // Every line reaches a pipe as it is written, so progress shows while the node works.
  std::cout << std::unitbuf;
  rclcpp::init(argc, argv);
  int status = 0;
  try {
    const std::vector<std::string> args = rclcpp::remove_ros_arguments(argc, argv);
    const Arguments arguments = orvanite_demo::ParseArguments({args.begin() + 1, args.end()});
    if (arguments.help) {
      std::cout << orvanite_demo::UsageText();
    } else {
      orvanite_demo::CreateOutputFolder(arguments.output);
      status = Run(arguments);
    }
  } catch (const orvanite_demo::UsageError & e) {
    std::cerr << "orvanite_demo: " << e.what() << " (orvanite_demo --help shows the options)\n";
    status = 2;
  } catch (const orvanite_scene_sim::Interrupted & e) {
    std::cout << e.what() << std::endl;
    status = kStatusInterrupted;
  } catch (const std::exception & e) {
    std::cerr << "orvanite_demo: " << e.what() << "\n";
    status = 1;
  }
  rclcpp::shutdown();
  return status;
}
