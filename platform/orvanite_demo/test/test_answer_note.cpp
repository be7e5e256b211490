// The line that explains an answer without a target, per error code the service sends.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "answer_note.hpp"

namespace orvanite_demo
{
namespace
{

TEST(AnswerNote, NamesWhatEachCodeMeans)
{
  struct Case
  {
    int code;
    bool aim_mode;
    const char * expected;
  };
  const Case cases[] = {
    {0, false, "no camera finished a frame within detect_timeout_ms (timed out: cam1, cam2)"},
    // The demo runs the node with its console log off: the note says how to see the log.
    {0, false, "trash pose detect process timeout\", which SPDLOG_STDOUT=true shows"},
    {102200003, false, "TRASH_POSE_LIST_EMPTY: the last camera that finished in time found no"},
    {102200010, false, "none lay within max_grab_radius of the arm-base origin"},
    {102200010, true, "none lay within aim_grab_radius of the aim point"},
    {102200001, false, "102200001: not a code the service sends"},
  };
  for (const Case & c : cases) {
    const std::string note = AnswerNote(c.code, {"cam1", "cam2"}, c.aim_mode);
    EXPECT_EQ(note.rfind("# ", 0), 0U) << note;
    EXPECT_EQ(note.find('\n'), std::string::npos) << note;
    EXPECT_NE(note.find(c.expected), std::string::npos) << c.code << ": " << note;
  }
}

// A call without an answer, and an answer from cameras that all timed out, point to the node's
// log in the same words.
TEST(AnswerNote, NoAnswerSaysHowToSeeTheNodeLog)
{
  EXPECT_EQ(
    UnansweredCallNote("the service /trash_pose_detect did not answer in time"),
    "the service /trash_pose_detect did not answer in time (look in the node's log, which "
    "SPDLOG_STDOUT=true shows)");
  EXPECT_EQ(
    AnswerNote(0, {"cam1"}, false),
    "# error_code 0, every field at its default: no camera finished a frame within "
    "detect_timeout_ms (timed out: cam1); each of them logs \"cam_<i>: trash pose detect process "
    "timeout\", which SPDLOG_STDOUT=true shows (try --detect-timeout-ms)");
}

}  // namespace
}  // namespace orvanite_demo
