// The README's demo figures are what the demo prints: its sample run, the answer without a
// target, the error table and the figures quoted in its prose are compared with runs of the demo,
// read from the README of the source tree. None of them depends on timing: every frame of a scene
// is the same image, and the runs wait 10 s per frame so that a loaded machine does not time out.
#include <cstdio>
#include <regex>
#include <sstream>
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
using Lines = std::vector<std::string>;

constexpr auto kRun = std::chrono::seconds(120);
// The README shows the folders of a run with the default --output.
constexpr char kDefaultOutput[] = "/tmp/orvanite_demo";

Lines SplitLines(const std::string & text)
{
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

const Lines & Readme()
{
  static const Lines lines = SplitLines(orvanite_scene_sim::ReadTextFile(README_PATH));
  return lines;
}

// The index of the first README line that contains `anchor`; fails the test when there is none.
std::size_t LineWith(const std::string & anchor)
{
  const Lines & readme = Readme();
  for (std::size_t i = 0; i < readme.size(); ++i) {
    if (readme[i].find(anchor) != std::string::npos) {
      return i;
    }
  }
  ADD_FAILURE() << "README.md has no line with '" << anchor << "'";
  return readme.size();
}

// The indented code block that follows the README paragraph with `anchor`, without its
// indentation.
Lines CodeBlockAfter(const std::string & anchor)
{
  const Lines & readme = Readme();
  std::size_t i = LineWith(anchor) + 1;
  while (i < readme.size() && !readme[i].empty()) {
    ++i;
  }
  while (i < readme.size() && readme[i].empty()) {
    ++i;
  }
  const std::size_t indent = i < readme.size() ? readme[i].find_first_not_of(' ') : 0;
  Lines block;
  for (;
       i < readme.size() && readme[i].size() > indent && readme[i].find_first_not_of(' ') >= indent;
       ++i) {
    block.push_back(readme[i].substr(indent));
  }
  EXPECT_GE(indent, 4U) << "no code block after '" << anchor << "'";
  return block;
}

// The Markdown table whose header line contains `anchor`.
Lines TableWith(const std::string & anchor)
{
  const Lines & readme = Readme();
  Lines table;
  for (std::size_t i = LineWith(anchor); i < readme.size() && readme[i].rfind("|", 0) == 0; ++i) {
    table.push_back(readme[i]);
  }
  return table;
}

// The first number that `pattern`'s group 1 catches in the README.
std::string ReadmeFigure(const std::string & pattern)
{
  std::string text;
  for (const std::string & line : Readme()) {
    text += line + " ";
  }
  std::smatch match;
  if (!std::regex_search(text, match, std::regex(pattern))) {
    ADD_FAILURE() << "README.md has no text matching " << pattern;
    return "";
  }
  return match[1].str();
}

// `value` with as many decimals as `figure` shows.
std::string AsShown(double value, const std::string & figure)
{
  const auto point = figure.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(figure.size() - point - 1);
  char text[64];
  std::snprintf(text, sizeof(text), "%.*f", decimals, value);
  return text;
}

std::string Replaced(std::string text, const std::string & from, const std::string & to)
{
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string SceneFile(const std::string & name)
{
  return ament_index_cpp::get_package_share_directory("orvanite_scene_sim") + "/scenes/" + name +
         ".yaml";
}

// The demo's output lines as a user sees them from ./scripts/demo.sh with `args`: the logger's
// environment as demo.sh leaves it, the run's folders shown as the default --output and the
// install prefix as "...".
Lines DemoOutput(std::vector<std::string> args)
{
  TemporaryPrefix output;
  args.insert(args.end(), {"--output", output.path().string()});
  DemoProcess process(args, {{"SPDLOG_SYSTEMD", ""}, {"SPDLOG_LEVEL", ""}});
  EXPECT_EQ(process.WaitForExit(kRun), 0) << process.output();
  std::string text = Replaced(process.output(), output.path().string(), kDefaultOutput);
  const std::string share = ament_index_cpp::get_package_share_directory("orvanite_scene_sim");
  return SplitLines(Replaced(text, share, ".../share/orvanite_scene_sim"));
}

// Every README line is an output line, in order and one after the other; a README line "..."
// stands for any number of lines.
void ExpectShown(const Lines & readme, const Lines & output, const std::string & what)
{
  ASSERT_FALSE(readme.empty()) << what;
  std::size_t at = 0;
  bool skipping = false;
  for (const std::string & line : readme) {
    if (line == "...") {
      skipping = true;
      continue;
    }
    if (skipping) {
      while (at < output.size() && output[at] != line) {
        ++at;
      }
      skipping = false;
    }
    ASSERT_LT(at, output.size()) << what << ": README line '" << line << "' is not printed";
    ASSERT_EQ(output[at], line) << what << ": line " << at + 1 << " of the run";
    ++at;
  }
  if (!skipping) {
    EXPECT_EQ(at, output.size()) << what << ": the run prints more lines than the README shows";
  }
}

TEST(Readme, SampleRunIsWhatTheDemoPrints)
{
  const Lines output = DemoOutput({"--detect-timeout-ms", "10000"});
  ExpectShown(CodeBlockAfter("It prints ("), output, "the sample run of ./scripts/demo.sh");
}

TEST(Readme, AnswerWithoutTargetIsWhatTheDemoPrints)
{
  Lines shown = CodeBlockAfter("for example with `beyond_radius.yaml --max-grab-radius 0.5`");
  shown.insert(shown.begin(), "...");
  shown.push_back("...");
  const Lines output = DemoOutput(
    {SceneFile("beyond_radius"), "--max-grab-radius", "0.5", "--calls", "1", "--detect-timeout-ms",
     "10000"});
  ExpectShown(shown, output, "beyond_radius.yaml --max-grab-radius 0.5");
}

TEST(Readme, LyingPaperFigureIsWhatTheDemoPrints)
{
  const std::string figure = ReadmeFigure("grasped ([0-9.]+) mm from its true grasp point");
  std::smatch match;
  std::string grasps;
  for (const std::string & line :
       DemoOutput({SceneFile("lying_paper"), "--calls", "1", "--detect-timeout-ms", "10000"})) {
    grasps += line.rfind("# grasps paper: ", 0) == 0 ? line : "";
  }
  ASSERT_TRUE(std::regex_search(grasps, match, std::regex("# grasps paper: ([-0-9.e]+) mm")))
    << grasps;
  EXPECT_EQ(AsShown(std::stod(match[1].str()), figure), figure) << grasps;
}

TEST(Readme, ErrorTableIsWhatTheDemoPrints)
{
  const Lines shown = TableWith("| object | label | strategy |");
  Lines table;
  for (const std::string & line : DemoOutput({"--error-table"})) {
    if (line.rfind("|", 0) == 0) {
      table.push_back(line);
    }
  }
  EXPECT_EQ(table, shown);
  // The prose quotes the paper's error with exact masks, the first cell after the strategy.
  const std::string figure = ReadmeFigure("the paper's ([0-9.]+) mm");
  std::string rows;
  for (const std::string & line : table) {
    rows += line + "\n";
  }
  std::smatch match;
  ASSERT_TRUE(
    std::regex_search(rows, match, std::regex("\\| paper \\| [0-9]+ \\| [a-z-]+ \\| ([0-9.]+) /")))
    << rows;
  EXPECT_EQ(AsShown(std::stod(match[1].str()), figure), figure) << rows;
}

}  // namespace
}  // namespace orvanite_demo_test
