// orvanite_demo as a user meets it: every misuse of the command line, of a scene file or of the
// shipped configuration ends with one message naming what is wrong and a non-zero status;
// a run shows its steps, follows the shipped debug setting and still sums up when interrupted.
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <ament_index_cpp/get_package_share_directory.hpp>

#include "demo_process.hpp"
#include "e2e_support.hpp"
#include "orvanite_scene_sim/yaml_node.hpp"

namespace orvanite_demo_test
{
namespace
{
namespace fs = std::filesystem;

constexpr int kUsage = 2;
constexpr int kFailed = 1;
constexpr auto kStartUp = std::chrono::seconds(60);

std::string ShippedSceneFile(const std::string & name)
{
  return ament_index_cpp::get_package_share_directory("orvanite_scene_sim") + "/scenes/" + name +
         ".yaml";
}

std::string Replaced(std::string text, const std::string & from, const std::string & to)
{
  const auto at = text.find(from);
  if (at == std::string::npos) {
    throw std::runtime_error("no '" + from + "' in the text");
  }
  return text.replace(at, from.size(), to);
}

void WriteText(const fs::path & path, const std::string & text)
{
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A copy of the node's shipped configuration in a prefix of its own, one file edited, for the
// demo to find first on AMENT_PREFIX_PATH.
class EditedConfiguration
{
public:
  EditedConfiguration(const std::string & file, const std::string & from, const std::string & to)
  {
    const fs::path shipped =
      fs::path(ament_index_cpp::get_package_share_directory("orvanite_arm_trash_detect")) /
      "config";
    const fs::path index = prefix_.path() / "share/ament_index/resource_index/packages";
    fs::create_directories(index);
    WriteText(index / "orvanite_arm_trash_detect", "");
    fs::create_directories(config_dir());
    for (const auto & entry : fs::directory_iterator(shipped)) {
      fs::copy_file(entry.path(), config_dir() / entry.path().filename());
    }
    const fs::path edited = config_dir() / file;
    WriteText(edited, Replaced(orvanite_scene_sim::ReadTextFile(edited), from, to));
  }

  fs::path config_dir() const { return prefix_.path() / "share/orvanite_arm_trash_detect/config"; }
  std::map<std::string, std::string> Environment() const
  {
    const char * previous = std::getenv("AMENT_PREFIX_PATH");
    return {
      {"AMENT_PREFIX_PATH",
       prefix_.path().string() + (previous ? std::string(":") + previous : "")}};
  }

private:
  TemporaryPrefix prefix_;
};

struct MisuseCase
{
  std::vector<std::string> args;
  std::string expected;  // a fragment of the output
  int status;
};

std::string Joined(const std::vector<std::string> & args)
{
  std::string out;
  for (const std::string & arg : args) {
    out += " " + arg;
  }
  return out;
}

void ExpectOutcome(const MisuseCase & c, const std::map<std::string, std::string> & env = {})
{
  DemoProcess process(c.args, env);
  EXPECT_EQ(process.WaitForExit(kStartUp), c.status) << "orvanite_demo" << Joined(c.args) << "\n"
                                                     << process.output();
  EXPECT_NE(process.output().find(c.expected), std::string::npos)
    << "orvanite_demo" << Joined(c.args) << ": expected '" << c.expected << "' in\n"
    << process.output();
  // A library's own words would mean a case that nothing checks.
  for (const char * bare :
       {"stoi", "stod", "bad conversion", "basic_filebuf", "terminate", "filesystem error"}) {
    EXPECT_EQ(process.output().find(bare), std::string::npos)
      << "orvanite_demo" << Joined(c.args) << ": " << process.output();
  }
}

TEST(CommandLine, MisuseEndsWithOneMessageNamingTheOption)
{
  const std::string calls = "must be a whole number in 1 .. 1000";
  const std::string radius = "must be a number greater than 0 and at most 10";
  const std::string folder = fs::temp_directory_path().string();
  TemporaryPrefix scratch;
  const std::string file = (scratch.path() / "a_file").string();
  WriteText(file, "");
  const MisuseCase cases[] = {
    {{"--help"}, "usage: orvanite_demo [SCENE.yaml]", 0},
    {{"-h"}, "--detect-timeout-ms MS", 0},
    {{"--calls", "abc"}, "--calls abc: " + calls, kUsage},
    {{"--calls", "99999999999"}, "--calls 99999999999: " + calls, kUsage},
    {{"--calls", "3x"}, "--calls 3x: " + calls, kUsage},
    {{"--calls", "0"}, "--calls 0: " + calls, kUsage},
    {{"--calls", "-2"}, "--calls -2: " + calls, kUsage},
    {{"--calls"}, "--calls needs a value", kUsage},
    {{"--max-grab-radius", "abc"}, "--max-grab-radius abc: " + radius, kUsage},
    {{"--max-grab-radius", "-1"}, "--max-grab-radius -1: " + radius, kUsage},
    {{"--max-grab-radius", "inf"}, "--max-grab-radius inf: " + radius, kUsage},
    {{"--max-grab-radius", "nan"}, "--max-grab-radius nan: " + radius, kUsage},
    {{"--max-grab-radius", "0"}, "--max-grab-radius 0: " + radius, kUsage},
    {{"--detect-timeout-ms", "0"},
     "--detect-timeout-ms 0: must be a whole number in 1 .. 600000",
     kUsage},
    {{"--detect-timeout-ms", "1.5"},
     "--detect-timeout-ms 1.5: must be a whole number in 1 .. 600000",
     kUsage},
    {{"--output"}, "--output needs a value", kUsage},
    {{"--output", file}, "--output " + file + ": is a file, not a folder", kUsage},
    {{"--output", file + "/run"},
     "--output " + file + "/run: cannot be created: Not a directory",
     kUsage},
    {{"--frobnicate"}, "unknown option --frobnicate", kUsage},
    {{"a.yaml", "b.yaml"}, "one scene file only, but a.yaml and b.yaml given", kUsage},
    {{"--error-table", "--calls", "2"}, "--calls does not apply to --error-table", kUsage},
    {{folder}, folder + ": is a folder, not a file", kFailed},
    {{"/nonexistent/scene.yaml"}, "/nonexistent/scene.yaml: cannot be read", kFailed},
  };
  for (const MisuseCase & c : cases) {
    ExpectOutcome(c);
  }
}

TEST(CommandLine, BrokenSceneIsNamedWithFileAndKey)
{
  TemporaryPrefix folder;
  const std::string shipped = orvanite_scene_sim::ReadTextFile(ShippedSceneFile("lying_paper"));
  struct Case
  {
    const char * from;
    const char * to;
    const char * expected;
  };
  const Case cases[] = {
    {"fx: 605.0", "fx: .nan", "key 'cameras[0].intrinsics.fx': must be a finite number"},
    {"mask_grow_px: 0 ", "mask_grow_px: 100000 ",
     "key 'render.mask_grow_px': must lie in -50 .. 50"},
    {"position: [-0.4, 0.0, 0.524]", "position: [-0.4, 0.0, -0.3]",
     "key 'cameras[0].position': must lie above the floor (floor_z)"},
    {"transparent: false", "trasparent: false",
     "key 'objects[0].trasparent': is not a known key; the keys known here are name, label, "
     "shape, size, position, yaw_deg, standing, transparent"},
    {"floor_z:", "floor-z:",
     "key 'floor-z': is not a known key; the keys known here are frames, floor_z, "
     "arm_base_in_map, floor_rgb, class_rgb, render, cameras, objects"},
  };
  for (const Case & c : cases) {
    const fs::path scene = folder.path() / "scene.yaml";
    WriteText(scene, Replaced(shipped, c.from, c.to));
    ExpectOutcome({{scene.string()}, scene.string() + ": " + c.expected, kFailed});
  }
}

TEST(CommandLine, BrokenShippedConfigurationIsNamedWithFileAndKey)
{
  struct Case
  {
    const char * file;
    const char * from;
    const char * to;
    const char * expected;
  };
  const Case cases[] = {
    {"trash_pose_detect_config.yaml", "  detect_service:", "  unused_key:",
     "trash_pose_detect_config.yaml: key 'orvanite_arm_trash_detect.detect_service': is missing"},
    {"trash_pose_detect_config.yaml", "orvanite_arm_trash_detect:", "orvanite_arm_trash_detect: [",
     "trash_pose_detect_config.yaml: not valid YAML: "},
    {"cam1_pose_estimate_config.yaml", "  trash_code:", "  trash_kode:",
     "cam1_pose_estimate_config.yaml: key 'debug_choice.trash_code': is missing"},
    // The node reads the class list; the demo says which shipped folder the file came from.
    {"cam1_detect_config.yaml", "trash_class_ids: [1, 2,", "trash_class_ids: [1, two,",
     "trash_class_ids"},
  };
  for (const Case & c : cases) {
    EditedConfiguration configuration(c.file, c.from, c.to);
    const std::string shipped = configuration.config_dir().string();
    DemoProcess process(
      {ShippedSceneFile("lying_paper"), "--calls", "1"}, configuration.Environment());
    EXPECT_EQ(process.WaitForExit(kStartUp), kFailed) << c.file << "\n" << process.output();
    EXPECT_NE(process.output().find(c.expected), std::string::npos) << c.file << "\n"
                                                                    << process.output();
    EXPECT_NE(process.output().find(shipped), std::string::npos) << c.file << "\n"
                                                                 << process.output();
    EXPECT_EQ(process.output().find("bad conversion"), std::string::npos) << process.output();
  }
}

// --help answers without a build, also before the first one.
TEST(DemoScript, HelpNeverBuilds)
{
  // A copy of demo.sh in a tree of its own, whose dependency step would say that it ran.
  TemporaryPrefix tree;
  fs::create_directories(tree.path() / "scripts");
  const fs::path script = tree.path() / "scripts/demo.sh";
  fs::copy_file(DEMO_SCRIPT_PATH, script);
  const fs::path install_deps = tree.path() / "scripts/install_deps.sh";
  WriteText(install_deps, "#!/bin/sh\necho the build started\nexit 1\n");
  fs::permissions(install_deps, fs::perms::owner_exec, fs::perm_options::add);
  const std::string system_path = "/usr/bin:/bin";
  struct Case
  {
    std::string path;
    const char * expected;
  };
  const Case cases[] = {
    {fs::path(DEMO_EXECUTABLE_PATH).parent_path().string() + ":" + system_path,
     "usage: orvanite_demo [SCENE.yaml]"},
    {system_path, "orvanite_demo is not built yet"},
  };
  for (const Case & c : cases) {
    DemoProcess process({"--help"}, {{"PATH", c.path}}, script.string());
    EXPECT_EQ(process.WaitForExit(kStartUp), 0) << process.output();
    EXPECT_NE(process.output().find("DEMO_SKIP_BUILD=1"), std::string::npos) << process.output();
    EXPECT_NE(process.output().find(c.expected), std::string::npos) << process.output();
    EXPECT_EQ(process.output().find("the build started"), std::string::npos) << process.output();
  }
}

// demo.sh runs the demo in the caller's folder: a relative scene path means the caller's file.
TEST(DemoScript, PathsAreTheCallersOwn)
{
  TemporaryPrefix folder;
  const std::string shipped = orvanite_scene_sim::ReadTextFile(ShippedSceneFile("lying_paper"));
  // A scene only the caller's folder has, broken so that the run ends once it is read.
  WriteText(folder.path() / "my_scene.yaml", Replaced(shipped, "fx: 605.0", "fx: .nan"));
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  DemoProcess process(
    {"my_scene.yaml"},
    {{"DEMO_SKIP_BUILD", "1"},
     {"PATH", fs::path(DEMO_EXECUTABLE_PATH).parent_path().string() + ":" + path}},
    DEMO_SCRIPT_PATH, folder.path().string());
  EXPECT_EQ(process.WaitForExit(kStartUp), kFailed) << process.output();
  EXPECT_NE(
    process.output().find("my_scene.yaml: key 'cameras[0].intrinsics.fx': must be a finite number"),
    std::string::npos)
    << process.output();
}

// The shipped is_debug is false: no debug files unless --debug, counted once the node stopped.
TEST(Run, DebugFilesOnlyWithTheDebugOption)
{
  for (const bool debug : {false, true}) {
    TemporaryPrefix output;
    std::vector<std::string> args = {
      ShippedSceneFile("lying_paper"), "--calls", "1", "--output", output.path().string(),
      "--detect-timeout-ms",           "10000"};
    if (debug) {
      args.push_back("--debug");
    }
    DemoProcess process(args, {});
    ASSERT_EQ(process.WaitForExit(kStartUp), 0) << process.output();
    const std::string & out = process.output();
    for (const char * step :
         {"rendering the scene (1 camera(s), 307200 pixels)", "waiting for the node's first frame",
          "--- answer 1 of 1", "stopping the detection node"}) {
      EXPECT_NE(out.find(step), std::string::npos) << step << "\n" << out;
    }
    const std::regex summary("debug files in [^:]*: ([0-9]+) annotated images, ([0-9]+) PLY");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(out, match, summary)) << out;
    EXPECT_LT(out.find("stopping the detection node"), out.find("debug files in"));
    if (debug) {
      EXPECT_NE(match[1].str(), "0") << out;
      EXPECT_NE(match[2].str(), "0") << out;
    } else {
      EXPECT_EQ(match[1].str(), "0") << out;
      EXPECT_EQ(match[2].str(), "0") << out;
    }
  }
}

TEST(Run, ErrorTableAnnouncesEachRunBeforeTheTable)
{
  TemporaryPrefix output;
  DemoProcess process(
    {"--error-table", ShippedSceneFile("lying_paper"), "--output", output.path().string()}, {});
  ASSERT_EQ(process.WaitForExit(kStartUp * 3), 0) << process.output();
  const std::string & out = process.output();
  const auto first = out.find("run 1 of 3 (exact masks): rendering the scene");
  const auto last = out.find("run 3 of 3 (shrunk3 masks)");
  const auto table = out.find("| paper | 0 | top-down | ");
  ASSERT_NE(first, std::string::npos) << out;
  ASSERT_NE(last, std::string::npos) << out;
  ASSERT_NE(table, std::string::npos) << out;
  EXPECT_LT(first, last);
  EXPECT_LT(last, table);
}

// A scene without floor_z lies on the shipped configuration's floor: the answer is the one of the
// shipped scene, which states that floor.
TEST(Run, SceneWithoutFloorZTakesTheShippedFloor)
{
  TemporaryPrefix folder;
  const std::string shipped_file = ShippedSceneFile("lying_paper");
  const fs::path without = folder.path() / "no_floor_z.yaml";
  WriteText(
    without,
    Replaced(orvanite_scene_sim::ReadTextFile(shipped_file), "floor_z: -0.176", "# no floor"));
  std::vector<std::string> answers;
  for (const std::string & scene : {shipped_file, without.string()}) {
    DemoProcess process(
      {scene, "--calls", "1", "--output", (folder.path() / "out").string(), "--detect-timeout-ms",
       "10000"},
      {});
    ASSERT_EQ(process.WaitForExit(kStartUp), 0) << process.output();
    const auto from = process.output().find("--- answer 1 of 1");
    const auto to = process.output().find("stopping the detection node");
    ASSERT_NE(from, std::string::npos) << process.output();
    ASSERT_NE(to, std::string::npos) << process.output();
    answers.push_back(process.output().substr(from, to - from));
  }
  EXPECT_NE(answers[0].find("# grasps paper: "), std::string::npos) << answers[0];
  EXPECT_EQ(answers[1], answers[0]);
}

// Ctrl-C while the node starts is an interruption too, never a configuration error. The start
// takes a tenth of a second or more (the player's first camera info comes after one frame
// period), so the signal nearly always lands in it; if it lands later, the run is interrupted
// while it waits for the answer, which is named as an interruption as well.
TEST(Run, InterruptionDuringStartUpIsNamed)
{
  struct Case
  {
    std::vector<std::string> args;
    const char * expected;
  };
  TemporaryPrefix output;
  const std::string out = output.path().string();
  const std::string scene = ShippedSceneFile("lying_paper");
  const Case cases[] = {
    {{scene, "--calls", "1", "--output", out}, "interrupted while "},
    {{"--error-table", scene, "--output", out}, "interrupted: no table"},
  };
  for (const Case & c : cases) {
    DemoProcess process(c.args, {});
    // Printed just before the scene is rendered and the node is built.
    ASSERT_TRUE(process.WaitForOutput("rendering the scene", kStartUp)) << process.output();
    process.Signal(SIGINT);
    EXPECT_EQ(process.WaitForExit(kStartUp), 130) << process.output();
    const std::string & text = process.output();
    EXPECT_NE(text.find(c.expected), std::string::npos) << text;
    for (const char * wrong : {"rejected the configuration", "start-up failed", "cannot create"}) {
      EXPECT_EQ(text.find(wrong), std::string::npos) << wrong << "\n" << text;
    }
  }
}

TEST(Run, InterruptionIsNamedAndTheSummaryStillComes)
{
  TemporaryPrefix output;
  DemoProcess process(
    {ShippedSceneFile("lying_paper"), "--calls", "1000", "--output", output.path().string()}, {});
  ASSERT_TRUE(process.WaitForOutput("waiting for the node's first frame", kStartUp))
    << process.output();
  process.Signal(SIGINT);
  EXPECT_EQ(process.WaitForExit(kStartUp), 130) << process.output();
  const std::string & out = process.output();
  EXPECT_NE(out.find("interrupted while waiting for answer"), std::string::npos) << out;
  EXPECT_EQ(out.find("did not answer in time"), std::string::npos) << out;
  EXPECT_NE(out.find("debug files in"), std::string::npos) << out;
}

}  // namespace
}  // namespace orvanite_demo_test
